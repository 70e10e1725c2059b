#include "world/GameWorld.h"

#include <cmath>

// Distances are compared squared, and a bound is met by equality. Where the first node in
// list order wins, the index keeps that order; the rarer queries scan the list.

CEntity* CGameWorld::FindOverlap(const CVector2& pPoint, float pRadius) const
{
    // Sites do not block, which is what lets an extractor stand on one.
    const int i = Index().FindOverlap(pPoint, pRadius);
    return i < 0 ? nullptr : m_nodes[static_cast<size_t>(i)];
}

bool CGameWorld::IsFree(const CVector2& pPoint, float pRadius) const
{
    if (pPoint.x < pRadius || pPoint.x > m_boardWidth - pRadius || pPoint.y < pRadius ||
        pPoint.y > m_boardHeight - pRadius)
        return false;
    return FindOverlap(pPoint, pRadius) == nullptr;
}

CEntity* CGameWorld::FindPowerSource(int pTeam, const CVector2& pPoint, bool pAllowMain) const
{
    // The first match in list order wins, not the nearest.
    for (CEntity* e : m_nodes)
    {
        if (e->GetTeam() != pTeam || !e->CanPowerMore() || (!pAllowMain && e->IsMainNode()))
            continue;
        float range = e->GetPowerRange();
        if ((pPoint - e->GetPosition()).LengthSq() <= range * range)
            return e;
    }
    return nullptr;
}

CEntity* CGameWorld::FindFullSource(int pTeam, const CVector2& pPoint) const
{
    // Strictly inside, as the player's press looks for a source.
    for (CEntity* e : m_nodes)
    {
        if (e->GetTeam() != pTeam || !e->IsPowerSource() || e->CanPowerMore())
            continue;
        float range = e->GetPowerRange();
        if ((pPoint - e->GetPosition()).LengthSq() < range * range)
            return e;
    }
    return nullptr;
}

CEntity* CGameWorld::FindResourceAt(const CVector2& pPoint, float pRadius) const
{
    // The whole circle must lie inside a free site.
    for (CEntity* e : m_nodes)
    {
        if (!e->IsAvailable())
            continue;
        float room = e->GetRadius() - pRadius;
        if ((e->GetPosition() - pPoint).LengthSq() <= room * room)
            return e;
    }
    return nullptr;
}

CEntity* CGameWorld::TraceBeam(const CVector2& pOrigin, const CVector2& pDir, float* pDistance) const
{
    // The blocking node whose centre projects nearest along the ray, among those it passes
    // within their radius; the earlier in the list on a tie.
    float bestT = 0.0f;
    float bestS = 0.0f;
    const int i = Index().TraceRay(pOrigin, pDir, &bestT, &bestS);
    if (i < 0)
    {
        *pDistance = -1.0f;
        return nullptr;
    }
    CEntity* best = m_nodes[static_cast<size_t>(i)];
    // Where the ray enters the circle; negative when the origin lies inside it.
    float r = best->GetRadius();
    *pDistance = bestT - std::sqrt(r * r - bestS);
    return best;
}

CEntity* CGameWorld::TraceBeam(const CVector2& pOrigin, const CVector2& pDir) const
{
    float distance;
    return TraceBeam(pOrigin, pDir, &distance);
}

bool CGameWorld::IsFirstOnBeam(const CVector2& pOrigin, const CVector2& pDir, const CEntity* pNode) const
{
    const CBoardIndex& index = Index();
    const int i = index.IndexOf(pNode);
    if (i < 0)
        return TraceBeam(pOrigin, pDir) == pNode;
    return index.IsFirstHit(pOrigin, pDir, i);
}

int CGameWorld::GetTeamFlow(int pTeam) const
{
    int flow = 0;
    for (CEntity* e : m_nodes)
    {
        if (e->GetTeam() == pTeam)
            flow += e->GetEnergyFlow() / 1000;
    }
    return flow;
}

std::string CGameWorld::SideName(int pTeam) const
{
    if (pTeam <= 0 || pTeam >= CTeam::MAX_TIDS || GetTeam(pTeam).GetAI() != nullptr)
        return std::string();
    if (!m_sideNames[pTeam].empty())
        return m_sideNames[pTeam];
    // Only a match played on this machine alone is the local player's by default; one whose
    // commands go elsewhere (a network match, a replay, a match watched from afar) is told
    // its names, and a side it was told none for has none.
    return pTeam == m_playerTeam && !m_demo && !m_playerCommandRoute ? m_playerName : std::string();
}
