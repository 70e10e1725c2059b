#include "ai/AIPlayer.h"
#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

namespace
{
// A firing beam emitter's flow (500,000 per second) in the units of worth.
const float WORTH_THRESHOLD = 500.0f;
} // namespace

void CAIPlayer::ScanBoard()
{
    m_scan.team = GetTeamId();
    m_scan.m_pwrSrcList.clear();
    m_scan.m_resList.clear();
    m_scan.m_enemyList.clear();
    for (CEntity* pEnt : TheWorld().GetNodes())
    {
        AW_ASSERT(pEnt);
        const bool own = IsOwn(pEnt);
        if (own && pEnt->CanPowerMore())
            m_scan.m_pwrSrcList.push_back(pEnt);
        if (pEnt->IsAvailable())
            m_scan.m_resList.push_back(pEnt);
        // An own node under fire this step is being dealt with already.
        if (pEnt->BlocksBeams() && pEnt->GetTeam() != 0 && !pEnt->AbsorbsBeams() &&
            (!own || pEnt->GetDamageTaken() == 0))
        {
            const float s = own ? pEnt->GetWorth() : -pEnt->GetWorth();
            if (s < -WORTH_THRESHOLD)
                m_scan.m_enemyList.push_back(pEnt);
        }
    }
}

CEntity* CScanResult::GetPowerSource(std::size_t pResultNum) const
{
    AW_ASSERT(pResultNum < m_pwrSrcList.size());
    return m_pwrSrcList[pResultNum];
}

CEntity* CScanResult::GetResource(std::size_t pResultNum) const
{
    AW_ASSERT(pResultNum < m_resList.size());
    return m_resList[pResultNum];
}

CEntity* CScanResult::GetEnemy(std::size_t pResultNum) const
{
    AW_ASSERT(pResultNum < m_enemyList.size());
    return m_enemyList[pResultNum];
}

CEntity* CScanResult::PickTarget(bool pAllowMainNodes) const
{
    float best = -1.0f;
    CEntity* choice = nullptr;
    for (CEntity* node : m_enemyList)
    {
        float s = node->GetWorth() + static_cast<float>(RandomTable::GetInstance().DrawBelow(21) - 10);
        if (node->GetTeam() == team)
            s = -s;
        // Damaged nodes move away from zero, so a wounded target draws the next beam.
        const int wound = 50 - static_cast<int>(node->GetHealthFraction() * 50.0f);
        if (s > 0.0f)
            s += static_cast<float>(wound);
        else if (s < 0.0f)
            s -= static_cast<float>(wound);
        if (s > best && (pAllowMainNodes || !node->IsMainNode()))
        {
            best = s;
            choice = node;
        }
    }
    return choice;
}
