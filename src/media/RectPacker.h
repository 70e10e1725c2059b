#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct SDL_Surface;

// A rectangle to be placed on a power-of-two page. The user owns it.
struct PackRect
{
    bool placed = false;
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    // Payload, untouched by the packer.
    SDL_Surface* image = nullptr; // sprite loading: the loaded image
    std::string id;               // sprite loading: the sprite id
    int charCode = 0;             // fonts: the character
    unsigned glyphIndex = 0;      // fonts: the glyph
};

struct FreeSlot
{
    bool placed = false;
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// Packs rectangles, largest first, into the free slots of a square page whose side is the
// smallest power of two that holds them.
class CRectPacker
{
  public:
    ~CRectPacker();

    void AddRect(PackRect* pRect);
    void AddFreeSlot(const FreeSlot& pSlot);
    // Sort mode 1 packs by the longer side, any other by area. True when all were placed.
    bool Pack(int pPadding, int pSortMode);
    int GetSize() const { return m_size; }
    // After Pack: places one more rectangle in a free slot that lies wholly inside the page,
    // leaving the page's size as it is. False, and the rectangle unplaced, without such room.
    bool PlaceWithinPage(PackRect* pRect, int pPadding);

    // The smallest power of two not less than n.
    static int NextPowerOfTwo(int pN);

    const std::vector<FreeSlot>& GetFreeSlots() const { return m_freeSlots; }

  private:
    void PlaceInSlot(PackRect* pRect, size_t pSlot, int pPadding);

    std::vector<PackRect*> m_rects;
    std::vector<FreeSlot> m_freeSlots;
    int m_size = 0;
};
