#pragma once

#include <cstddef>
#include <vector>

#include "engine/Vector2.h"

class CEntity;

// A grid of buckets over the board that tells which nodes can touch a region, so the board
// queries look at the few nodes nearby instead of the whole list. Nodes never move, so it is
// rebuilt only when a node is added or removed. Buckets hold list indices in ascending order,
// and every query settles ties by list index, so the answers are those of a scan in list order.
class CBoardIndex
{
  public:
    // Copies of what the queries read, by list index; the same floats the nodes hold.
    struct Slot
    {
        float x;
        float y;
        float radius;
        bool blocks;
        CEntity* node;
    };

    void Invalidate() { m_valid = false; }
    // Rebuilds from the list unless it was built from this very list and nothing changed since.
    void Refresh(const std::vector<CEntity*>& pNodes);

    const Slot& At(int pIndex) const { return m_slots[static_cast<std::size_t>(pIndex)]; }
    // List indices of the nodes that may deal damage (GetDamageAt not zero everywhere).
    const std::vector<int>& GetHazards() const { return m_hazards; }

    // The first node in list order that blocks and whose circle meets the circle (pPoint,
    // pRadius) within the bound, or -1.
    int FindOverlap(const CVector2& pPoint, float pRadius) const;
    // Ascending list indices of every node whose circle comes within pRange of the point.
    void CollectInRange(const CVector2& pPoint, float pRange, std::vector<int>& pOut) const;
    // The blocking node a ray meets first (ties to the earlier in the list), or -1; also the
    // ray parameter of its centre's projection and the squared miss distance.
    int TraceRay(const CVector2& pOrigin, const CVector2& pDir, float* pT, float* pS) const;
    // Whether TraceRay would answer pIndex; quicker, since any node in front of it settles it.
    bool IsFirstHit(const CVector2& pOrigin, const CVector2& pDir, int pIndex) const;
    // The list index of a node, or -1.
    int IndexOf(const CEntity* pNode) const;

  private:
    // Bucket range covering [pLow, pHigh] on one axis, clamped; false when it misses the grid.
    bool CellSpan(float pLow, float pHigh, float pOrigin, int pCount, int* pFirst, int* pLast) const;
    // Calls pVisit(list index) for the nodes of every bucket within pReach of the point, each
    // bucket in list order; pVisit returns true to skip the rest of that bucket.
    template <class Visit> void VisitNear(const CVector2& pPoint, float pReach, const Visit& pVisit) const;
    // The exact test of the list scan: a blocking node the ray passes within its radius.
    bool RayHits(int pIndex, const CVector2& pOrigin, const CVector2& pDir, float* pT, float* pS) const;
    // Whether a ray can be walked bucket by bucket (a finite, non-zero direction).
    static bool CanWalk(const CVector2& pOrigin, const CVector2& pDir);
    // How far past a parameter a bucket walk keeps looking, for the rounding of the tests.
    static double Slack(const CVector2& pDir);
    // Calls pVisit(bucket, parameter where the line enters it) for each bucket the line
    // (pX, pY) + t (pDx, pDy) crosses for t in [0, pEnd], in order, until pVisit says false.
    template <class Visit>
    void WalkCells(double pX, double pY, double pDx, double pDy, double pEnd, const Visit& pVisit) const;

    bool m_valid = false;
    mutable int m_lastFound = -1;
    // The nodes that last stopped IsFirstHit, tried before any bucket.
    mutable int m_recentBlockers[4] = {-1, -1, -1, -1};
    const CEntity* const* m_builtFrom = nullptr;
    std::size_t m_builtSize = 0;
    std::vector<Slot> m_slots;
    std::vector<int> m_hazards;
    float m_originX = 0.0f;
    float m_originY = 0.0f;
    float m_cellSize = 32.0f;
    int m_columns = 0;
    int m_rows = 0;
    // Bucket b holds m_items[m_starts[b] .. m_starts[b + 1]).
    std::vector<int> m_starts;
    std::vector<int> m_items;
};
