#include "media/TextureFont.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Rasterising needs no window: the page is checked before it would be uploaded.
namespace
{
// A bitmap font with one 8 by 4 glyph for 'A'; FreeType hands its glyphs over as 1-bit rows.
const unsigned char ROWS[] = {0xF0, 0x81, 0xAA, 0x0F};

std::vector<unsigned char> BitmapFont()
{
    std::string bdf = "STARTFONT 2.1\nFONT -aw-test-medium-r-normal--4-40-72-72-c-80-iso10646-1\n"
                      "SIZE 4 72 72\nFONTBOUNDINGBOX 8 4 0 0\nSTARTPROPERTIES 3\nPIXEL_SIZE 4\n"
                      "FONT_ASCENT 4\nFONT_DESCENT 0\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\n"
                      "SWIDTH 1000 0\nDWIDTH 9 0\nBBX 8 4 0 0\nBITMAP\n";
    const char* hex = "0123456789ABCDEF";
    for (unsigned char row : ROWS)
        bdf += std::string{hex[row >> 4], hex[row & 15], '\n'};
    bdf += "ENDCHAR\nENDFONT\n";
    return std::vector<unsigned char>(bdf.begin(), bdf.end());
}
} // namespace

TEST(TextureFontTest, OneBitGlyphsOfABitmapFontBecomeFullCoverage)
{
    FT_Library library = nullptr;
    ASSERT_EQ(0, FT_Init_FreeType(&library));
    {
        // Asked for 20 pixels, the font draws at the one size it has.
        CTextureFont font(BitmapFont(), 20.0f, &library, 64);
        const CTextureFont::Glyph* a = font.FindGlyph('A');
        ASSERT_NE(nullptr, a);
        ASSERT_EQ(8.0f, a->width);
        ASSERT_EQ(4.0f, a->height);
        EXPECT_EQ(9, a->advanceX);
        const unsigned side = font.GetPageSide();
        ASSERT_EQ(side * side, font.GetPage().size());
        const int x0 = static_cast<int>(a->u * side);
        const int y0 = static_cast<int>(a->v * side);
        for (int j = 0; j < 4; ++j)
            for (int c = 0; c < 8; ++c)
            {
                // The page holds rows bottom-up.
                const bool lit = ROWS[3 - j] & (0x80 >> c);
                EXPECT_EQ(lit ? 255 : 0, font.GetPage()[(y0 + j) * side + x0 + c])
                    << "row " << j << ", column " << c;
            }
    }
    FT_Done_FreeType(library);
}
