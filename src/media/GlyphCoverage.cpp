#include "media/GlyphCoverage.h"

#include FT_BITMAP_H

#include <algorithm>

bool CopyGlyphCoverage(FT_Library pLibrary, const FT_Bitmap& pBitmap, unsigned char* pDest, size_t pStride,
                       int pWidth, int pRows)
{
    FT_Bitmap grey;
    FT_Bitmap_Init(&grey);
    const FT_Bitmap* source = &pBitmap;
    if (pBitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
    {
        if (FT_Bitmap_Convert(pLibrary, &pBitmap, &grey, 1) != 0)
        {
            FT_Bitmap_Done(pLibrary, &grey);
            return false;
        }
        source = &grey;
    }
    // Converted bitmaps keep their own number of levels (2 for 1-bit): stretch them to 0..255.
    const int top = source->num_grays > 1 ? source->num_grays - 1 : 1;
    const int width = std::min(pWidth, static_cast<int>(source->width));
    const int rows = std::min(pRows, static_cast<int>(source->rows));
    const int all = static_cast<int>(source->rows);
    const ptrdiff_t pitch = source->pitch;
    for (int j = 0; j < rows; ++j)
    {
        // Row r from the top; a negative pitch stores the bottom row first.
        const int r = all - 1 - j;
        const unsigned char* src =
            source->buffer + (pitch >= 0 ? r * pitch : static_cast<ptrdiff_t>(all - 1 - r) * -pitch);
        unsigned char* dest = pDest + static_cast<size_t>(j) * pStride;
        for (int c = 0; c < width; ++c)
            dest[c] = static_cast<unsigned char>(std::min(255, src[c] * 255 / top));
    }
    FT_Bitmap_Done(pLibrary, &grey);
    return true;
}
