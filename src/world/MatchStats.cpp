#include "world/MatchStats.h"

#include "engine/Assert.h"
#include "nodes/Entity.h"

namespace
{
// A quarter of an hour of samples, the arena's and a watched match's length, without growing.
const size_t SAMPLES_RESERVED = 15 * 60 + 2;
} // namespace

void CMatchStats::Reset(const std::vector<CEntity*>& pNodes, int pStepLength)
{
    AW_ASSERT(pStepLength > 0);
    *this = CMatchStats();
    m_samples.reserve(SAMPLES_RESERVED);
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
    const Sample sample = {pStep, {pGreenEnergy, pBlueEnergy}, {m_standing[1], m_standing[2]}};
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
