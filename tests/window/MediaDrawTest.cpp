#include "media/Graphic.h"
#include "media/Sprite.h"
#include "media/TextureManager.h"
#include "support/TestWindow.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Sprites and effects drawn into the real window and read back.
namespace
{
class MediaDrawTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
        char dir[] = "/tmp/aw_draw_XXXXXX";
        ASSERT_TRUE(mkdtemp(dir));
        m_dir = dir;
        m_path = m_dir + "/flag.bmp";
        // 20 x 20: top half red, bottom half blue.
        SDL_Surface* s =
            SDL_CreateRGBSurface(SDL_SWSURFACE, 20, 20, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0);
        SDL_Rect top = {0, 0, 20, 10};
        SDL_Rect bottom = {0, 10, 20, 10};
        SDL_FillRect(s, &top, SDL_MapRGB(s->format, 255, 0, 0));
        SDL_FillRect(s, &bottom, SDL_MapRGB(s->format, 0, 0, 255));
        SDL_SaveBMP(s, m_path.c_str());
        SDL_FreeSurface(s);

        CTextureManager* tm = CTextureManager::GetInstance();
        tm->Clear();
        TiXmlDocument doc;
        doc.Parse(("<sprites><sprite id=\"Flag\" filepath=\"" + m_path + "\"/></sprites>").c_str());
        ASSERT_TRUE(tm->Load(doc.RootElement()));
        m_sprite = tm->GetSprite("Flag");
        ASSERT_NE(nullptr, m_sprite);
        ClearTestWindow(0.0f, 0.0f, 0.0f);
        glColor4f(1, 1, 1, 1);
    }

    void TearDown() override
    {
        CTextureManager::GetInstance()->Clear();
        std::remove(m_path.c_str());
        std::remove(m_dir.c_str());
    }

    std::string m_dir, m_path;
    CSprite* m_sprite = nullptr;
};

bool IsRed(const TestPixel& p)
{
    return p.r == 255 && p.g == 0 && p.b == 0;
}
bool IsBlue(const TestPixel& p)
{
    return p.r == 0 && p.g == 0 && p.b == 255;
}
} // namespace

TEST_F(MediaDrawTest, SpritesStandUprightUnlessTopIsBelowBottom)
{
    glTranslatef(100.0f, 100.0f, 0.0f);
    m_sprite->DrawCentered();
    EXPECT_TRUE(IsRed(ReadTestPixel(100, 105)));
    EXPECT_TRUE(IsBlue(ReadTestPixel(100, 95)));
    EXPECT_EQ(0, ReadTestPixel(100, 112).r); // outside its 20 pixels

    glLoadIdentity();
    m_sprite->DrawRect(200.0f, 220.0f, 120.0f, 100.0f); // mirrored
    EXPECT_TRUE(IsBlue(ReadTestPixel(210, 115)));
    EXPECT_TRUE(IsRed(ReadTestPixel(210, 105)));

    // Lower-left corner on the origin.
    glTranslatef(300.0f, 300.0f, 0.0f);
    m_sprite->DrawAnchored(0.0f, 1.0f, 0.0f, 1.0f);
    EXPECT_TRUE(IsBlue(ReadTestPixel(301, 301)));
    EXPECT_TRUE(IsRed(ReadTestPixel(318, 318)));
    EXPECT_EQ(0, ReadTestPixel(298, 301).b);
    EXPECT_EQ(0, ReadTestPixel(301, 298).b);
}

TEST_F(MediaDrawTest, StillGraphicFadesWithNormalBlending)
{
    ClearTestWindow(0.0f, 0.0f, 0.0f);
    CGraphic g(m_sprite, CVector2(100.0f, 100.0f), 0.0f, CColor(1, 1, 1, 1), 1000, CVector2(0.0f, 0.0f));
    g.Update(500);
    g.Draw();
    TestPixel p = ReadTestPixel(100, 105);
    EXPECT_NEAR(128, p.r, 2);
    EXPECT_EQ(0, ReadTestPixel(100, 112).r); // full size ends at 110
    EXPECT_EQ(0, p.g);
    EXPECT_NEAR(128, ReadTestPixel(100, 95).b, 2);
}

TEST_F(MediaDrawTest, MovingGraphicShrinksAddsLightAndRestoresBlending)
{
    ClearTestWindow(0.0f, 0.5f, 0.0f);
    CGraphic g(m_sprite, CVector2(100.0f, 100.0f), 0.0f, CColor(1, 1, 1, 1), 1000, CVector2(0.1f, 0.0f));
    g.Update(500); // now at (150, 100), half size, half alpha
    g.Draw();
    TestPixel inside = ReadTestPixel(150, 102);
    EXPECT_NEAR(128, inside.r, 2);
    EXPECT_NEAR(128, inside.g, 2);           // the background's green stays: additive
    EXPECT_EQ(0, ReadTestPixel(150, 107).r); // half size ends at 105
    EXPECT_EQ(0, ReadTestPixel(100, 102).r); // it has moved away

    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(GL_SRC_ALPHA, src);
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, dst);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(1, depth);
}
