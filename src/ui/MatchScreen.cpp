#include "ui/MatchScreen.h"

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

void CMatchScreen::DrawOverHud(const CGameWorld& pWorld)
{
    DrawChatBoard(CChatBoard::Instance(), pWorld);
    m_lossLine.Draw(pWorld);
    m_summaryPanel.Draw(pWorld);
}

void CMatchScreen::DrawOverAll(const CGameWorld& pWorld)
{
    if (pWorld.m_state != STATE_INTRO && pWorld.m_helpOpen)
        m_helpScreen.Draw(pWorld.GetWindowWidth(), pWorld.GetWindowHeight(), pWorld.m_state == STATE_MATCH);
}
