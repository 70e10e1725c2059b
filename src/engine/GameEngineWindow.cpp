#include <SDL/SDL.h>

#include "engine/GameEngine.h"

void CGameEngine::HandleEvent(const SDL_Event& pEvent)
{
    if (pEvent.type == SDL_VIDEORESIZE)
    {
        m_redraw = true;
        if (m_screen)
            if (SDL_Surface* screen = m_view.Resize(pEvent.resize.w, pEvent.resize.h, m_config))
                m_screen = screen;
        return;
    }
    // Mouse positions arrive in window pixels; everything past here works in layout pixels.
    HandleLayoutEvent(m_view.ToLayout(pEvent));
}

bool CGameEngine::ChangeWindow(const DisplayConfig& pWindow)
{
    if (!m_screen)
        return true;
    const DisplayConfig before = m_config;
    m_config.fullscreen = pWindow.fullscreen;
    m_config.fitScreen = pWindow.fitScreen;
    m_config.windowWidth = pWindow.windowWidth;
    m_config.windowHeight = pWindow.windowHeight;
    m_redraw = true;
    if (SDL_Surface* screen = m_view.Open(m_config))
    {
        m_screen = screen;
        return true;
    }
    const std::string why = SDL_GetError();
    m_config = before;
    m_screen = m_view.Open(m_config);
    return Fail("cannot change the window: " + why);
}
