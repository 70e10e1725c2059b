#include "net/NetObserveGame.h"

#include <cstdio>
#include <cstring>

#include <SDL/SDL.h>

#include "engine/GameEngine.h"
#include "engine/Version.h"
#include "net/NetHeadlineBand.h"
#include "replay/ReplaySession.h"
#include "world/ChatBoard.h"
#include "world/GameWorld.h"

CNetObserveGame::CNetObserveGame(CGameEngine& pEngine) : m_engine(pEngine), m_observer(TheWorld())
{
    // The observer's replay is the players' match: their date, and the chat it showed.
    CGameWorld& world = TheWorld();
    m_observer.m_onChat = [&world](int pFrom, const std::string& pText)
    { CReplaySession::Instance().RecordChat(world, pFrom, pText); };
    m_observer.m_onMatchDate = [](int64_t pDate) { CReplaySession::Instance().SetRecordDate(pDate); };
}

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

void CNetObserveGame::Leave()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_observer.GetPhase() != CNetObserver::PHASE_OVER)
    {
        m_left = true;
        std::fprintf(stderr, "ampwarden: stopped watching\n");
    }
    CChatBoard::Instance().m_send = nullptr;
    CChatBoard::Instance().Clear();
    m_observer.Stop();
    CGameWorld& world = TheWorld();
    if (m_engine.IsRunning() && world.m_state == STATE_MATCH)
    {
        world.Pause();
        world.m_resumable = false;
    }
    m_drawnHeadline.clear();
}

bool CNetObserveGame::IsOver() const
{
    return m_closed || m_observer.GetPhase() == CNetObserver::PHASE_OVER;
}

std::string CNetObserveGame::Headline() const
{
    return m_left ? "Stopped watching" : m_observer.Headline();
}

int CNetObserveGame::ExitStatus() const
{
    return m_observer.EndedWell() || m_left ? 0 : 1;
}

bool CNetObserveGame::OnEvent(const SDL_Event& pEvent)
{
    // Until the board shows, and once it is left, the Play a Friend screen takes the input.
    if (pEvent.type == SDL_QUIT || m_closed || !m_boardShown || TheWorld().m_state != STATE_MATCH)
        return false;
    const bool watching = m_observer.GetPhase() == CNetObserver::PHASE_WATCHING ||
                          (m_observer.GetPhase() == CNetObserver::PHASE_OVER && m_observer.EndedWell());
    if (watching && CChatBoard::Instance().OnEvent(pEvent))
        return true;
    if (pEvent.type == SDL_KEYDOWN && pEvent.key.keysym.sym == SDLK_ESCAPE)
    {
        Leave();
        return true;
    }
    // While it catches up the board takes nothing.
    const bool input = pEvent.type == SDL_KEYDOWN || pEvent.type == SDL_KEYUP ||
                       pEvent.type == SDL_MOUSEBUTTONDOWN || pEvent.type == SDL_MOUSEBUTTONUP;
    return input && !watching;
}

bool CNetObserveGame::OnFrame()
{
    if (m_closed)
        return false;
    m_observer.Pump();
    if (TheWorld().m_driver == &m_observer)
        m_boardShown = true;
    return TakeHeadline(m_observer.Headline(), m_drawnHeadline);
}

void CNetObserveGame::DrawOver()
{
    // Before the board shows, the screen under it says what happens.
    if (m_drawnHeadline.empty() || !m_boardShown || m_closed)
        return;
    // A band over the board: catching up, or how it ended.
    DrawHeadlineBand(TheWorld(), m_drawnHeadline);
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
