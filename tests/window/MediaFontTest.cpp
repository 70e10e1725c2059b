#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "media/TextureLimit.h"
#include "support/TestWindow.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <string>

namespace
{
const char* const FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::string FontEntry(const std::string& pId, const std::string& pPath, const std::string& pSize)
{
    return "<font id=\"" + pId + "\" filepath=\"" + pPath + "\" size=\"" + pSize + "\"/>";
}

class MediaFontTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
        CFontManager::GetInstance()->Clear();
    }

    void TearDown() override
    {
        CFontManager::GetInstance()->Clear();
        CFontManager::GetInstance()->SetRasterScale(1.0f);
        SetMaxTextureSideLimit(0);
    }

    bool LoadFonts(const std::string& pEntries)
    {
        TiXmlDocument doc;
        doc.Parse(("<fonts>" + pEntries + "</fonts>").c_str());
        return CFontManager::GetInstance()->Load(doc.RootElement());
    }

    CTextureFont* LoadMain()
    {
        if (!LoadFonts(FontEntry("MainFont", FONT, "20")))
            return nullptr;
        return CFontManager::GetInstance()->GetFont("MainFont");
    }
};

// The box of lit pixels in a window region; empty when nothing is lit.
struct Box
{
    int left = 100000, right = -1, bottom = 100000, top = -1;
    bool Empty() const { return right < 0; }
};

Box LitBox(int pX0, int pY0, int pX1, int pY1)
{
    Box box;
    for (int y = pY0; y < pY1; ++y)
        for (int x = pX0; x < pX1; ++x)
            if (ReadTestPixel(x, y).r > 0)
            {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.bottom = std::min(box.bottom, y);
                box.top = std::max(box.top, y);
            }
    return box;
}

int LitInRow(int pY, int pX0, int pX1)
{
    int n = 0;
    for (int x = pX0; x < pX1; ++x)
        n += ReadTestPixel(x, pY).r > 0;
    return n;
}

void DrawAt(const CTextureFont* pFont, const char* pText, float pX, float pY)
{
    ClearTestWindow(0.0f, 0.0f, 0.0f);
    glColor4f(1, 1, 1, 1);
    glTranslatef(pX, pY, 0.0f);
    pFont->DrawText(pText);
    glLoadIdentity();
}
} // namespace

TEST_F(MediaFontTest, BuildsAnAlphaPageAndMeasuresLines)
{
    CTextureFont* font = LoadMain();
    ASSERT_NE(nullptr, font);
    EXPECT_TRUE(font->IsValid());
    unsigned side = font->GetPageSide();
    EXPECT_EQ(0u, side & (side - 1)) << side;
    EXPECT_GT(font->GetLineHeight(), 20);
    EXPECT_LT(font->GetLineHeight(), 30);

    const CTextureFont::Glyph* a = font->FindGlyph('a');
    const CTextureFont::Glyph* b = font->FindGlyph('b');
    const CTextureFont::Glyph* c = font->FindGlyph('c');
    ASSERT_TRUE(a && b && c);
    EXPECT_GT(a->advanceX, 0);
    EXPECT_EQ(0, a->advanceY);
    float abc = static_cast<float>(std::max(a->advanceX + b->advanceX, c->advanceX));
    EXPECT_FLOAT_EQ(abc, font->GetTextWidth("ab\nc"));
    EXPECT_FLOAT_EQ(abc, font->GetTextWidth("c\nab\n"));
    EXPECT_FLOAT_EQ(static_cast<float>(3 * c->advanceX), font->GetTextWidth("cc\n\nccc\nc"));
    EXPECT_FLOAT_EQ(0.0f, font->GetTextWidth(""));

    // Bytes of 128 and up never find a glyph, though the font has the character.
    EXPECT_EQ(nullptr, font->FindGlyph('\xe9'));
    EXPECT_FLOAT_EQ(font->GetTextWidth("ab"), font->GetTextWidth("a\xe9\xff"
                                                                 "b"));
}

TEST_F(MediaFontTest, BlockRulesAndReplacement)
{
    CFontManager* fonts = CFontManager::GetInstance();
    // The size-0 entry fails the block; the font before it stays, the one after is never read.
    EXPECT_FALSE(LoadFonts(FontEntry("Main", FONT, "20") + FontEntry("Zero", FONT, "0") +
                           FontEntry("Help", FONT, "13")));
    EXPECT_NE(nullptr, fonts->GetFont("Main"));
    EXPECT_EQ(nullptr, fonts->GetFont("Zero"));
    EXPECT_EQ(nullptr, fonts->GetFont("Help"));

    fonts->Clear();
    EXPECT_TRUE(LoadFonts(FontEntry("Gone", "/nonexistent/font.ttf", "20") + FontEntry("Main", FONT, "20") +
                          FontEntry("Main", "\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf", "13")));
    EXPECT_EQ(nullptr, fonts->GetFont("Gone"));
    CTextureFont* main = fonts->GetFont("Main");
    ASSERT_NE(nullptr, main);
    FT_Library library = nullptr;
    ASSERT_EQ(0, FT_Init_FreeType(&library));
    {
        CTextureFont small(FONT, 13.0f, &library);
        EXPECT_EQ(small.GetLineHeight(), main->GetLineHeight());
        EXPECT_EQ(small.FindGlyph('W')->advanceX, main->FindGlyph('W')->advanceX);
    }
    FT_Done_FreeType(library);
}

TEST_F(MediaFontTest, GlyphPagesPastTheirBudgetRefuseTheFontsByName)
{
    // At size 256 the characters take a page of 2048 by 2048: the fifth is one too many.
    std::string entries;
    for (int i = 1; i <= 5; ++i)
        entries += FontEntry("Big" + std::to_string(i), FONT, "256");
    EXPECT_FALSE(LoadFonts(entries));
    EXPECT_EQ(std::string("font 'Big5' (") + FONT + ") at size 256 takes the glyph pages past their 16 MB",
              CFontManager::GetInstance()->GetLastError());
    EXPECT_EQ(nullptr, CFontManager::GetInstance()->GetFont("Big1"));
}

TEST_F(MediaFontTest, GlyphsStandUprightAtTheirMetrics)
{
    CTextureFont* font = LoadMain();
    ASSERT_NE(nullptr, font);
    const CTextureFont::Glyph* g = font->FindGlyph('L');
    ASSERT_NE(nullptr, g);
    DrawAt(font, "L", 100.0f, 300.0f);
    Box box = LitBox(90, 280, 130, 330);
    ASSERT_FALSE(box.Empty());
    EXPECT_GE(box.left, 100 + g->left);
    EXPECT_LT(box.right, 100 + g->left + static_cast<int>(g->width));
    EXPECT_GE(box.bottom, 300 + g->top - static_cast<int>(g->height));
    EXPECT_LT(box.top, 300 + g->top);
    // "L": its foot is at the bottom, so the lowest row is lit far wider than the top one.
    EXPECT_GT(LitInRow(box.bottom, 90, 130), 2 * LitInRow(box.top, 90, 130));
}

TEST_F(MediaFontTest, NewlineStartsTheNextLineOneLineHeightBelow)
{
    CTextureFont* font = LoadMain();
    ASSERT_NE(nullptr, font);
    DrawAt(font, "x", 100.0f, 300.0f);
    Box first = LitBox(90, 240, 140, 330);
    DrawAt(font, "xx\nx", 100.0f, 300.0f);
    Box lower = LitBox(90, 240, 140, 299); // the first line has no descenders
    ASSERT_FALSE(first.Empty());
    ASSERT_FALSE(lower.Empty());
    EXPECT_EQ(first.left, lower.left);
    EXPECT_EQ(first.right, lower.right);
    EXPECT_EQ(first.top - font->GetLineHeight(), lower.top);
    EXPECT_EQ(first.bottom - font->GetLineHeight(), lower.bottom);
}

TEST_F(MediaFontTest, EmptyAndHighBytesDrawNothing)
{
    CTextureFont* font = LoadMain();
    ASSERT_NE(nullptr, font);
    DrawAt(font, "", 100.0f, 300.0f);
    EXPECT_TRUE(LitBox(80, 260, 160, 340).Empty());
    DrawAt(font, "\xe9\xe9", 100.0f, 300.0f);
    EXPECT_TRUE(LitBox(80, 260, 160, 340).Empty());
    // A high byte does not move the pen: the i lands where it would alone.
    DrawAt(font, "i", 100.0f, 300.0f);
    Box alone = LitBox(90, 280, 130, 330);
    DrawAt(font, "\xe9i", 100.0f, 300.0f);
    Box after = LitBox(90, 280, 130, 330);
    ASSERT_FALSE(alone.Empty());
    EXPECT_EQ(alone.left, after.left);
}

TEST_F(MediaFontTest, GlyphsWithoutRoomAreLeftOutNotDumpedAtTheOrigin)
{
    // The characters below 128 at size 64 need a bigger page; the largest are placed first.
    SetMaxTextureSideLimit(256);
    FT_Library library = nullptr;
    ASSERT_EQ(0, FT_Init_FreeType(&library));
    {
        CTextureFont font(FONT, 64.0f, &library);
        ASSERT_TRUE(font.IsValid());
        EXPECT_EQ(256u, font.GetPageSide());
        int found = 0;
        for (int c = 1; c < 128; ++c)
        {
            const CTextureFont::Glyph* g = font.FindGlyph(static_cast<char>(c));
            if (!g)
                continue;
            ++found;
            EXPECT_GE(g->u * 256.0f, 1.0f) << c;
            EXPECT_GE(g->v * 256.0f, 1.0f) << c;
            EXPECT_LE(g->u * 256.0f + g->width, 255.0f) << c;
        }
        EXPECT_GT(found, 0);
        EXPECT_LT(found, 95); // most of ASCII is left out
    }
    FT_Done_FreeType(library);
}

// Rasterised for a picture shown larger, a font draws from bigger glyphs with the same
// measures: every text is as wide and as tall in the layout, so nothing moves; and back again.
TEST_F(MediaFontTest, ARasterScaleKeepsTheLayoutsMeasures)
{
    CTextureFont* font = LoadMain();
    ASSERT_NE(nullptr, font);
    const char* text = "Beam emitter costs 60\nWg";
    const float width = font->GetTextWidth(text);
    const int line = font->GetLineHeight();
    const CTextureFont::Glyph w1 = *font->FindGlyph('W');
    const unsigned side = font->GetPageSide();
    CFontManager::GetInstance()->SetRasterScale(2.5f);
    EXPECT_FLOAT_EQ(2.5f, font->GetRasterScale());
    EXPECT_GT(font->GetPageSide(), side);
    EXPECT_FLOAT_EQ(width, font->GetTextWidth(text));
    EXPECT_EQ(line, font->GetLineHeight());
    const CTextureFont::Glyph* w2 = font->FindGlyph('W');
    ASSERT_NE(nullptr, w2);
    // The quad keeps its place and size but for hinting (a tenth); its texels are about 2.5
    // times as many each way.
    EXPECT_NEAR(w1.width, w2->width, 0.1f * w1.width);
    EXPECT_NEAR(w1.top, w2->top, 0.1f * w1.top);
    EXPECT_NEAR(w1.du * side * 2.5f, w2->du * font->GetPageSide(), 0.1f * 2.5f * w1.du * side);
    CFontManager::GetInstance()->SetRasterScale(1.0f);
    EXPECT_EQ(side, font->GetPageSide());
}
