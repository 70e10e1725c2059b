#include "ui/MatchScreen.h"

#include <SDL/SDL_keysym.h>

#include <cstdio>
#include <string>

#include "ui/AppSettings.h"
#include "ui/ChatBoardView.h"
#include "world/ChatBoard.h"
#include "world/GameWorld.h"

CMatchScreen::CMatchScreen(CGameWorld& pWorld) : m_world(pWorld)
{
    m_world.m_overlay = this;
}

CMatchScreen::~CMatchScreen()
{
    if (m_world.m_overlay == this)
        m_world.m_overlay = nullptr;
}

void CMatchScreen::DrawMarks(const CGameWorld& pWorld, CRingBatch& pRings)
{
    m_lossLine.DrawMarks(pWorld, pRings);
}

void CMatchScreen::OnNewMatch(const CGameWorld& pWorld)
{
    m_lossLogOpen = false;
    // Offered once, on the first match the player plays against the computer here.
    CAppSettings& settings = CAppSettings::Instance();
    if (settings.Get().guideOffered || pWorld.m_demo || pWorld.m_driver != nullptr || pWorld.m_watchingOnly)
        return;
    m_guide.SetOn(true);
    std::string why;
    if (!settings.MarkGuideOffered(why) && !settings.GetPath().empty())
        std::fprintf(stderr, "ampwarden: cannot note that the guide was offered: %s\n", why.c_str());
}

void CMatchScreen::DrawOverHud(const CGameWorld& pWorld)
{
    if (pWorld.m_matchSerial != m_matchSerial && pWorld.m_state == STATE_MATCH)
    {
        m_matchSerial = pWorld.m_matchSerial;
        OnNewMatch(pWorld);
    }
    DrawChatBoard(CChatBoard::Instance(), pWorld);
    m_lossLine.Draw(pWorld);
    if (m_lossLogOpen)
        m_lossLine.DrawLog(pWorld);
    m_guide.Draw(pWorld);
    m_summaryPanel.Draw(pWorld);
}

void CMatchScreen::DrawOverAll(const CGameWorld& pWorld)
{
    if (pWorld.m_state != STATE_INTRO && pWorld.m_helpOpen)
        m_helpScreen.Draw(pWorld.GetWindowWidth(), pWorld.GetWindowHeight(), pWorld.m_state == STATE_MATCH);
}

bool CMatchScreen::OnKey(int pSym)
{
    // Watchers, the demo and the debug keys keep L for their own.
    const CGameWorld& world = m_world;
    if (world.m_state != STATE_MATCH || world.m_helpOpen || world.m_demo || world.m_watchingOnly ||
        world.m_debug)
        return false;
    if (pSym == SDLK_l)
    {
        m_lossLogOpen = !m_lossLogOpen;
        return true;
    }
    if (pSym == SDLK_g)
    {
        m_guide.SetOn(!m_guide.IsOn());
        return true;
    }
    return false;
}
