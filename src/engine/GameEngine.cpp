#include "engine/GameEngine.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include "engine/Assert.h"
#include "engine/FramePacer.h"
#include "media/Audio.h"
#include "media/FontManager.h"
#include "media/SoundManager.h"
#include "media/TextureManager.h"

CGameEngine& CGameEngine::Instance()
{
    // Never destroyed: the managers may still be reached while the process ends.
    static CGameEngine* engine = new CGameEngine;
    return *engine;
}

CGameEngine::CGameEngine() = default;

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
    if (m_content)
        m_content->BeginRun();
    while (m_running)
        RunPass();
    if (m_content)
        m_content->EndRun();
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
            SDL_Delay(FrameWait(start, SDL_GetTicks(), TimeToNextStep()));
    }
    else if (m_frameHook)
    {
        // Minimised during a network session: the other side plays on, and so must this one.
        const unsigned start = SDL_GetTicks();
        RunFrame(start);
        SDL_Delay(FrameWait(start, SDL_GetTicks(), TimeToNextStep()));
    }
    else
        SDL_WaitEvent(nullptr); // minimised: sleep until something happens
}

void CGameEngine::RunFrame(unsigned pNow)
{
    if (m_frameHook && m_frameHook->OnFrame())
        m_redraw = true;
    if (m_content && m_content->OnFrame())
        m_redraw = true;
    const bool stepped = m_content && m_content->Step(pNow - m_lastTicks);
    m_lastTicks = pNow;
    // With no step and no event since the last picture, it would come out the same again.
    if (!stepped && !m_redraw)
        return;
    m_redraw = false;
    if (m_content)
        m_content->Draw();
    if (m_frameHook)
        m_frameHook->DrawOver();
    if (m_screen)
        SDL_GL_SwapBuffers();
}

void CGameEngine::HandleEvent(const SDL_Event& pEvent)
{
    m_redraw = true;
    if (m_frameHook && m_frameHook->OnEvent(pEvent))
        return;
    if (m_content && m_content->OnEvent(pEvent))
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
    case SDL_KEYUP:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (m_content)
            m_content->OnInput(pEvent);
        break;
    case SDL_QUIT:
        m_running = false;
        break;
    default:
        break;
    }
}

unsigned CGameEngine::TimeToNextStep() const
{
    return m_content ? m_content->TimeToNextStep() : 0;
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
