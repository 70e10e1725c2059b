#include "net/NetGame.h"

#include <cstring>

#include <SDL/SDL.h>

#include "engine/GameEngine.h"
#include "net/NetHeadlineBand.h"
#include "replay/ReplaySession.h"
#include "world/ChatBoard.h"
#include "world/GameWorld.h"

CNetGame::CNetGame(CGameEngine& pEngine, const CNetSetup& pSetup) : m_engine(pEngine), m_setup(pSetup) {}

CNetGame::~CNetGame()
{
    if (m_observers)
        m_observers->Detach(TheWorld());
    ChatOff();
    m_session.Detach(TheWorld());
}

bool CNetGame::Open(std::string& pWhy)
{
    CGameWorld& world = TheWorld();
    m_chat.Attach(m_session, world);
    m_chat.m_record = [&world](int pFrom, const std::string& pText)
    { CReplaySession::Instance().RecordChat(world, pFrom, pText); };
    if (!m_session.Open(m_setup, pWhy))
        return false;
    if (m_setup.hosting)
        m_observers = OpenObserverHost(m_setup, m_chat);
    return true;
}

void CNetGame::ChatOff()
{
    m_chat.Detach();
    CChatBoard::Instance().m_send = nullptr;
    CChatBoard::Instance().Clear();
}

int CNetGame::ExitStatus() const
{
    switch (m_session.GetOutcome())
    {
    case CNetSession::OUTCOME_REFUSED:
    case CNetSession::OUTCOME_UNREACHABLE:
    case CNetSession::OUTCOME_BROKEN:
    case CNetSession::OUTCOME_DESYNC:
        return 1;
    default:
        return 0;
    }
}

bool CNetGame::OnEvent(const SDL_Event& pEvent)
{
    CGameWorld& world = TheWorld();
    if (pEvent.type == SDL_QUIT)
    {
        // Closing the window leaves the match: the other side is told at once, and the
        // program stays (three seconds at most) for both to end on the same step.
        if (m_session.GetPhase() != CNetSession::PHASE_PLAYING)
            return false;
        m_session.Leave(world);
        m_quitWhenOver = true;
        return true;
    }
    if (m_closed)
        return false;
    // The chat line, once open, takes every key.
    if (m_matchSeen && world.m_state == STATE_MATCH && !m_quitWhenOver &&
        CChatBoard::Instance().OnEvent(pEvent))
        return true;
    if (m_matchSeen && m_session.GetPhase() == CNetSession::PHASE_OVER && !m_session.GetPausedBy())
    {
        // Over: the board stays until Escape leaves for the menu, where local play goes on.
        if (world.m_state != STATE_MATCH || pEvent.type != SDL_KEYDOWN ||
            pEvent.key.keysym.sym != SDLK_ESCAPE || world.m_selectedTool != TOOL_NONE)
            return false;
        m_session.Detach(world);
        world.Pause();
        world.m_resumable = false;
        // Its last line goes with it, off the menu and any match after.
        ChatOff();
        if (m_observers)
            m_observers->Detach(world);
        m_closed = true;
        m_drawnHeadline.clear();
        return true;
    }
    const bool input = pEvent.type == SDL_KEYDOWN || pEvent.type == SDL_KEYUP ||
                       pEvent.type == SDL_MOUSEBUTTONDOWN || pEvent.type == SDL_MOUSEBUTTONUP;
    if (pEvent.type == SDL_KEYDOWN && OnKeyDown(pEvent.key.keysym.sym))
        return true;
    // Paused, waiting for a dropped opponent or leaving: the board takes no input. Before the
    // match the Play a Friend screen takes it.
    return input && (m_session.GetPausedBy() != 0 || m_session.IsOpponentDropped() || m_quitWhenOver);
}

bool CNetGame::OnKeyDown(int pSym)
{
    CGameWorld& world = TheWorld();
    if (m_quitWhenOver)
        return true;
    if (!m_matchSeen)
        return false;
    if (m_session.IsOpponentDropped())
    {
        if (pSym == SDLK_ESCAPE)
            m_session.ClaimWin(world);
        return true;
    }
    if (m_session.GetPausedBy() != 0)
    {
        if (pSym == SDLK_ESCAPE || pSym == SDLK_p)
            m_session.SetPaused(world, false);
        else if (pSym == SDLK_q)
            m_session.Leave(world);
        return true;
    }
    // The second Escape (no tool in hand) pauses both sides instead of going to the menu; so
    // does P, as in a match against the computer.
    if ((pSym == SDLK_ESCAPE && world.m_selectedTool == TOOL_NONE) || (pSym == SDLK_p && !world.IsDecided()))
    {
        m_session.SetPaused(world, true);
        return true;
    }
    return false;
}

bool CNetGame::OnFrame()
{
    if (m_closed)
        return false;
    CGameWorld& world = TheWorld();
    m_session.Pump(world);
    if (m_observers)
        m_observers->Pump(world, m_session.GetPhase() == CNetSession::PHASE_PLAYING,
                          m_session.GetPhase() == CNetSession::PHASE_OVER, m_session.GetLeaver(),
                          m_session.LeaverFellSilent());
    if (m_session.GetPhase() == CNetSession::PHASE_PLAYING && !m_matchSeen)
    {
        m_matchSeen = true;
        if (m_observers)
            m_observers->SetMatchDate(m_session.GetStart().date);
        CChatBoard::Instance().m_send = [this](const std::string& pText) { return m_chat.Say(pText); };
    }
    if (m_quitWhenOver && m_session.GetPhase() == CNetSession::PHASE_OVER)
        m_engine.Quit();
    return TakeHeadline(m_session.Headline(), m_drawnHeadline);
}

void CNetGame::DrawOver()
{
    // Before the match the Play a Friend screen shows the waiting.
    const std::string& headline = m_drawnHeadline;
    if (headline.empty() || !m_matchSeen)
        return;
    CGameWorld& world = TheWorld();
    // Paused, or waiting for a dropped opponent: the board stays in view, dimmed, under the line.
    if (world.m_state == STATE_MATCH && (m_session.GetPausedBy() != 0 || m_session.IsOpponentDropped()))
        return world.DrawDimmed(headline.c_str());
    // Over the board it is a band below the banner.
    DrawHeadlineBand(world, headline);
}

bool ReadNetOptions(int pArgc, char** pArgv, CNetSetup& pSetup, bool& pWanted, std::string& pWhy)
{
    pWanted = false;
    for (int i = 1; pArgv && i < pArgc; ++i)
    {
        const char* arg = pArgv[i];
        const char* value = i + 1 < pArgc ? pArgv[i + 1] : nullptr;
        const bool host = std::strcmp(arg, "-host") == 0;
        if (!host && std::strcmp(arg, "-join") != 0)
            continue;
        if (pWanted)
            return pWhy = "-host and -join are given once, and not together", false;
        pWanted = true;
        pSetup.hosting = host;
        pSetup.address = CNetAddress();
        pSetup.address.port = Net::DEFAULT_PORT;
        if (host)
        {
            // The port is optional: a value that is no option is taken as one.
            if (value && value[0] != '-')
            {
                if (!ParseNetPort(value, pSetup.address.port))
                    return pWhy = "-host takes a port from 1 to 65535", false;
                ++i;
            }
        }
        else
        {
            if (!value || value[0] == '-')
                return pWhy = "-join needs HOST[:PORT], e.g. 192.168.1.20:24680 or [::1]:24680", false;
            std::string why;
            if (!ParseNetAddress(value, pSetup.address, why))
                return pWhy = "-join " + std::string(value) + ": " + why, false;
            ++i;
        }
    }
    return true;
}
