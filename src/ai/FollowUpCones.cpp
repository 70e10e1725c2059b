#include "ai/FollowUpCones.h"

#include <cmath>

#include "engine/GameEngine.h"
#include "nodes/Entity.h"
#include "world/GameWorld.h"

namespace
{
const float PI = 3.14159265f;

int BinOf(float pAngle, int pBins)
{
    int bin = static_cast<int>(std::floor((pAngle + PI) * static_cast<float>(pBins) / (2.0f * PI)));
    return ((bin % pBins) + pBins) % pBins;
}
} // namespace

bool CFollowUpCones::IsWorthHitting(const CEntity* pNode, int pTeam)
{
    return pNode && pNode->GetTeam() != pTeam && pNode->GetTeam() != 0 && !pNode->AbsorbsBeams() &&
           pNode->GetWorth() > 0.0f;
}

CFollowUpCones::CFollowUpCones(const CEntity* pTarget, int pTeam, const std::vector<CEntity*>& pNodes)
    : m_target(pTarget), m_team(pTeam)
{
    const CVector2 centre = pTarget->GetPosition();
    const float binWidth = 2.0f * PI / static_cast<float>(BINS);
    for (const CEntity* node : pNodes)
    {
        if (node == pTarget || !node->BlocksBeams() || !IsWorthHitting(node, pTeam))
            continue;
        const CVector2 d = node->GetPosition() - centre;
        const float dist = d.Length();
        const float r = node->GetRadius();
        if (!(dist > r))
        {
            m_open.set();
            return;
        }
        // The line through the centre passes within r of the node inside this half-angle; one
        // bin more on each side so that no direction is lost to rounding.
        const float half = std::asin(r / dist) + binWidth;
        const float angle = std::atan2(d.y, d.x);
        const int first = BinOf(angle - half, BINS);
        const int count = static_cast<int>(std::ceil(2.0f * half / binWidth)) + 1;
        for (int i = 0; i < count && i < BINS; ++i)
            m_open.set(static_cast<std::size_t>((first + i) % BINS));
    }
}

bool CFollowUpCones::MayGoOn(const CVector2& pFrom) const
{
    const CVector2 d = m_target->GetPosition() - pFrom;
    return m_open.test(static_cast<std::size_t>(BinOf(std::atan2(d.y, d.x), BINS)));
}

bool CFollowUpCones::GoesOn(const CVector2& pFrom) const
{
    const CVector2 goal = m_target->GetPosition();
    const CVector2 toGoal = goal - pFrom;
    const float length = toGoal.Length();
    if (!(length > 0.0f))
        return false;
    const CVector2 dir = toGoal * (1.0f / length);
    const CEntity* next = TheWorld().TraceBeam(goal + dir * (m_target->GetRadius() + 1.0f), dir);
    return IsWorthHitting(next, m_team);
}
