#include "world/BoardIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/Assert.h"
#include "nodes/Entity.h"

namespace
{
const float CELL_SIZE = 32.0f;
// Buckets per side at most; a board spread wider gets bigger buckets.
const float MAX_CELLS_PER_SIDE = 256.0f;
// Every node is filed a pixel beyond its circle, far more than the rounding of any test.
const float MARGIN = 1.0f;
// Buckets a beam is searched back from its target before it is searched from its origin.
const int BACKWARD_BUCKETS = 4;
} // namespace

double CBoardIndex::Slack(const CVector2& pDir)
{
    // Two pixels in the ray's parameter.
    return 2.0 / std::sqrt(static_cast<double>(pDir.x) * pDir.x + static_cast<double>(pDir.y) * pDir.y);
}

void CBoardIndex::Refresh(const std::vector<CEntity*>& pNodes)
{
    if (m_valid && m_builtFrom == pNodes.data() && m_builtSize == pNodes.size())
        return;
    m_valid = true;
    m_builtFrom = pNodes.data();
    m_builtSize = pNodes.size();
    m_slots.clear();
    m_hazards.clear();
    m_items.clear();
    m_columns = 0;
    m_rows = 0;
    m_starts.assign(1, 0);
    if (pNodes.empty())
        return;

    float minX = std::numeric_limits<float>::max();
    float minY = minX;
    float maxX = -minX;
    float maxY = -minX;
    for (std::size_t i = 0; i < pNodes.size(); ++i)
    {
        const CEntity* node = pNodes[i];
        const CVector2& at = node->GetPosition();
        const float r = node->GetRadius();
        // A node off every bucket would be missed; the list scans would still see it.
        AW_ASSERT(std::isfinite(at.x) && std::isfinite(at.y) && std::isfinite(r));
        m_slots.push_back(Slot{at.x, at.y, r, node->BlocksBeams(), pNodes[i]});
        if (node->MayDealDamage())
            m_hazards.push_back(static_cast<int>(i));
        minX = std::min(minX, at.x - r - MARGIN);
        minY = std::min(minY, at.y - r - MARGIN);
        maxX = std::max(maxX, at.x + r + MARGIN);
        maxY = std::max(maxY, at.y + r + MARGIN);
    }
    m_originX = minX;
    m_originY = minY;
    m_cellSize = std::max(CELL_SIZE, std::max(maxX - minX, maxY - minY) / MAX_CELLS_PER_SIDE);
    m_columns = static_cast<int>((maxX - minX) / m_cellSize) + 1;
    m_rows = static_cast<int>((maxY - minY) / m_cellSize) + 1;

    // Count, then fill: each bucket's indices come out in list order.
    m_starts.assign(static_cast<std::size_t>(m_columns * m_rows) + 1, 0);
    for (int pass = 0; pass < 2; ++pass)
    {
        std::vector<int> cursor;
        if (pass == 1)
        {
            for (std::size_t b = 1; b < m_starts.size(); ++b)
                m_starts[b] += m_starts[b - 1];
            m_items.resize(static_cast<std::size_t>(m_starts.back()));
            cursor.assign(m_starts.begin(), m_starts.end() - 1);
        }
        for (std::size_t i = 0; i < m_slots.size(); ++i)
        {
            const Slot& s = m_slots[i];
            const float reach = s.radius + MARGIN;
            // The grid spans every node, so both spans are found.
            int c0 = 0, c1 = -1, r0 = 0, r1 = -1;
            CellSpan(s.x - reach, s.x + reach, m_originX, m_columns, &c0, &c1);
            CellSpan(s.y - reach, s.y + reach, m_originY, m_rows, &r0, &r1);
            for (int row = r0; row <= r1; ++row)
            {
                for (int col = c0; col <= c1; ++col)
                {
                    const int b = row * m_columns + col;
                    if (pass == 0)
                        ++m_starts[static_cast<std::size_t>(b) + 1];
                    else
                        m_items[static_cast<std::size_t>(cursor[static_cast<std::size_t>(b)]++)] =
                            static_cast<int>(i);
                }
            }
        }
    }
}

bool CBoardIndex::CellSpan(float pLow, float pHigh, float pOrigin, int pCount, int* pFirst, int* pLast) const
{
    const float low = (pLow - pOrigin) / m_cellSize;
    const float high = (pHigh - pOrigin) / m_cellSize;
    // Written so that a NaN misses too.
    if (!(high >= 0.0f) || !(low < static_cast<float>(pCount)))
        return false;
    *pFirst = low <= 0.0f ? 0 : static_cast<int>(low);
    *pLast = high >= static_cast<float>(pCount - 1) ? pCount - 1 : static_cast<int>(high);
    return true;
}

template <class Visit>
void CBoardIndex::VisitNear(const CVector2& pPoint, float pReach, const Visit& pVisit) const
{
    int c0, c1, r0, r1;
    if (!CellSpan(pPoint.x - pReach, pPoint.x + pReach, m_originX, m_columns, &c0, &c1) ||
        !CellSpan(pPoint.y - pReach, pPoint.y + pReach, m_originY, m_rows, &r0, &r1))
        return;
    for (int row = r0; row <= r1; ++row)
    {
        for (int col = c0; col <= c1; ++col)
        {
            const std::size_t b = static_cast<std::size_t>(row * m_columns + col);
            for (int k = m_starts[b]; k < m_starts[b + 1]; ++k)
            {
                if (pVisit(m_items[static_cast<std::size_t>(k)]))
                    break;
            }
        }
    }
}

int CBoardIndex::FindOverlap(const CVector2& pPoint, float pRadius) const
{
    int first = -1;
    VisitNear(pPoint, pRadius,
              [&](int pIndex)
              {
                  // Buckets are in list order: nothing further on can come first.
                  if (first >= 0 && pIndex >= first)
                      return true;
                  const Slot& s = At(pIndex);
                  if (!s.blocks)
                      return false;
                  const float reach = s.radius + pRadius;
                  if ((pPoint - CVector2(s.x, s.y)).LengthSq() <= reach * reach)
                  {
                      first = pIndex;
                      return true;
                  }
                  return false;
              });
    return first;
}

void CBoardIndex::CollectInRange(const CVector2& pPoint, float pRange, std::vector<int>& pOut) const
{
    pOut.clear();
    VisitNear(pPoint, pRange,
              [&](int pIndex)
              {
                  const Slot& s = At(pIndex);
                  const float reach = s.radius + pRange;
                  if (reach * reach >= (pPoint - CVector2(s.x, s.y)).LengthSq())
                      pOut.push_back(pIndex);
                  return false;
              });
    // A node filed in several of the buckets is found once per bucket.
    std::sort(pOut.begin(), pOut.end());
    pOut.erase(std::unique(pOut.begin(), pOut.end()), pOut.end());
}

inline bool CBoardIndex::RayHits(int pIndex, const CVector2& pOrigin, const CVector2& pDir, float* pT,
                                 float* pS) const
{
    const Slot& s = At(pIndex);
    if (!s.blocks)
        return false;
    const CVector2 v = CVector2(s.x, s.y) - pOrigin;
    const float t = v.Dot(pDir);
    if (t < 0.0f)
        return false; // behind the origin
    const CVector2 q = v - pDir * t;
    const float miss = q.LengthSq();
    if (s.radius * s.radius < miss)
        return false; // the ray passes by
    *pT = t;
    *pS = miss;
    return true;
}

template <class Visit>
void CBoardIndex::WalkCells(double pX, double pY, double pDx, double pDy, double pEnd,
                            const Visit& pVisit) const
{
    if (m_columns == 0)
        return;
    const double size = m_cellSize;
    const double x0 = m_originX;
    const double y0 = m_originY;
    // The stretch of parameters where the line lies inside the grid.
    double enter = 0.0;
    double leave = pEnd;
    auto clip = [&](double pO, double pD, double pLow, double pHigh)
    {
        if (pD == 0.0)
        {
            if (pO < pLow || pO > pHigh)
                leave = -1.0;
            return;
        }
        double a = (pLow - pO) / pD;
        double b = (pHigh - pO) / pD;
        if (a > b)
            std::swap(a, b);
        enter = std::max(enter, a);
        leave = std::min(leave, b);
    };
    clip(pX, pDx, x0, x0 + size * m_columns);
    clip(pY, pDy, y0, y0 + size * m_rows);
    if (!(enter <= leave))
        return;

    const double inf = std::numeric_limits<double>::infinity();
    int col = std::clamp(static_cast<int>(std::floor((pX + pDx * enter - x0) / size)), 0, m_columns - 1);
    int row = std::clamp(static_cast<int>(std::floor((pY + pDy * enter - y0) / size)), 0, m_rows - 1);
    const int stepCol = pDx > 0.0 ? 1 : -1;
    const int stepRow = pDy > 0.0 ? 1 : -1;
    double nextX = pDx == 0.0 ? inf : (x0 + size * (col + (pDx > 0.0 ? 1 : 0)) - pX) / pDx;
    double nextY = pDy == 0.0 ? inf : (y0 + size * (row + (pDy > 0.0 ? 1 : 0)) - pY) / pDy;
    const double deltaX = pDx == 0.0 ? inf : size / std::fabs(pDx);
    const double deltaY = pDy == 0.0 ? inf : size / std::fabs(pDy);
    double at = enter;
    while (at <= leave && pVisit(static_cast<std::size_t>(row * m_columns + col), at))
    {
        if (nextX < nextY)
        {
            col += stepCol;
            at = nextX;
            nextX += deltaX;
            if (col < 0 || col >= m_columns)
                return;
        }
        else
        {
            row += stepRow;
            at = nextY;
            nextY += deltaY;
            if (row < 0 || row >= m_rows)
                return;
        }
    }
}

bool CBoardIndex::CanWalk(const CVector2& pOrigin, const CVector2& pDir)
{
    return std::isfinite(pOrigin.x) && std::isfinite(pOrigin.y) && std::isfinite(pDir.x) &&
           std::isfinite(pDir.y) && (pDir.x != 0.0f || pDir.y != 0.0f);
}

int CBoardIndex::TraceRay(const CVector2& pOrigin, const CVector2& pDir, float* pT, float* pS) const
{
    int best = -1;
    float bestT = 0.0f;
    float bestS = 0.0f;
    auto consider = [&](int pIndex)
    {
        float t, miss;
        if (!RayHits(pIndex, pOrigin, pDir, &t, &miss))
            return;
        // The earlier node in the list keeps a tie.
        if (best >= 0 && (bestT < t || (bestT == t && best < pIndex)))
            return;
        best = pIndex;
        bestT = t;
        bestS = miss;
    };
    if (!CanWalk(pOrigin, pDir))
    {
        // No way to walk the buckets: test every node.
        for (int i = 0; i < static_cast<int>(m_slots.size()); ++i)
            consider(i);
    }
    else
    {
        // A node the ray passes within its radius holds the ray's point at the parameter of
        // its centre's projection, and is filed in that point's bucket; so walking the buckets
        // the ray crosses, in order, can stop once one is entered beyond the best parameter.
        const double slack = Slack(pDir);
        WalkCells(pOrigin.x, pOrigin.y, pDir.x, pDir.y, std::numeric_limits<double>::infinity(),
                  [&](std::size_t pBucket, double pAt)
                  {
                      if (best >= 0 && pAt > bestT + slack)
                          return false;
                      for (int k = m_starts[pBucket]; k < m_starts[pBucket + 1]; ++k)
                          consider(m_items[static_cast<std::size_t>(k)]);
                      return true;
                  });
    }
    *pT = bestT;
    *pS = bestS;
    return best;
}

bool CBoardIndex::IsFirstHit(const CVector2& pOrigin, const CVector2& pDir, int pIndex) const
{
    float t = 0.0f;
    float miss = 0.0f;
    if (!CanWalk(pOrigin, pDir))
        return TraceRay(pOrigin, pDir, &t, &miss) == pIndex;
    float targetT = 0.0f;
    if (!RayHits(pIndex, pOrigin, pDir, &targetT, &miss))
        return false;
    // Any node met before it (the earlier in the list on a tie) holds a bucket the ray crosses
    // between the origin and the node. Blockers usually stand close in front of the node or
    // close to the origin, so look a few buckets back from the node first, then from the origin.
    auto blocksTarget = [&](int pOther)
    {
        return pOther != pIndex && RayHits(pOther, pOrigin, pDir, &t, &miss) &&
               (t < targetT || (t == targetT && pOther < pIndex));
    };
    // Rays aimed at one node from many places are mostly stopped by the same few nodes.
    for (int& recent : m_recentBlockers)
    {
        if (recent >= 0 && recent < static_cast<int>(m_slots.size()) && blocksTarget(recent))
        {
            std::swap(recent, m_recentBlockers[0]);
            return false;
        }
    }
    const double end = targetT + Slack(pDir);
    bool blocked = false;
    auto blocks = [&](std::size_t pBucket)
    {
        for (int k = m_starts[pBucket]; k < m_starts[pBucket + 1]; ++k)
        {
            const int i = m_items[static_cast<std::size_t>(k)];
            if (blocksTarget(i))
            {
                std::rotate(std::begin(m_recentBlockers), std::end(m_recentBlockers) - 1,
                            std::end(m_recentBlockers));
                m_recentBlockers[0] = i;
                blocked = true;
                return true;
            }
        }
        return false;
    };
    int budget = BACKWARD_BUCKETS;
    WalkCells(pOrigin.x + pDir.x * end, pOrigin.y + pDir.y * end, -static_cast<double>(pDir.x),
              -static_cast<double>(pDir.y), end,
              [&](std::size_t pBucket, double) { return !blocks(pBucket) && --budget > 0; });
    if (blocked)
        return false;
    WalkCells(pOrigin.x, pOrigin.y, pDir.x, pDir.y, end,
              [&](std::size_t pBucket, double) { return !blocks(pBucket); });
    return !blocked;
}

int CBoardIndex::IndexOf(const CEntity* pNode) const
{
    if (m_lastFound >= 0 && m_lastFound < static_cast<int>(m_slots.size()) && At(m_lastFound).node == pNode)
        return m_lastFound;
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i)
    {
        if (At(i).node == pNode)
        {
            m_lastFound = i;
            return i;
        }
    }
    return -1;
}
