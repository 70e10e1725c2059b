#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cstdlib>

#include "engine/Assert.h"
#include "engine/GLWindowAttributes.h"
#include "engine/GameEngine.h"
#include "engine/WindowIcon.h"
#include "media/Audio.h"

bool CGameEngine::Fail(const std::string& pWhy)
{
    m_lastError = pWhy;
    return false;
}

bool CGameEngine::Initialise(const DisplayConfig& pConfig)
{
    AW_ASSERT(!m_SDLInitialized);
    m_config = pConfig;
    m_active = true;
    m_lastError.clear();

#ifndef _WIN32
    // Without X, SDL would fall back to drawing in the terminal, which has no OpenGL and
    // leaves the terminal garbled; only a driver asked for by name is used instead.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const char* display = std::getenv("DISPLAY");
    const bool x11 = !driver || !*driver;
    if (x11 && (!display || !*display))
        return Fail("no display: DISPLAY is not set");
    if (x11)
        setenv("SDL_VIDEODRIVER", "x11", 1);
#else
    const bool x11 = false;
    const char* display = "";
#endif
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO) < 0)
    {
        if (x11 && SDL_WasInit(SDL_INIT_VIDEO) == 0)
            return Fail(std::string("no display: cannot open the display ") + display);
        return Fail(std::string("SDL could not start: ") + SDL_GetError());
    }
    m_SDLInitialized = true;

    SDL_WM_SetCaption(m_config.caption.c_str(), nullptr);
    if (!InitAudio())
        return false;
    // SDL wants the icon before the window exists.
    if (!m_config.iconPath.empty() && !LoadIcon())
        return false;
    if (!SetupVideo())
        return false;
    return LoadResources();
}

bool CGameEngine::InitAudio()
{
    AW_ASSERT(!m_SDLMixerInitialized);
    if (Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024) < 0)
        return Fail(std::string("cannot open the audio device: ") + Mix_GetError());
    Mix_AllocateChannels(64);
    m_SDLMixerInitialized = true;
    SetAudioOpen(true);
    return true;
}

bool CGameEngine::LoadIcon()
{
    AW_ASSERT(!m_IconInitialized);
    std::string why;
    m_icon = LoadIconSurface(m_config.iconPath, why);
    if (!m_icon)
        return Fail(why);
    SDL_WM_SetIcon(m_icon, nullptr);
    m_IconInitialized = true;
    return true;
}

bool CGameEngine::SetupVideo()
{
    RequestGLWindowAttributes();
    // Vertical sync paces frames at the display's refresh; on a 60 Hz display a frame is then
    // 16.7 ms, longer than the world's 16 ms step, and the game runs 4 % slow. So only on
    // request, for faster displays; otherwise the frame loop sleeps to its own short period.
    if (HasOption("vsync"))
        SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);

    // Read before the first window opens, while it is still the desktop's resolution.
    m_view.ReadDisplaySize();
    m_videoFlags = VideoFlagsFor(m_config.fullscreen);
    m_screen = m_view.Open(m_config);
    if (!m_screen)
        return Fail("cannot set the video mode " + std::to_string(m_config.width) + "x" +
                    std::to_string(m_config.height) + "x" + std::to_string(m_config.depth) +
                    (m_config.fullscreen ? " full screen: " : ": ") + SDL_GetError());
    return true;
}
