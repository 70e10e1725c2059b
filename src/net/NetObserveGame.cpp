#include "net/NetObserveGame.h"

#include <cstdio>
#include <cstring>

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "engine/GameEngine.h"
#include "engine/Version.h"
#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "ui/ChatBoard.h"
#include "world/GameWorld.h"

CNetObserveGame::CNetObserveGame(CGameEngine& pEngine) : m_engine(pEngine), m_observer(pEngine.GetWorld()) {}

CNetObserveGame::~CNetObserveGame()
{
    CChatBoard::Instance().m_send = nullptr;
    CChatBoard::Instance().Clear();
    m_observer.Stop();
}

bool CNetObserveGame::Open(const CNetAddress& pAddress, std::string& pWhy)
{
    return m_observer.Open(pAddress, ProgramVersion(), DataFingerprint(RESOURCE_CATALOGUE), pWhy);
}

int CNetObserveGame::ExitStatus() const
{
    return m_observer.EndedWell() ? 0 : 1;
}

bool CNetObserveGame::OnEvent(const SDL_Event& pEvent)
{
    if (pEvent.type == SDL_QUIT)
        return false;
    const bool watching = m_observer.GetPhase() == CNetObserver::PHASE_WATCHING ||
                          (m_observer.GetPhase() == CNetObserver::PHASE_OVER && m_observer.EndedWell());
    if (watching && CChatBoard::Instance().OnEvent(pEvent))
        return true;
    if (pEvent.type == SDL_KEYDOWN && pEvent.key.keysym.sym == SDLK_ESCAPE)
    {
        std::fprintf(stderr, "ampwarden: stopped watching\n");
        m_engine.Quit();
        return true;
    }
    // Until the match shows, the veiled menu takes nothing.
    const bool input = pEvent.type == SDL_KEYDOWN || pEvent.type == SDL_KEYUP ||
                       pEvent.type == SDL_MOUSEBUTTONDOWN || pEvent.type == SDL_MOUSEBUTTONUP;
    return input && !watching;
}

bool CNetObserveGame::OnFrame()
{
    m_observer.Pump();
    const std::string headline = m_observer.Headline();
    if (headline == m_drawnHeadline)
        return false;
    m_drawnHeadline = headline;
    return true;
}

void CNetObserveGame::DrawOver()
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("MainFont");
    if (!font || m_drawnHeadline.empty())
        return;
    const bool board = m_observer.GetPhase() == CNetObserver::PHASE_WATCHING ||
                       (m_observer.GetPhase() == CNetObserver::PHASE_OVER && m_observer.GetThrough() > 0);
    const int w = m_engine.GetWorld().GetWindowWidth();
    const int h = m_engine.GetWorld().GetWindowHeight();
    // Before the match the veil hides the menu; over the board it is a band.
    const float bottom = board ? static_cast<float>(h / 2 - 110) : 0.0f;
    const float top = board ? static_cast<float>(h / 2 - 60) : static_cast<float>(h);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.0f, 0.0f, 0.0f, board ? 0.6f : 0.85f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, bottom);
    glVertex2f(static_cast<float>(w), bottom);
    glVertex2f(static_cast<float>(w), top);
    glVertex2f(0.0f, top);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const std::string lines[2] = {m_drawnHeadline, "Escape stops watching"};
    for (int i = 0; i < 2; ++i)
    {
        glPushMatrix();
        glTranslatef(static_cast<float>(w / 2) - 0.5f * font->GetTextWidth(lines[i].c_str()),
                     static_cast<float>(board ? h / 2 - 90 - 30 * i : h / 2 - 40 - 40 * i), 0.0f);
        font->DrawText(lines[i].c_str());
        glPopMatrix();
        if (board)
            break;
    }
}

bool WantsQuietObservers(int pArgc, char** pArgv)
{
    for (int i = 1; pArgv && i < pArgc; ++i)
    {
        if (std::strcmp(pArgv[i], "-quiet-observers") == 0)
            return true;
    }
    return false;
}
