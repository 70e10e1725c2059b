#include "media/RectPacker.h"

#include <algorithm>

#include "engine/Assert.h"

namespace
{
// The sort key: the longer side, or the area; compared unsigned so huge areas stay ordered.
unsigned SortKey(const PackRect* pRect, int pSortMode)
{
    if (pSortMode == 1)
        return static_cast<unsigned>(std::max(pRect->w, pRect->h));
    return static_cast<unsigned>(pRect->w) * static_cast<unsigned>(pRect->h);
}
} // namespace

CRectPacker::~CRectPacker()
{
    m_rects.clear();
    m_freeSlots.clear();
}

void CRectPacker::AddRect(PackRect* pRect)
{
    AW_ASSERT(pRect);
    m_rects.push_back(pRect);
}

void CRectPacker::AddFreeSlot(const FreeSlot& pSlot)
{
    m_freeSlots.push_back(pSlot);
}

int CRectPacker::NextPowerOfTwo(int pN)
{
    unsigned n = static_cast<unsigned>(pN) - 1u;
    n |= n >> 1;
    n |= n >> 2;
    n |= n >> 4;
    n |= n >> 8;
    n |= n >> 16;
    return static_cast<int>(n + 1u);
}

bool CRectPacker::Pack(int pPadding, int pSortMode)
{
    int bound = 0;
    for (const FreeSlot& s : m_freeSlots)
        bound = std::max(bound, std::max(NextPowerOfTwo(s.x + s.w), NextPowerOfTwo(s.y + s.h)));
    if (bound == 0)
        return false;

    m_size = 0;
    std::stable_sort(m_rects.begin(), m_rects.end(),
                     [pSortMode](const PackRect* a, const PackRect* b)
                     { return SortKey(a, pSortMode) < SortKey(b, pSortMode); });

    bool allPlaced = true;
    for (auto it = m_rects.rbegin(); it != m_rects.rend(); ++it)
    {
        PackRect* r = *it;
        int best = bound + 1;
        int chosen = -1;
        for (size_t i = 0; i < m_freeSlots.size(); ++i)
        {
            const FreeSlot& s = m_freeSlots[i];
            if (s.w < r->w || s.h < r->h)
                continue;
            int cost = std::max(NextPowerOfTwo(s.x + r->w), NextPowerOfTwo(s.y + r->h));
            if (cost < best)
            {
                chosen = static_cast<int>(i);
                best = cost;
                // A slot that does not grow the page cannot be beaten.
                if (cost <= m_size)
                    break;
            }
        }
        if (chosen < 0)
        {
            r->placed = false;
            allPlaced = false;
            continue;
        }

        m_size = std::max(m_size, best);
        FreeSlot s = m_freeSlots[chosen];
        m_freeSlots.erase(m_freeSlots.begin() + chosen);
        r->x = s.x;
        r->y = s.y;

        // The padding column right of r and the padding row below it stay out of every slot.
        bool right = r->w + pPadding < s.w;
        bool lower = r->h + pPadding < s.h;
        if (right)
            m_freeSlots.push_back(FreeSlot{false, s.x + r->w + pPadding, s.y, s.w - r->w - pPadding, r->h});
        if (lower)
            m_freeSlots.push_back(FreeSlot{false, s.x, s.y + r->h + pPadding, r->w, s.h - r->h - pPadding});
        if (right && lower)
            m_freeSlots.push_back(FreeSlot{false, s.x + r->w + pPadding, s.y + r->h + pPadding,
                                           s.w - r->w - pPadding, s.h - r->h - pPadding});
        r->placed = true;
    }
    return allPlaced;
}
