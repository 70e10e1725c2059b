#include "media/FontManager.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

#include "media/TextureFont.h"

// The block rules need no window: without a GL context no font builds, but the entries are
// still checked in order.
namespace
{
bool LoadFonts(const std::string& pXml)
{
    TiXmlDocument doc;
    doc.Parse(pXml.c_str());
    return CFontManager::GetInstance()->Load(doc.RootElement());
}
} // namespace

TEST(FontManagerTest, EntriesNeedPathIdAndANonZeroSize)
{
    CFontManager* fonts = CFontManager::GetInstance();
    const char* cases[] = {
        "<fonts><font id=\"A\" filepath=\"x.ttf\"/></fonts>",
        "<fonts><font id=\"A\" filepath=\"x.ttf\" size=\"0\"/></fonts>",
        "<fonts><font id=\"A\" filepath=\"x.ttf\" size=\"big\"/></fonts>",
        "<fonts><font filepath=\"x.ttf\" size=\"20\"/></fonts>",
        "<fonts><font id=\"A\" size=\"20\"/></fonts>",
    };
    for (const char* xml : cases)
    {
        fonts->Clear();
        EXPECT_FALSE(LoadFonts(xml)) << xml;
    }

    // A file that cannot be opened is merely absent; other elements are skipped.
    fonts->Clear();
    EXPECT_TRUE(
        LoadFonts("<fonts><font id=\"A\" filepath=\"/nonexistent/x.ttf\" size=\"20\"/><other/></fonts>"));
    EXPECT_EQ(nullptr, fonts->GetFont("A"));
    EXPECT_FALSE(fonts->LoadFont("/nonexistent/y.ttf", 13.0f, "B"));
    EXPECT_EQ(nullptr, fonts->GetFont("B"));
    fonts->Clear();
}

TEST(FontManagerTest, SizesBeyondOneTo256AreRefusedByName)
{
    // Huge sizes overflowed the char size or rasterised for minutes; nan compares false to 0.
    CFontManager* fonts = CFontManager::GetInstance();
    for (const char* size : {"1e30", "1e300", "nan", "inf", "10000", "257", "-3", "0.5"})
    {
        fonts->Clear();
        EXPECT_FALSE(
            LoadFonts(std::string("<fonts><font id='A' filepath='x.ttf' size='") + size + "'/></fonts>"));
        EXPECT_EQ(std::string("font 'A' has size \"") + size + "\"; sizes run from 1 to 256",
                  fonts->GetLastError());
    }
    fonts->Clear();
    EXPECT_TRUE(LoadFonts("<fonts><font id='A' filepath='x.ttf' size='1'/>"
                          "<font id='B' filepath='x.ttf' size='256'/></fonts>"));
    EXPECT_EQ("", fonts->GetLastError());
    fonts->Clear();
}

TEST(FontManagerDeathTest, LibraryMustBeOpenedExactlyOnce)
{
    CFontManager* fonts = CFontManager::GetInstance();
    fonts->Clear();
    EXPECT_DEATH(fonts->LoadFont("x.ttf", 20.0f, "A"), "m_library");
    ASSERT_TRUE(LoadFonts("<fonts/>"));
    EXPECT_DEATH(LoadFonts("<fonts/>"), "!m_library");
    EXPECT_DEATH(fonts->LoadFont(nullptr, 20.0f, "A"), "pFontPath");
    EXPECT_DEATH(fonts->LoadFont("x.ttf", 20.0f, nullptr), "pId");
    fonts->Clear();
}

TEST(TextureFontDeathTest, InvalidFontCannotDraw)
{
    FT_Library library = nullptr;
    ASSERT_EQ(0, FT_Init_FreeType(&library));
    {
        CTextureFont font("/nonexistent/x.ttf", 20.0f, &library);
        EXPECT_FALSE(font.IsValid());
        EXPECT_EQ(0, font.GetLineHeight());
        EXPECT_FLOAT_EQ(0.0f, font.GetTextWidth("abc"));
        EXPECT_DEATH(font.DrawText("abc"), "m_texId");
    }
    FT_Done_FreeType(library);
}
