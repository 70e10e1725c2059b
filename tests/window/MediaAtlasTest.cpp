#include "media/Sprite.h"
#include "media/TextureLimit.h"
#include "media/TextureManager.h"
#include "support/TestWindow.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace
{
struct Rgb
{
    Uint8 r, g, b;
};

const Rgb RED = {255, 0, 0};
const Rgb GREEN = {0, 255, 0};
const Rgb BLUE = {0, 0, 255};

class MediaAtlasTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
        char dir[] = "/tmp/aw_atlas_XXXXXX";
        ASSERT_TRUE(mkdtemp(dir));
        m_dir = dir;
        CTextureManager::GetInstance()->Clear();
    }

    void TearDown() override
    {
        CTextureManager::GetInstance()->Clear();
        SetMaxTextureSideLimit(0);
        for (const std::string& f : m_files)
            std::remove(f.c_str());
        std::remove(m_dir.c_str());
    }

    // A BMP whose upper half is one colour and lower half another (rows as stored: top first).
    std::string Image(const std::string& pName, int pW, int pH, Rgb pTop, Rgb pBottom)
    {
        SDL_Surface* s =
            SDL_CreateRGBSurface(SDL_SWSURFACE, pW, pH, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0);
        SDL_Rect top = {0, 0, static_cast<Uint16>(pW), static_cast<Uint16>((pH + 1) / 2)};
        SDL_Rect bottom = {0, static_cast<Sint16>((pH + 1) / 2), static_cast<Uint16>(pW),
                           static_cast<Uint16>(pH / 2)};
        SDL_FillRect(s, &top, SDL_MapRGB(s->format, pTop.r, pTop.g, pTop.b));
        SDL_FillRect(s, &bottom, SDL_MapRGB(s->format, pBottom.r, pBottom.g, pBottom.b));
        std::string path = m_dir + "/" + pName + ".bmp";
        SDL_SaveBMP(s, path.c_str());
        SDL_FreeSurface(s);
        m_files.push_back(path);
        return path;
    }

    // A TGA, clear all over but for opaque white texels at the given (column, row from the top).
    std::string ClearImageWithDots(const std::string& pName, int pW, int pH,
                                   const std::vector<std::pair<int, int>>& pDots)
    {
        std::vector<unsigned char> file(18, 0);
        file[2] = 2; // uncompressed true colour
        file[12] = static_cast<unsigned char>(pW & 0xFF);
        file[13] = static_cast<unsigned char>(pW >> 8);
        file[14] = static_cast<unsigned char>(pH & 0xFF);
        file[15] = static_cast<unsigned char>(pH >> 8);
        file[16] = 32;
        file[17] = 0x28; // top row first, 8 alpha bits
        std::vector<unsigned char> pixels(static_cast<size_t>(pW) * pH * 4, 0);
        for (const auto& d : pDots)
            for (int c = 0; c < 4; ++c)
                pixels[(static_cast<size_t>(d.second) * pW + d.first) * 4 + c] = 255;
        file.insert(file.end(), pixels.begin(), pixels.end());
        std::string path = m_dir + "/" + pName + ".tga";
        FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
        m_files.push_back(path);
        return path;
    }

    std::string Entry(const std::string& pId, const std::string& pPath)
    {
        return "<sprite id=\"" + pId + "\" filepath=\"" + pPath + "\"/>";
    }

    bool Load(const std::string& pEntries)
    {
        TiXmlDocument doc;
        doc.Parse(("<sprites>" + pEntries + "</sprites>").c_str());
        return CTextureManager::GetInstance()->Load(doc.RootElement());
    }

    // The atlas as uploaded, RGBA, row 0 first.
    std::vector<unsigned char> Page()
    {
        CTextureManager* tm = CTextureManager::GetInstance();
        std::vector<unsigned char> pixels(static_cast<size_t>(tm->GetPageSide()) * tm->GetPageSide() * 4);
        glBindTexture(GL_TEXTURE_2D, tm->GetTexture());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static void ExpectTexel(const std::vector<unsigned char>& pPage, int pSide, int pX, int pY, Rgb pRgb,
                            int pA)
    {
        const unsigned char* t = &pPage[(static_cast<size_t>(pY) * pSide + pX) * 4];
        EXPECT_EQ(pRgb.r, t[0]) << "at " << pX << "," << pY;
        EXPECT_EQ(pRgb.g, t[1]) << "at " << pX << "," << pY;
        EXPECT_EQ(pRgb.b, t[2]) << "at " << pX << "," << pY;
        EXPECT_EQ(pA, t[3]) << "at " << pX << "," << pY;
    }

    std::string m_dir;
    std::vector<std::string> m_files;
};
} // namespace

TEST_F(MediaAtlasTest, OneImageGivesItsPageSideAndCoordinates)
{
    CTextureManager* tm = CTextureManager::GetInstance();
    EXPECT_EQ(nullptr, tm->GetSprite("Box"));
    ASSERT_TRUE(Load(Entry("Box", Image("box", 100, 60, RED, BLUE))));
    EXPECT_EQ(128, tm->GetPageSide());
    EXPECT_NE(0u, tm->GetTexture());
    CSprite* s = tm->GetSprite("Box");
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(nullptr, tm->GetSprite("box"));
    EXPECT_EQ(nullptr, tm->GetSprite("Other"));
    EXPECT_FLOAT_EQ(1.0f / 128, s->m_leftU);
    EXPECT_FLOAT_EQ(101.5f / 128, s->m_rightU);
    EXPECT_FLOAT_EQ(1.0f / 128, s->m_topV);
    EXPECT_FLOAT_EQ(61.0f / 128, s->m_bottomV);
    EXPECT_FLOAT_EQ(100.0f, s->GetWidth());
    EXPECT_FLOAT_EQ(60.0f, s->GetHeight());
    EXPECT_EQ(tm->GetTexture(), s->m_texture);

    // Copied unblended, opaque, with a transparent margin around it.
    std::vector<unsigned char> page = Page();
    ExpectTexel(page, 128, 1, 1, RED, 255);
    ExpectTexel(page, 128, 100, 60, BLUE, 255);
    ExpectTexel(page, 128, 0, 0, Rgb{0, 0, 0}, 0);
    ExpectTexel(page, 128, 101, 1, Rgb{0, 0, 0}, 0);
    ExpectTexel(page, 128, 1, 61, Rgb{0, 0, 0}, 0);

    tm->Clear();
    EXPECT_EQ(nullptr, tm->GetSprite("Box"));
    EXPECT_EQ(0u, tm->GetTexture());
}

// How far an image's content reaches from its centre, to the far corner of its farthest texel
// that is not clear; an image without alpha is content to its corners.
TEST_F(MediaAtlasTest, ContentRadiusReachesTheFarthestTexelThatIsNotClear)
{
    ASSERT_TRUE(Load(Entry("Dot", ClearImageWithDots("dot", 40, 40, {{30, 20}})) +
                     Entry("Pair", ClearImageWithDots("pair", 40, 20, {{20, 10}, {2, 1}})) +
                     Entry("Blank", ClearImageWithDots("blank", 8, 8, {})) +
                     Entry("Solid", Image("solid", 30, 40, RED, BLUE))));
    CTextureManager* tm = CTextureManager::GetInstance();
    // Texel (30, 20) of a 40 by 40 image: its far corner is 11 across and 1 down from the centre.
    EXPECT_NEAR(std::sqrt(122.0f), tm->GetSprite("Dot")->GetContentRadius(), 1e-4f);
    // The farther of two: (2, 1) reaches 18 across and 9 up.
    EXPECT_NEAR(std::sqrt(18.0f * 18.0f + 9.0f * 9.0f), tm->GetSprite("Pair")->GetContentRadius(), 1e-4f);
    EXPECT_EQ(0.0f, tm->GetSprite("Blank")->GetContentRadius());
    EXPECT_NEAR(25.0f, tm->GetSprite("Solid")->GetContentRadius(), 1e-4f);
}

TEST_F(MediaAtlasTest, TinyImageAndEmptyBlock)
{
    CTextureManager* tm = CTextureManager::GetInstance();
    ASSERT_TRUE(Load(Entry("Dot", Image("dot", 1, 1, GREEN, GREEN))));
    EXPECT_EQ(2, tm->GetPageSide());
    ExpectTexel(Page(), 2, 1, 1, GREEN, 255);

    tm->Clear();
    EXPECT_TRUE(Load("<other/>"));
    EXPECT_EQ(0, tm->GetPageSide());
    EXPECT_EQ(nullptr, tm->GetSprite("Dot"));
}

TEST_F(MediaAtlasTest, LaterOfTwoEqualSidesIsPlacedFirst)
{
    CTextureManager* tm = CTextureManager::GetInstance();
    ASSERT_TRUE(Load(Entry("Wide", Image("wide", 40, 20, RED, RED)) +
                     Entry("Tall", Image("tall", 20, 40, GREEN, GREEN))));
    CSprite* tall = tm->GetSprite("Tall");
    CSprite* wide = tm->GetSprite("Wide");
    ASSERT_TRUE(tall && wide);
    EXPECT_EQ(64, tm->GetPageSide());
    EXPECT_FLOAT_EQ(1.0f / 64, tall->m_leftU);
    EXPECT_FLOAT_EQ(1.0f / 64, tall->m_topV);
    EXPECT_FLOAT_EQ(22.0f / 64, wide->m_leftU);
    EXPECT_FLOAT_EQ(1.0f / 64, wide->m_topV);
    std::vector<unsigned char> page = Page();
    ExpectTexel(page, 64, 20, 40, GREEN, 255);
    ExpectTexel(page, 64, 21, 1, Rgb{0, 0, 0}, 0); // padding column
    ExpectTexel(page, 64, 22, 1, RED, 255);
}

TEST_F(MediaAtlasTest, RepeatedIdNamesTheLaterImageButBothArePacked)
{
    CTextureManager* tm = CTextureManager::GetInstance();
    ASSERT_TRUE(Load(Entry("Dup", Image("first", 30, 30, RED, RED)) +
                     Entry("Dup", Image("second", 10, 5, BLUE, BLUE))));
    CSprite* s = tm->GetSprite("Dup");
    ASSERT_NE(nullptr, s);
    EXPECT_FLOAT_EQ(10.0f, s->GetWidth());
    EXPECT_FLOAT_EQ(5.0f, s->GetHeight());
    std::vector<unsigned char> page = Page();
    ExpectTexel(page, tm->GetPageSide(), 1, 1, RED, 255);
    int x = static_cast<int>(s->m_leftU * tm->GetPageSide());
    int y = static_cast<int>(s->m_topV * tm->GetPageSide());
    ExpectTexel(page, tm->GetPageSide(), x, y, BLUE, 255);
}

TEST_F(MediaAtlasTest, BadEntriesFailTheBlockAndNameTheCulprit)
{
    CTextureManager* tm = CTextureManager::GetInstance();
    std::string good = Entry("Good", Image("good", 8, 8, RED, RED));

    EXPECT_FALSE(Load(good + "<sprite filepath=\"" + m_dir + "/good.bmp\"/>"));
    EXPECT_NE(std::string::npos, tm->GetLastError().find("sprite entry 2")) << tm->GetLastError();
    EXPECT_NE(std::string::npos, tm->GetLastError().find("has no id")) << tm->GetLastError();
    EXPECT_EQ(nullptr, tm->GetSprite("Good"));
    EXPECT_EQ(0u, tm->GetTexture());

    EXPECT_FALSE(Load(good + "<sprite id=\"Pathless\"/>"));
    EXPECT_NE(std::string::npos, tm->GetLastError().find("'Pathless' has no filepath")) << tm->GetLastError();

    std::string missing = m_dir + "/missing.png";
    EXPECT_FALSE(Load(good + Entry("Ghost", missing)));
    EXPECT_NE(std::string::npos, tm->GetLastError().find("sprite 'Ghost'")) << tm->GetLastError();
    EXPECT_NE(std::string::npos, tm->GetLastError().find(missing)) << tm->GetLastError();
    EXPECT_EQ(nullptr, tm->GetSprite("Good"));
    EXPECT_EQ(0, tm->GetPageSide());

    // The catalogue writes its paths with backslashes.
    std::string windowsPath = m_dir + "\\good.bmp";
    ASSERT_TRUE(Load(Entry("Good", windowsPath))) << tm->GetLastError();
    EXPECT_TRUE(tm->GetLastError().empty());
    EXPECT_NE(nullptr, tm->GetSprite("Good"));
}

TEST_F(MediaAtlasTest, ImageThatDoesNotFitFailsInsteadOfOverwritingTheOrigin)
{
    CTextureManager* tm = CTextureManager::GetInstance();
    SetMaxTextureSideLimit(64);

    // Exactly the page width less the margins still fits.
    ASSERT_TRUE(Load(Entry("Full", Image("full", 62, 10, GREEN, GREEN))));
    EXPECT_EQ(64, tm->GetPageSide());
    tm->Clear();

    std::string wide = Image("wide", 63, 10, RED, RED);
    EXPECT_FALSE(Load(Entry("Small", Image("small", 4, 4, BLUE, BLUE)) + Entry("Wide", wide)));
    EXPECT_EQ("sprite 'Wide' (" + wide + ") does not fit in the atlas", tm->GetLastError());
    EXPECT_EQ(nullptr, tm->GetSprite("Small"));
    EXPECT_EQ(0u, tm->GetTexture());

    // Room runs out: the later square takes the page, the earlier one is left over.
    std::string first = Image("first", 40, 40, RED, RED);
    EXPECT_FALSE(Load(Entry("First", first) + Entry("Second", Image("second", 40, 40, BLUE, BLUE))));
    EXPECT_EQ("sprite 'First' (" + first + ") does not fit in the atlas", tm->GetLastError());
}

TEST_F(MediaAtlasTest, AnEmptyIdIsAnOrdinarySpriteAndLeavesTheDiscAlone)
{
    // The generated disc was once told apart by its empty id.
    CTextureManager* tm = CTextureManager::GetInstance();
    ASSERT_TRUE(
        Load(Entry("", Image("blank", 6, 4, RED, RED)) + Entry("Wide", Image("wide", 200, 8, BLUE, BLUE))));
    const CSprite* disc = tm->GetDisc();
    ASSERT_NE(nullptr, disc);
    EXPECT_FLOAT_EQ(static_cast<float>(CTextureManager::DISC_SIDE), disc->GetWidth());
    const CSprite* blank = tm->GetSprite("");
    ASSERT_NE(nullptr, blank);
    EXPECT_FLOAT_EQ(6.0f, blank->GetWidth());
}

TEST_F(MediaAtlasTest, ArtPastThePageOrSpriteBudgetIsRefusedByNameBeforeDecoding)
{
    // Whatever OpenGL takes, the page stops at 4096 texels a side.
    CTextureManager* tm = CTextureManager::GetInstance();
    std::string wide = Image("wide", 4095, 2, GREEN, BLUE);
    EXPECT_FALSE(Load(Entry("Wide", wide)));
    EXPECT_EQ("sprite 'Wide' (" + wide + ") does not fit in the atlas", tm->GetLastError());
    // Two sprites of 16.8 MB each, decoded.
    std::string second = Image("second", 4000, 1100, RED, RED);
    EXPECT_FALSE(Load(Entry("First", Image("first", 4000, 1100, RED, RED)) + Entry("Second", second)));
    EXPECT_EQ("sprite 'Second' (" + second + ") takes the decoded sprites past their 32 MB",
              tm->GetLastError());
    EXPECT_EQ(nullptr, tm->GetSprite("First"));
    EXPECT_EQ(0u, tm->GetTexture());
}
