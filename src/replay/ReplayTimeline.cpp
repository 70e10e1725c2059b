#include "replay/ReplayTimeline.h"

#include <algorithm>

#include <GL/gl.h>

#include "nodes/MainNode.h"
#include "replay/ReplayVerify.h"
#include "world/GameWorld.h"
#include "world/ScreenDraw.h"

CReplayTimeline CReplayTimeline::Gather(const CReplay& pReplay)
{
    CReplayTimeline timeline;
    CheckReplay(pReplay,
                [&timeline](CGameWorld& pWorld)
                {
                    timeline.Observe(pWorld);
                    return true;
                });
    return timeline;
}

void CReplayTimeline::AddMark(int pStep, int pKind, int pTeam, int pGapSteps)
{
    int& last = m_lastSeen[pKind][pTeam];
    if (last < 0 || pStep - last > pGapSteps)
        m_marks.push_back({pStep, pKind, pTeam});
    last = pStep;
}

void CReplayTimeline::Observe(const CGameWorld& pWorld)
{
    const int step = pWorld.m_matchSteps;
    const int gap = GAP_MS / static_cast<int>(pWorld.m_stepLength);
    for (int team = 1; team <= 2; ++team)
    {
        const CMainNode* main = pWorld.GetTeam(team).GetMainNode();
        const int health = main != nullptr ? main->GetHealth() : 0;
        if (m_health[team] >= 0 && health < m_health[team])
            AddMark(step, MARK_MAIN_HIT, team, gap);
        m_health[team] = health;
    }
    const std::vector<CMatchStats::Loss>& losses = pWorld.m_matchStats.GetLosses();
    for (size_t i = m_lossesSeen; i < losses.size(); ++i)
    {
        if (losses[i].team == 1 || losses[i].team == 2)
            AddMark(losses[i].step, MARK_FELL, losses[i].team, gap);
    }
    m_lossesSeen = losses.size();
}

int CReplayTimeline::NextJump(int pNow, int pStepLength) const
{
    const int lead = LEAD_MS / pStepLength;
    for (const Mark& mark : m_marks)
    {
        if (mark.step - lead > pNow)
            return mark.step - lead;
    }
    return -1;
}

void CReplayTimeline::Draw(float pLeft, float pRight, float pY, int pNow, int pLastStep) const
{
    const float scale = (pRight - pLeft) / static_cast<float>(std::max(1, pLastStep));
    const float played = pLeft + scale * static_cast<float>(std::min(pNow, pLastStep));
    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_QUADS);
    glColor4f(1.0f, 1.0f, 1.0f, 0.3f);
    ScreenDraw::Quad(played, pRight, pY - 1.0f, pY + 1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.9f);
    ScreenDraw::Quad(pLeft, played, pY - 1.0f, pY + 1.0f);
    for (const Mark& mark : m_marks)
    {
        const float x = pLeft + scale * static_cast<float>(mark.step);
        if (mark.team == 1)
            glColor4f(0.5f, 1.0f, 0.5f, 1.0f);
        else
            glColor4f(0.55f, 0.65f, 1.0f, 1.0f);
        if (mark.kind == MARK_MAIN_HIT)
            ScreenDraw::Quad(x - 1.0f, x + 1.0f, pY + 2.0f, pY + 8.0f);
        else
            ScreenDraw::Quad(x - 1.0f, x + 1.0f, pY - 7.0f, pY - 2.0f);
    }
    glEnd();
}
