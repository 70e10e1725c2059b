#include "engine/GameEngine.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include "engine/Assert.h"
#include "engine/FramePacer.h"
#include "media/Audio.h"
#include "media/FontManager.h"
#include "media/SoundManager.h"
#include "media/TextureManager.h"
#include "replay/ReplaySession.h"
#include "ui/MenuScreens.h"

CGameEngine& CGameEngine::Instance()
{
    // Never destroyed: the world and the managers may still be reached while the process ends.
    static CGameEngine* engine = new CGameEngine;
    return *engine;
}

CGameEngine::CGameEngine() : m_world(this)
{
    m_world.m_openScreen = [this](int pScreen) { OpenMenuScreen(*this, pScreen); };
}

void CGameEngine::AddOption(const std::string& pName)
{
    m_options.insert(pName);
}

bool CGameEngine::HasOption(const std::string& pName) const
{
    return m_options.count(pName) != 0;
}

void CGameEngine::RemoveOption(const std::string& pName)
{
    m_options.erase(pName);
}

void CGameEngine::BeginLoop(unsigned pNow)
{
    m_running = true;
    m_lastTicks = pNow;
}

void CGameEngine::Run()
{
    AW_ASSERT(m_SDLInitialized);
    BeginLoop(SDL_GetTicks());
    CReplaySession::Instance().Attach(m_world, HasOption("watch"));
    m_world.NewMatch();
    // Straight into a computer-versus-computer match that plays to the end.
    if (HasOption("watch"))
        m_world.StartWatchedMatch();
    CReplaySession::Instance().Begin(m_world);
    while (m_running)
        RunPass();
    CReplaySession::Instance().Detach(m_world);
}

void CGameEngine::RunPass()
{
    SDL_Event event;
    if (SDL_PollEvent(&event))
        HandleEvent(event);
    else if (m_active)
    {
        const unsigned start = SDL_GetTicks();
        RunFrame(start);
        // Give the processor back until the next step is due; events that arrive meanwhile
        // are handled before the next frame.
        if (m_screen)
            SDL_Delay(FrameWait(start, SDL_GetTicks(), m_world.TimeToNextStep()));
    }
    else if (m_frameHook)
    {
        // Minimised during a network session: the other side plays on, and so must this one.
        const unsigned start = SDL_GetTicks();
        RunFrame(start);
        SDL_Delay(FrameWait(start, SDL_GetTicks(), m_world.TimeToNextStep()));
    }
    else
        SDL_WaitEvent(nullptr); // minimised: sleep until something happens
}

void CGameEngine::RunFrame(unsigned pNow)
{
    if (m_frameHook && m_frameHook->OnFrame())
        m_redraw = true;
    if (m_screens.OnFrame())
        m_redraw = true;
    const bool stepped = m_world.Update(pNow - m_lastTicks);
    m_lastTicks = pNow;
    // With no step and no event since the last picture, it would come out the same again.
    if (!stepped && !m_redraw)
        return;
    m_redraw = false;
    m_view.ClearBars();
    // A screen covers the whole menu, which is then not drawn at all.
    if (m_world.m_state == STATE_MENU && !m_screens.IsEmpty())
        m_screens.Draw();
    else
        m_world.Draw();
    if (m_frameHook)
        m_frameHook->DrawOver();
    if (m_screen)
        SDL_GL_SwapBuffers();
}

void CGameEngine::HandleLayoutEvent(const SDL_Event& pEvent)
{
    m_redraw = true;
    if (m_frameHook && m_frameHook->OnEvent(pEvent))
        return;
    if (m_world.m_state == STATE_MENU && m_screens.OnEvent(pEvent))
        return;
    switch (pEvent.type)
    {
    case SDL_ACTIVEEVENT:
        if (pEvent.active.state & SDL_APPACTIVE)
        {
            m_active = pEvent.active.gain != 0;
            // Time spent minimised is not game time.
            if (m_active)
                m_lastTicks = SDL_GetTicks();
        }
        break;
    case SDL_KEYDOWN:
        m_world.OnKey(pEvent.key.keysym.sym, pEvent.key.keysym.mod, true);
        break;
    case SDL_KEYUP:
        m_world.OnKey(pEvent.key.keysym.sym, pEvent.key.keysym.mod, false);
        break;
    case SDL_MOUSEMOTION:
        m_world.OnMouseMove(pEvent.motion.x, pEvent.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        m_world.OnMouseButton(pEvent.button.button, true, pEvent.button.x, pEvent.button.y);
        break;
    case SDL_MOUSEBUTTONUP:
        m_world.OnMouseButton(pEvent.button.button, false, pEvent.button.x, pEvent.button.y);
        break;
    case SDL_QUIT:
        m_running = false;
        break;
    default:
        break;
    }
}

void CGameEngine::Quit()
{
    m_running = false;
}

void CGameEngine::Shutdown()
{
    CTextureManager::GetInstance()->Clear();
    CFontManager::GetInstance()->Clear();
    CSoundManager::GetInstance()->Clear();
    if (m_SDLMixerInitialized)
    {
        Mix_CloseAudio();
        SetAudioOpen(false);
        m_SDLMixerInitialized = false;
    }
    if (m_IconInitialized)
    {
        SDL_FreeSurface(m_icon);
        m_icon = nullptr;
        m_IconInitialized = false;
    }
    if (m_SDLInitialized)
    {
        SDL_Quit();
        m_screen = nullptr;
        m_SDLInitialized = false;
    }
}
