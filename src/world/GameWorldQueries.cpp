#include "world/GameWorld.h"

#include <cmath>

// Plain scans of the node list in list order: the board holds a few dozen nodes.
// Distances are compared squared, and a bound is met by equality.

CEntity* CGameWorld::FindOverlap(const CVector2& pPoint, float pRadius) const
{
    for (CEntity* e : m_nodes)
    {
        // Sites do not block, which is what lets an extractor stand on one.
        if (!e->BlocksBeams())
            continue;
        float reach = e->GetRadius() + pRadius;
        if ((pPoint - e->GetPosition()).LengthSq() <= reach * reach)
            return e;
    }
    return nullptr;
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
    CEntity* best = nullptr;
    float bestT = 0.0f;
    float bestS = 0.0f;
    for (CEntity* e : m_nodes)
    {
        if (!e->BlocksBeams())
            continue;
        CVector2 v = e->GetPosition() - pOrigin;
        float t = v.Dot(pDir);
        if (t < 0.0f)
            continue; // behind the origin
        CVector2 q = v - pDir * t;
        float s = q.LengthSq();
        float r = e->GetRadius();
        if (r * r < s)
            continue; // the ray passes by
        if (best && bestT <= t)
            continue; // an earlier node keeps a tie
        best = e;
        bestT = t;
        bestS = s;
    }
    if (!best)
    {
        *pDistance = -1.0f;
        return nullptr;
    }
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
