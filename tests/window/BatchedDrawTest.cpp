#include "media/EffectBatch.h"
#include "media/Graphic.h"
#include "media/Sprite.h"
#include "media/TextureManager.h"
#include "support/TestWindow.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// The drawing paths that work out corners themselves must put the same pixels on screen as
// the matrix stack does: each case is drawn both ways into the back buffer and compared.
namespace
{
const int AREA_X = 100, AREA_Y = 100, AREA_W = 200, AREA_H = 200;

class BatchedDrawTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
        char dir[] = "/tmp/aw_batch_XXXXXX";
        ASSERT_TRUE(mkdtemp(dir));
        m_dir = dir;
        m_path = m_dir + "/quarters.bmp";
        // 24 x 16 in four colours, so a turn, a mirror or a swapped corner all show.
        SaveQuarters(m_path, 0);
        LoadAtlas("<sprite id=\"Quarters\" filepath=\"" + m_path + "\"/>");
        m_sprite = CTextureManager::GetInstance()->GetSprite("Quarters");
        ASSERT_NE(nullptr, m_sprite);
    }

    void TearDown() override
    {
        CTextureManager::GetInstance()->Clear();
        std::remove(m_path.c_str());
        std::remove(m_dir.c_str());
    }

    // Red, green, blue and yellow with the given blue (255 makes the last quarter white).
    static void SaveQuarters(const std::string& pPath, Uint8 pLastBlue)
    {
        SDL_Surface* s =
            SDL_CreateRGBSurface(SDL_SWSURFACE, 24, 16, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0);
        const Uint32 colours[4] = {SDL_MapRGB(s->format, 255, 0, 0), SDL_MapRGB(s->format, 0, 255, 0),
                                   SDL_MapRGB(s->format, 0, 0, 255),
                                   SDL_MapRGB(s->format, 255, 255, pLastBlue)};
        for (int i = 0; i < 4; ++i)
        {
            SDL_Rect r = {static_cast<Sint16>(i % 2 * 12), static_cast<Sint16>(i / 2 * 8), 12, 8};
            SDL_FillRect(s, &r, colours[i]);
        }
        SDL_SaveBMP(s, pPath.c_str());
        SDL_FreeSurface(s);
    }

    static void LoadAtlas(const std::string& pSprites)
    {
        CTextureManager* tm = CTextureManager::GetInstance();
        tm->Clear();
        TiXmlDocument doc;
        doc.Parse(("<sprites>" + pSprites + "</sprites>").c_str());
        ASSERT_TRUE(tm->Load(doc.RootElement()));
    }

    // The test area after drawing onto a dark green background.
    static std::vector<unsigned char> Render(const std::function<void()>& pDraw)
    {
        ClearTestWindow(0.0f, 0.3f, 0.1f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        pDraw();
        glFinish();
        std::vector<unsigned char> pixels(AREA_W * AREA_H * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(AREA_X, AREA_Y, AREA_W, AREA_H, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static int CountDifferent(const std::vector<unsigned char>& pA, const std::vector<unsigned char>& pB)
    {
        int count = 0;
        for (size_t i = 0; i < pA.size(); i += 4)
            if (pA[i] != pB[i] || pA[i + 1] != pB[i + 1] || pA[i + 2] != pB[i + 2])
                ++count;
        return count;
    }

    static int CountNotBackground(const std::vector<unsigned char>& pA)
    {
        std::vector<unsigned char> empty = Render([] {});
        return CountDifferent(pA, empty);
    }

    std::string m_dir, m_path;
    CSprite* m_sprite = nullptr;
};

GLint BlendDestination()
{
    GLint dst = 0;
    glGetIntegerv(GL_BLEND_DST, &dst);
    return dst;
}
} // namespace

TEST_F(BatchedDrawTest, SpriteAtAPointLandsWhereTheMatrixStackPutsIt)
{
    struct Case
    {
        float x, y, angle, scale;
    };
    // Whole and fractional positions, no turn, a quarter turn, odd angles, shrunk and grown.
    const Case cases[] = {{150.0f, 160.0f, 0.0f, 1.0f},    {170.5f, 140.25f, 0.0f, 1.0f},
                          {200.0f, 200.0f, 90.0f, 1.0f},   {180.3f, 220.7f, 33.0f, 1.0f},
                          {210.0f, 190.0f, -123.5f, 0.5f}, {200.2f, 199.6f, 251.0f, 3.0f}};
    for (const Case& c : cases)
    {
        std::vector<unsigned char> stacked = Render(
            [&]
            {
                glPushMatrix();
                glTranslatef(c.x, c.y, 0.0f);
                glRotatef(c.angle, 0.0f, 0.0f, 1.0f);
                glScalef(c.scale, c.scale, 1.0f);
                m_sprite->DrawCentered();
                glPopMatrix();
            });
        std::vector<unsigned char> direct = Render([&] { m_sprite->DrawAt(c.x, c.y, c.angle, c.scale); });
        const int drawn = CountNotBackground(stacked);
        EXPECT_GT(drawn, static_cast<int>(24 * 16 * c.scale * c.scale * 0.9f)) << c.angle;
        // Rounding in the last bit may move a pixel on an edge, never more.
        EXPECT_LE(CountDifferent(stacked, direct), 2) << c.x << "," << c.y << " at " << c.angle;
    }
}

// The gear drawn over an octagon round its content only, against its whole quad: turned any
// way, the pixels left out are ones the quad left unchanged. An image whose content reaches
// its sides is drawn whole.
TEST_F(BatchedDrawTest, RoundDrawingLeavesOutOnlyClearCorners)
{
    LoadAtlas("<sprite id=\"Gear\" filepath=\"Data\\sprites\\gear.png\"/>" +
              std::string("<sprite id=\"Quarters\" filepath=\"") + m_path + "\"/>");
    CSprite* gear = CTextureManager::GetInstance()->GetSprite("Gear");
    ASSERT_NE(nullptr, gear);
    ASSERT_LT(gear->GetContentRadius(), gear->GetWidth() * 0.5f);
    CSprite* quarters = CTextureManager::GetInstance()->GetSprite("Quarters");
    for (float angle : {0.0f, 17.0f, 45.0f, -100.5f})
    {
        auto draw = [&](bool pRound, CSprite* pSprite, float pScale)
        {
            glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
            glPushMatrix();
            glTranslatef(200.0f, 200.0f, 0.0f);
            glRotatef(angle, 0.0f, 0.0f, 1.0f);
            if (pRound)
                pSprite->DrawCenteredRound(pScale);
            else
                pSprite->DrawAnchored(pScale / 2, pScale / 2, pScale / 2, pScale / 2);
            glPopMatrix();
        };
        std::vector<unsigned char> whole = Render([&] { draw(false, gear, 1.3f); });
        std::vector<unsigned char> round = Render([&] { draw(true, gear, 1.3f); });
        EXPECT_GT(CountNotBackground(whole), 5000) << angle;
        // Texels are read through other triangles, so at a texel boundary a pixel may read the
        // neighbour: a handful among some ten thousand.
        EXPECT_LE(CountDifferent(whole, round), 10) << angle;

        whole = Render([&] { draw(false, quarters, 2.0f); });
        round = Render([&] { draw(true, quarters, 2.0f); });
        EXPECT_EQ(0, CountDifferent(whole, round)) << angle;
    }
}

TEST_F(BatchedDrawTest, BatchedEffectsDrawAsSingleOnesAndLeaveTheirBlendingSet)
{
    // A still one fading, a moving one shrinking and adding its light, turned both.
    CGraphic still(m_sprite, CVector2(160.0f, 170.0f), 20.0f, CColor(1.0f, 0.8f, 0.6f, 1.0f), 1000,
                   CVector2(0.0f, 0.0f));
    CGraphic moving(m_sprite, CVector2(200.0f, 200.0f), -70.0f, CColor(0.9f, 0.5f, 1.0f, 0.8f), 1000,
                    CVector2(0.02f, -0.01f));
    still.Update(300);
    moving.Update(300);

    std::vector<unsigned char> single = Render(
        [&]
        {
            moving.Draw();
            still.Draw();
            moving.Draw();
        });
    GLint afterSingle = BlendDestination();
    std::vector<unsigned char> batched = Render(
        [&]
        {
            moving.DrawBatched();
            EXPECT_EQ(GL_ONE, BlendDestination());
            still.DrawBatched();
            EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, BlendDestination());
            moving.DrawBatched();
            EXPECT_EQ(GL_ONE, BlendDestination());
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        });
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, afterSingle);
    EXPECT_GT(CountNotBackground(single), 300);
    EXPECT_LE(CountDifferent(single, batched), 2);
}

// Still and moving effects crowded together: drawn in fewer blending runs, the pixels are the
// ones drawing the list in order gives.
TEST_F(BatchedDrawTest, EffectsInFewerRunsLookAsInListOrder)
{
    std::vector<CGraphic*> effects;
    unsigned seed = 5;
    auto next = [&seed](int pBelow)
    {
        seed = seed * 1103515245u + 12345u;
        return static_cast<float>((seed >> 8) % static_cast<unsigned>(pBelow));
    };
    for (int i = 0; i < 60; ++i)
    {
        const bool moving = i % 3 != 0;
        effects.push_back(new CGraphic(m_sprite, CVector2(120.0f + next(160), 120.0f + next(160)), next(360),
                                       CColor(0.2f + next(80) / 100.0f, 0.5f, 0.9f, 0.6f), 1000,
                                       moving ? CVector2(0.02f, 0.01f) : CVector2(0.0f, 0.0f)));
        if (moving)
            effects.back()->Update(next(900));
    }
    std::vector<unsigned char> listed = Render(
        [&]
        {
            for (CGraphic* g : effects)
                g->DrawBatched();
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        });
    std::vector<unsigned char> grouped = Render([&] { DrawEffects(effects); });
    EXPECT_GT(CountNotBackground(listed), 3000);
    EXPECT_EQ(0, CountDifferent(listed, grouped));
    EXPECT_EQ(GL_ONE_MINUS_SRC_ALPHA, BlendDestination());
    for (CGraphic* g : effects)
        delete g;
}

// The atlas's disc drawn as one quad against the 32-sided fan it stands for: the same pixels
// but for a few on the rim. A page without room for it has none.
TEST_F(BatchedDrawTest, DiscQuadMatchesTheFanItStandsFor)
{
    EXPECT_EQ(nullptr, CTextureManager::GetInstance()->GetDisc());
    // The gear alone fills its page to the edge; with the title the page has room.
    LoadAtlas("<sprite id=\"Gear\" filepath=\"Data\\sprites\\gear.png\"/>");
    EXPECT_EQ(nullptr, CTextureManager::GetInstance()->GetDisc());
    LoadAtlas("<sprite id=\"Gear\" filepath=\"Data\\sprites\\gear.png\"/>"
              "<sprite id=\"Title\" filepath=\"Data\\sprites\\aw_title.png\"/>");
    const CSprite* disc = CTextureManager::GetInstance()->GetDisc();
    ASSERT_NE(nullptr, disc);
    const float cx = 200.0f, cy = 200.0f;
    for (float radius : {9.0f, 31.5f, 64.0f, 95.0f})
    {
        auto colour = [] { glColor4f(1.0f, 0.1f, 0.1f, 0.3f); };
        std::vector<unsigned char> quad = Render(
            [&]
            {
                colour();
                disc->DrawAt(cx, cy, 0.0f, radius / (0.5f * disc->GetWidth()));
            });
        std::vector<unsigned char> fan = Render(
            [&]
            {
                glBindTexture(GL_TEXTURE_2D, 0);
                colour();
                glBegin(GL_TRIANGLE_FAN);
                glVertex2f(cx, cy);
                for (int i = 0; i <= 32; ++i)
                {
                    const float a = i * 6.2831853f / 32;
                    glVertex2f(cx + std::cos(a) * radius, cy + std::sin(a) * radius);
                }
                glEnd();
            });
        EXPECT_GT(CountNotBackground(fan), static_cast<int>(3.0f * radius * radius)) << radius;
        int rim = 0;
        for (int y = 0; y < AREA_H; ++y)
        {
            for (int x = 0; x < AREA_W; ++x)
            {
                const size_t i = (static_cast<size_t>(y) * AREA_W + x) * 4;
                if (quad[i] == fan[i] && quad[i + 1] == fan[i + 1] && quad[i + 2] == fan[i + 2])
                    continue;
                const float d = std::hypot(AREA_X + x + 0.5f - cx, AREA_Y + y + 0.5f - cy);
                // Between the polygon's flat sides and its corners, and a pixel either way.
                EXPECT_NEAR(radius * 0.9976f, d, radius * 0.0024f + 1.5f)
                    << radius << " at " << x << "," << y;
                ++rim;
            }
        }
        EXPECT_LT(rim, static_cast<int>(2.0f * 3.1416f * radius) / 2 + 4) << radius;
    }
}

// The absorbers' halos take the fast path in the game itself only if its art leaves room.
TEST_F(BatchedDrawTest, TheGamesArtLeavesRoomForTheDisc)
{
    ASSERT_TRUE(LoadGameMedia());
    EXPECT_NE(nullptr, CTextureManager::GetInstance()->GetDisc());
}

TEST_F(BatchedDrawTest, PlainGeometryThroughAWhiteTexelLooksUntextured)
{
    // A translucent fan of two colours, as beams and halos draw.
    auto fan = []
    {
        glBegin(GL_TRIANGLES);
        glColor4f(1.0f, 0.2f, 0.2f, 0.6f);
        glVertex2f(120.0f, 120.0f);
        glVertex2f(280.0f, 150.0f);
        glColor4f(0.3f, 0.9f, 0.1f, 0.1f);
        glVertex2f(190.0f, 270.0f);
        glEnd();
    };
    std::vector<unsigned char> untextured = Render(
        [&]
        {
            glBindTexture(GL_TEXTURE_2D, 0);
            fan();
        });

    // The four colours have no white: the caller has to fall back to no texture.
    float u = -1.0f, v = -1.0f;
    EXPECT_FALSE(m_sprite->BindPlainTexel(u, v));

    // With a white quarter in the atlas any sprite of it finds a texel there.
    const std::string whitePath = m_dir + "/white.bmp";
    SaveQuarters(whitePath, 255);
    SaveQuarters(m_path, 0);
    LoadAtlas("<sprite id=\"Quarters\" filepath=\"" + m_path + "\"/><sprite id=\"White\" filepath=\"" +
              whitePath + "\"/>");
    std::remove(whitePath.c_str());
    CSprite* quarters = CTextureManager::GetInstance()->GetSprite("Quarters");
    ASSERT_NE(nullptr, quarters);
    ASSERT_TRUE(quarters->BindPlainTexel(u, v));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(quarters->m_texture, static_cast<unsigned>(bound));

    std::vector<unsigned char> throughTexel = Render(
        [&]
        {
            float tu = 0.0f, tv = 0.0f;
            quarters->BindPlainTexel(tu, tv);
            glTexCoord2f(tu, tv);
            fan();
        });
    EXPECT_GT(CountNotBackground(untextured), 5000);
    EXPECT_EQ(0, CountDifferent(untextured, throughTexel));
}
