// The fixed step: frame time in, at most one 16 ms step out.
#include <cmath>

#include "ai/AIPlayer.h"
#include "engine/Assert.h"
#include "media/Graphic.h"
#include "nodes/MainNode.h"
#include "world/GameWorld.h"
#include "world/MatchDriver.h"
#include "world/MatchObserver.h"

bool CGameWorld::Update(unsigned pElapsed)
{
    AW_ASSERT(m_GameEngine);
    // If it isn't time for the next step, do nothing; slow frames slow the game down
    // rather than running several steps at once.
    m_stepAccumulator += pElapsed;
    if (m_stepAccumulator < m_stepLength)
        return false;
    m_stepAccumulator -= m_stepLength;

    const int stateBefore = m_state;
    if (m_state == STATE_INTRO)
    {
        bool goOn = false;
        UpdateIntro(&goOn);
        if (!goOn)
            return true;
    }
    else if (m_state == STATE_MENU)
    {
        UpdateMenuMusic();
    }

    // One turn in 150 seconds.
    m_spinAngle += static_cast<float>(m_stepLength) * 360.0f / 30000.0f / 5.0f;

    if (m_state == STATE_MATCH && !m_matchOver && !m_held)
        RunDrivenSteps();
    // The menu's gears turn a twenty-fifth of a degree a step, far under a pixel at the rim of
    // the largest; its picture is worth drawing again only once they have turned visibly.
    if (m_state == STATE_MENU && stateBefore == STATE_MENU)
        return std::fabs(m_spinAngle - m_drawnSpinAngle) >= MENU_REDRAW_TURN;
    return true;
}

void CGameWorld::RunDrivenSteps()
{
    if (!m_driver)
    {
        RunMatchStep();
        return;
    }
    const int steps = m_driver->StepsPerTick();
    for (int i = 0; i < steps && m_state == STATE_MATCH && !m_matchOver; ++i)
    {
        if (!m_driver->BeforeStep(*this))
            break;
        RunMatchStep();
    }
}

void CGameWorld::RunMatchStep()
{
    const int step = static_cast<int>(m_stepLength);

    // What was handed in for this step comes first.
    ApplyDueCommands();
    m_messageTimer.Add(-step);
    m_resumable = true;

    // A watched demo is never restarted.
    if (m_demo && !m_demoUntilDecided)
    {
        m_demoTimer.Add(-step);
        if (m_demoTimer.IsEmpty())
        {
            EndDemoMatch();
            return;
        }
    }
    ++m_matchSteps;

    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        GetTeam(id).TickCooldowns(step);

    // Both passes run from the last node to the first and over the nodes that were there
    // when the pass began: a node built during the step waits for the next one.
    const int beginCount = static_cast<int>(m_nodes.size());
    for (int i = beginCount - 1; i >= 0; --i)
        m_nodes[i]->BeginStep();
    const int updateCount = static_cast<int>(m_nodes.size());
    for (int i = updateCount - 1; i >= 0; --i)
        m_nodes[i]->Update(step);

    if (RemoveDeadNodes())
        ApplyDemoKeepAlive();

    UpdateEffects();
    RunThinkClock();

    for (int id = CTeam::MAX_TIDS - 1; id >= 0; --id)
    {
        if (CAIPlayer* ai = GetTeam(id).GetAI())
            ai->Upkeep();
    }
    const bool ended = FinishMatchStep();
    for (CMatchObserver* observer : std::vector<CMatchObserver*>(m_observers))
        observer->OnStepRun(*this);
    if (ended)
        AnnounceMatchEnd();
}

bool CGameWorld::RemoveDeadNodes()
{
    bool removed = false;
    size_t i = 0;
    while (i < m_nodes.size())
    {
        CEntity* node = m_nodes[i];
        if (node->IsAlive())
        {
            ++i;
            continue;
        }
        const bool wasMainNode = node->IsMainNode();
        m_matchStats.CountLoss(node);
        // The opponents drop their pointers before the node goes.
        for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        {
            if (CAIPlayer* ai = GetTeam(id).GetAI())
                ai->OnEntityRemoved(node);
        }
        delete node;
        // The last node moves into the hole and is examined next.
        m_nodes[i] = m_nodes.back();
        m_nodes.pop_back();
        m_index.Invalidate();
        removed = true;
        if (wasMainNode)
            CheckEndOfMatch();
    }
    return removed;
}

void CGameWorld::UpdateEffects()
{
    const int step = static_cast<int>(m_stepLength);
    for (int i = static_cast<int>(m_effects.size()) - 1; i >= 0; --i)
        m_effects[i]->Update(step);
    size_t i = 0;
    while (i < m_effects.size())
    {
        if (m_effects[i]->IsActive())
        {
            ++i;
            continue;
        }
        delete m_effects[i];
        m_effects[i] = m_effects.back();
        m_effects.pop_back();
    }
}

void CGameWorld::RunThinkClock()
{
    m_thinkAccumulator += m_stepLength;
    if (m_thinkAccumulator < m_thinkPeriod)
        return;
    m_thinkAccumulator -= m_thinkPeriod;
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
    {
        if (CMainNode* mainNode = GetTeam(id).GetMainNode())
            mainNode->UpdateWorth();
    }
    // Blue thinks first.
    for (int id = CTeam::MAX_TIDS - 1; id >= 0; --id)
    {
        if (CAIPlayer* ai = GetTeam(id).GetAI())
            ai->Think();
    }
}
