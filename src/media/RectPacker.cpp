#include "media/RectPacker.h"

#include <algorithm>
#include <cstddef>

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
        PlaceInSlot(r, static_cast<size_t>(chosen), pPadding);
    }
    return allPlaced;
}

void CRectPacker::PlaceInSlot(PackRect* pRect, size_t pSlot, int pPadding)
{
    FreeSlot s = m_freeSlots[pSlot];
    m_freeSlots.erase(m_freeSlots.begin() + static_cast<std::ptrdiff_t>(pSlot));
    pRect->x = s.x;
    pRect->y = s.y;

    // The padding column right of the rectangle and the padding row below it stay out of
    // every slot.
    bool right = pRect->w + pPadding < s.w;
    bool lower = pRect->h + pPadding < s.h;
    if (right)
        m_freeSlots.push_back(
            FreeSlot{false, s.x + pRect->w + pPadding, s.y, s.w - pRect->w - pPadding, pRect->h});
    if (lower)
        m_freeSlots.push_back(
            FreeSlot{false, s.x, s.y + pRect->h + pPadding, pRect->w, s.h - pRect->h - pPadding});
    if (right && lower)
        m_freeSlots.push_back(FreeSlot{false, s.x + pRect->w + pPadding, s.y + pRect->h + pPadding,
                                       s.w - pRect->w - pPadding, s.h - pRect->h - pPadding});
    pRect->placed = true;
}

bool CRectPacker::PlaceWithinPage(PackRect* pRect, int pPadding)
{
    AW_ASSERT(pRect);
    pRect->placed = false;
    for (size_t i = 0; i < m_freeSlots.size(); ++i)
    {
        const FreeSlot& s = m_freeSlots[i];
        if (s.w >= pRect->w && s.h >= pRect->h && s.x + pRect->w <= m_size && s.y + pRect->h <= m_size)
        {
            PlaceInSlot(pRect, i, pPadding);
            return true;
        }
    }
    return false;
}
