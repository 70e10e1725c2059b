// One font file rasterised onto a glyph page as the game does; the first byte picks the size.
#include <cstdint>
#include <vector>

#include "media/MediaBudget.h"
#include "media/TextureFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    static FT_Library library = []
    {
        FT_Library opened = nullptr;
        FT_Init_FreeType(&opened);
        return opened;
    }();
    if (pSize < 1 || !library)
        return 0;
    // Sizes up to 64 keep an input fast; the game refuses sizes above 256 before this point.
    const float size = 1.0f + static_cast<float>(pData[0] % 64);
    CTextureFont font(std::vector<unsigned char>(pData + 1, pData + pSize), size, &library,
                      GLYPH_PAGE_SIDE_LIMIT);
    font.GetLineHeight();
    font.GetTextWidth("Ampwarden\nWAV");
    return 0;
}
