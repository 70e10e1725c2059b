#include "world/MatchStats.h"

#include "engine/Assert.h"
#include "nodes/Entity.h"

namespace
{
// A quarter of an hour of samples, the arena's and a watched match's length, without growing.
const size_t SAMPLES_RESERVED = 15 * 60 + 2;
const size_t LOSSES_RESERVED = 256;
} // namespace

void CMatchStats::Reset(const std::vector<CEntity*>& pNodes, int pStepLength)
{
    AW_ASSERT(pStepLength > 0);
    *this = CMatchStats();
    m_samples.reserve(SAMPLES_RESERVED);
    m_losses.reserve(LOSSES_RESERVED);
    m_stepLength = pStepLength;
    for (const CEntity* node : pNodes)
    {
        if (node->GetTeam() != 0 && NodeKindOf(node) < KINDS)
            ++m_standing[node->GetTeam()];
    }
    for (int team = 0; team < CTeam::MAX_TIDS; ++team)
        m_largest[team] = m_standing[team];
}

void CMatchStats::CountBuild(int pTeam, int pTool, int pCost)
{
    AW_ASSERT(pTeam >= 0 && pTeam < CTeam::MAX_TIDS);
    AW_ASSERT(pTool >= 0 && pTool < KIND_MAIN);
    if (m_ended)
        return;
    ++m_built[pTeam][pTool];
    m_spent[pTeam][SPEND_BUILDING] += pCost;
    // A network is largest right after a build.
    if (++m_standing[pTeam] > m_largest[pTeam])
        m_largest[pTeam] = m_standing[pTeam];
}

void CMatchStats::CountLoss(const CEntity* pNode)
{
    const int team = pNode->GetTeam();
    if (m_ended || team == 0)
        return;
    const NodeKind kind = NodeKindOf(pNode);
    if (kind >= KINDS)
        return;
    ++m_lost[team][kind];
    --m_standing[team];
}

void CMatchStats::EndStep(int pStep, int pGreenEnergy, int pBlueEnergy, bool pEnded)
{
    if (m_ended)
        return;
    m_lastStep = pStep;
    const int second = pStep * m_stepLength / SAMPLE_MS;
    if (m_samples.empty() || second != m_samples.back().step * m_stepLength / SAMPLE_MS || pEnded)
        TakeSample(pStep, pGreenEnergy, pBlueEnergy);
    m_ended = pEnded;
}

void CMatchStats::TakeSample(int pStep, int pGreenEnergy, int pBlueEnergy)
{
    const Sample sample = {pStep,
                           {pGreenEnergy, pBlueEnergy},
                           {m_standing[1], m_standing[2]},
                           {m_mainHealth[0], m_mainHealth[1]}};
    // A match stopped right after a step's sample ends on that sample, brought up to date.
    if (!m_samples.empty() && m_samples.back().step == pStep)
        m_samples.back() = sample;
    else
        m_samples.push_back(sample);
}

int CMatchStats::GetLostTotal(int pTeam) const
{
    int total = 0;
    for (int kind = 0; kind < KINDS; ++kind)
        total += m_lost[pTeam][kind];
    return total;
}

long long CMatchStats::GetEarnedTotal(int pTeam) const
{
    return m_earned[pTeam][EARN_EXTRACTORS] + m_earned[pTeam][EARN_ABSORBERS];
}

int CMatchStats::CauseOf(const CEntity* pVictim, int pDamageKind, const CEntity* pSource)
{
    if (pSource == nullptr)
        return pDamageKind == DAMAGE_NONE && pVictim->GetTeam() == 0 ? CAUSE_CUT_OFF : CAUSE_OTHER;
    const bool own = pSource->GetTeam() == pVictim->GetTeam();
    if (pSource->AbsorbsBeams())
    {
        if (pSource->GetTeam() == 0)
            return CAUSE_GREY_BLAST;
        return own ? CAUSE_OWN_BLAST : CAUSE_ENEMY_BLAST;
    }
    // A beam, or the burn of an emitter firing point-blank.
    return own ? CAUSE_OWN_BEAM : CAUSE_ENEMY_BEAM;
}

void CMatchStats::CountDamage(const CEntity* pVictim, int pAmount, int pDamageKind, const CEntity* pSource,
                              bool pDestroyed)
{
    const int team = pVictim->GetTeam();
    if (m_ended || team == 0 || team >= CTeam::MAX_TIDS)
        return;
    const int cause = CauseOf(pVictim, pDamageKind, pSource);
    if (pAmount > 0)
        m_damage[team][cause] += pAmount;
    if (pVictim->IsMainNode() && team <= 2 && pVictim->GetHealthMax() > 0)
        m_mainHealth[team - 1] =
            static_cast<int>(static_cast<long long>(pVictim->GetHealth()) * 1000 / pVictim->GetHealthMax());
    if (!pDestroyed)
        return;
    m_losses.push_back({m_lastStep + 1, team, NodeKindOf(pVictim), cause, pVictim->GetPosition(), false});
    if (pVictim->IsMainNode())
        m_mainFallen[team] = true;
    else
        ++m_lossesBy[team][cause];
}

void CMatchStats::CountCut(const CEntity* pNode)
{
    const int team = pNode->GetTeam();
    if (m_ended || team == 0 || team >= CTeam::MAX_TIDS)
        return;
    CountLoss(pNode);
    const bool fallen = m_mainFallen[team];
    // Decay is what a side loses to a cut it could have mended; the nodes that fall with the
    // main node are counted apart.
    if (!fallen)
        m_damage[team][CAUSE_CUT_OFF] += pNode->GetHealth();
    m_losses.push_back(
        {m_lastStep + 1, team, NodeKindOf(pNode), CAUSE_CUT_OFF, pNode->GetPosition(), fallen});
    if (fallen)
        ++m_standingAtFall[team];
    else
        ++m_lossesBy[team][CAUSE_CUT_OFF];
}
