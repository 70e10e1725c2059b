#pragma once

#include <cstddef>

#include <ft2build.h>
#include FT_FREETYPE_H

// Writes a rendered glyph's coverage as 8-bit alpha, bottom row first, at most pWidth by pRows
// texels into pDest with pStride bytes from one row to the next. Outline fonts render 8-bit
// grey, but bitmap fonts keep their own pixel mode (1-bit, 2- or 4-bit grey, colour), which is
// converted here. False when FreeType cannot convert the bitmap.
bool CopyGlyphCoverage(FT_Library pLibrary, const FT_Bitmap& pBitmap, unsigned char* pDest, size_t pStride,
                       int pWidth, int pRows);
