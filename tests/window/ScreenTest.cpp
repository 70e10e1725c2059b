#include <functional>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "engine/ResourceCatalogue.h"
#include "media/FontManager.h"
#include "media/TextureManager.h"
#include "nodes/Entity.h"
#include "nodes/MainNode.h"
#include "support/TestWindow.h"
#include "world/GameWorld.h"

// The menu, the board and the heads-up display drawn by the world into a real window with
// the game's own media, checked by the colours of screen regions.
namespace
{
const int W = 1024;
const int H = 768;

struct Pixels
{
    int x0, y0, w, h;
    std::vector<unsigned char> rgba;

    TestPixel At(int pX, int pY) const
    {
        const unsigned char* p = &rgba[4 * ((pY - y0) * w + (pX - x0))];
        return TestPixel{p[0], p[1], p[2], p[3]};
    }
    int Count(const std::function<bool(const TestPixel&)>& pTest) const
    {
        int n = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                n += pTest(At(x, y)) ? 1 : 0;
        return n;
    }
};

// A rectangle of the back buffer in drawing coordinates (origin bottom-left).
Pixels Read(int pX0, int pY0, int pX1, int pY1)
{
    Pixels px{pX0, pY0, pX1 - pX0, pY1 - pY0, {}};
    px.rgba.resize(4 * px.w * px.h);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(pX0, pY0, px.w, px.h, GL_RGBA, GL_UNSIGNED_BYTE, px.rgba.data());
    return px;
}

bool IsRed(const TestPixel& p)
{
    return p.r > 150 && p.g < 80 && p.b < 80;
}
bool IsWhite(const TestPixel& p)
{
    return p.r > 200 && p.g > 200 && p.b > 200;
}
bool IsGrey(const TestPixel& p)
{
    return p.r > 90 && p.r < 170 && std::abs(p.r - p.g) < 25 && std::abs(p.r - p.b) < 25;
}
bool Near(const TestPixel& p, int pR, int pG, int pB, int pTolerance = 6)
{
    return std::abs(p.r - pR) <= pTolerance && std::abs(p.g - pG) <= pTolerance &&
           std::abs(p.b - pB) <= pTolerance;
}
// Anything visibly drawn over the game's dark green background.
bool Drawn(const TestPixel& p)
{
    return std::abs(p.r - 0) + std::abs(p.g - 51) + std::abs(p.b - 25) > 40;
}

// Window pixel of a board point with the default view.
int WinX(float pBoardX)
{
    return static_cast<int>(pBoardX - 472.5f + W / 2);
}
int WinY(float pBoardY)
{
    return static_cast<int>(pBoardY - 315.0f + H / 2);
}

class ScreenTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        s_window = OpenTestWindow();
        if (!s_window)
            return;
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        s_media = LoadGameMedia();
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_window) << "needs an X display";
        if (!s_media)
            GTEST_SKIP() << "the game's media could not be loaded";
        CGameWorld& world = World();
        world.ClearMatch();
        world.m_demo = false;
        world.NewMatch();
        world.m_state = STATE_MATCH;
        world.m_hoveredTool = TOOL_NONE;
        // Park the mouse in a quiet corner of the board.
        world.m_mouseBoard = CVector2(472.5f, 250.0f);
        world.m_menuHover = -1;
        world.m_difficultyHover = -1;
        world.m_difficultyListOpen = false;
    }

    void TearDown() override
    {
        if (s_media)
        {
            World().ClearMatch();
            World().m_demo = false;
        }
    }

    static CGameWorld& World() { return TheWorld(); }

    static bool s_window;
    static bool s_media;
};

bool ScreenTest::s_window = false;
bool ScreenTest::s_media = false;

TEST_F(ScreenTest, EveryFrameStartsFromTheSameRenderState)
{
    CGameWorld& world = World();
    world.m_state = STATE_MENU;
    // Leave behind what a careless frame might.
    glClearColor(1, 0, 0, 1);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_LESS, 0.5f);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(300, 200, 0);

    world.Draw();

    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.0f);
    EXPECT_NEAR(clear[1], 0.2f, 1e-6);
    EXPECT_NEAR(clear[2], 0.1f, 1e-6);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint func = 0, src = 0, dst = 0;
    GLfloat ref = 0;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(func, GL_GREATER);
    EXPECT_NEAR(ref, 0.1f, 1e-3);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    // The screens leave the matrix as they found it: the identity set at the frame's start.
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], 0.0f);
    EXPECT_FLOAT_EQ(m[13], 0.0f);
    // The old translation did not shift the menu: the title sits at the top centre.
    EXPECT_GT(Read(W / 2 - 150, H - 130, W / 2 + 150, H - 70).Count(Drawn), 500);
    EXPECT_TRUE(Near(ReadTestPixel(900, 400), 0, 51, 26, 12));
}

TEST_F(ScreenTest, MenuShowsTitleRowsAndTheHoveredRowInRed)
{
    CGameWorld& world = World();
    world.m_state = STATE_MENU;
    world.m_resumable = false;
    world.m_menuHover = 0;
    world.Draw();

    // The title's light letters at the top centre, the version line at the bottom right.
    EXPECT_GT(
        Read(W / 2 - 200, H - 130, W / 2 + 200, H - 70).Count([](const TestPixel& p) { return p.g > 150; }),
        300);
    EXPECT_GT(Read(W - 210, 15, W - 60, 35).Count(IsWhite), 20);
    // "New Game" hovered: red, no white. "Resume Game" disabled: grey. "Exit": white.
    Pixels newGame = Read(150, 495, 300, 520);
    EXPECT_GT(newGame.Count(IsRed), 40);
    EXPECT_EQ(newGame.Count(IsWhite), 0);
    Pixels resume = Read(150, 455, 300, 480);
    EXPECT_GT(resume.Count(IsGrey), 40);
    EXPECT_EQ(resume.Count(IsWhite), 0);
    Pixels exitRow = Read(150, 375, 300, 400);
    EXPECT_GT(exitRow.Count(IsWhite), 20);
    EXPECT_EQ(exitRow.Count(IsRed), 0);
    // The difficulty list is closed.
    EXPECT_EQ(Read(545, 280, 700, 520).Count(IsWhite), 0);

    // Resumable: "Resume Game" turns white; hovering "Exit" turns it red.
    world.m_resumable = true;
    world.m_menuHover = 3;
    world.Draw();
    EXPECT_GT(Read(150, 455, 300, 480).Count(IsWhite), 20);
    EXPECT_GT(Read(150, 375, 300, 400).Count(IsRed), 20);
    EXPECT_EQ(Read(150, 495, 300, 520).Count(IsRed), 0);
}

TEST_F(ScreenTest, DifficultyListHangsOffNewGameWithItsConnectors)
{
    CGameWorld& world = World();
    world.m_state = STATE_MENU;
    world.m_difficultyListOpen = true;
    world.m_difficultyHover = 4;
    world.Draw();

    // "Demo" white at the top, row 4 red, nothing on the empty row 1; row r stands at 500 - r * pitch.
    const int pitch = CGameWorld::DIFFICULTY_ROW_PITCH;
    EXPECT_GT(Read(550, 495, 650, 520).Count(IsWhite), 20);
    EXPECT_GT(Read(550, 495 - 4 * pitch, 650, 520 - 4 * pitch).Count(IsRed), 20);
    EXPECT_EQ(Read(550, 495 - pitch, 700, 520 - pitch).Count(IsWhite), 0);
    // The grey connectors: the bar from "New Game", the vertical spine and a row tick.
    TestPixel grey(ReadTestPixel(450, 508));
    EXPECT_TRUE(Near(grey, 178, 178, 178, 8)) << grey.r << "," << grey.g << "," << grey.b;
    EXPECT_TRUE(Near(ReadTestPixel(499, 400), 178, 178, 178, 8));
    EXPECT_TRUE(Near(ReadTestPixel(520, 508 - 4 * pitch), 178, 178, 178, 8));
    // No tick on the empty row.
    EXPECT_FALSE(Near(ReadTestPixel(520, 508 - pitch), 178, 178, 178, 8));
}

TEST_F(ScreenTest, MatchShowsBothMainNodesTheTenSitesAndTheHud)
{
    CGameWorld& world = World();
    world.Draw();

    // The green main node left of centre, the blue one right of it.
    EXPECT_GT(Read(WinX(157.5f) - 20, WinY(315) - 20, WinX(157.5f) + 20, WinY(315) + 20)
                  .Count([](const TestPixel& p) { return p.g > 120 && p.g > p.b + 20; }),
              100);
    EXPECT_GT(Read(WinX(787.5f) - 20, WinY(315) - 20, WinX(787.5f) + 20, WinY(315) + 20)
                  .Count([](const TestPixel& p) { return p.b > 120 && p.b > p.g + 20; }),
              100);
    // Ten resource sites at their fixed places.
    const float sites[10][2] = {{127.5f, 465}, {127.5f, 165}, {307.5f, 565}, {307.5f, 65},  {817.5f, 465},
                                {817.5f, 165}, {637.5f, 565}, {637.5f, 65},  {472.5f, 515}, {472.5f, 115}};
    for (const auto& s : sites)
        EXPECT_GT(Read(WinX(s[0]) - 15, WinY(s[1]) - 15, WinX(s[0]) + 15, WinY(s[1]) + 15).Count(Drawn), 200)
            << s[0] << "," << s[1];
    // An empty stretch of board between them.
    EXPECT_EQ(Read(WinX(400), WinY(300), WinX(440), WinY(340)).Count(Drawn), 0);

    // Energy bar: a third full (10 of 30 million) in green, then the dark background.
    TestPixel fill = ReadTestPixel(100, 30);
    EXPECT_GT(fill.g, 110);
    EXPECT_GT(fill.g, fill.b + 40);
    EXPECT_TRUE(Near(ReadTestPixel(340, 22), 0, 128, 51, 10));
    EXPECT_TRUE(Near(ReadTestPixel(360, 30), 0, 51, 26, 4));
    EXPECT_TRUE(Near(ReadTestPixel(19, 19), 204, 204, 204, 4));
    // The dark margin round the board, and its border.
    EXPECT_TRUE(Near(ReadTestPixel(500, 60), 0, 43, 22, 3));
    EXPECT_TRUE(Near(ReadTestPixel(WinX(-1), 400), 26, 77, 51, 6));
    // Health bars: light green ticks on the left, light blue ones on the right.
    EXPECT_TRUE(Near(ReadTestPixel(20, 74), 178, 255, 178, 40));
    EXPECT_TRUE(Near(ReadTestPixel(W - 20, 74), 178, 178, 255, 40));
    EXPECT_TRUE(Near(ReadTestPixel(20, 690), 178, 255, 178, 40));
    // The five build icons along the top.
    for (int i = 0; i < 5; ++i)
        EXPECT_GT(Read(100 + 67 * i - 20, H - 55, 100 + 67 * i + 20, H - 15).Count(Drawn), 400) << i;
}

TEST_F(ScreenTest, EnergyBarPreviewsTheSelectedKindsCost)
{
    CGameWorld& world = World();
    // 10 million in stock; a beam emitter costs 15: the shortfall to half the bar is red.
    world.m_selectedTool = TOOL_BEAM;
    world.Draw();
    TestPixel shortfall = ReadTestPixel(20 + 984 * 45 / 100, 30);
    EXPECT_GT(shortfall.r, 120);
    EXPECT_LT(shortfall.g, 80);
    TestPixel whitened = ReadTestPixel(100, 30);
    EXPECT_GT(whitened.r, 130);
    EXPECT_TRUE(Near(ReadTestPixel(20 + 984 * 55 / 100, 30), 0, 51, 26, 4));

    // An extender costs 3 million: its share at the fill's end turns pale, the rest stays green.
    world.m_selectedTool = TOOL_EXTENDER;
    world.Draw();
    TestPixel spent = ReadTestPixel(20 + 984 * 30 / 100, 30);
    EXPECT_GT(spent.r, 130);
    TestPixel kept = ReadTestPixel(20 + 984 * 15 / 100, 30);
    EXPECT_LT(kept.r, 90);
    EXPECT_GT(kept.g, 110);
}

TEST_F(ScreenTest, CooldownVeilCoversTheSweptShareOfTheIcon)
{
    CGameWorld& world = World();
    const int cx = 100;
    const int cy = H - 35;
    world.Draw();
    const Pixels ready = Read(70, cy - 26, 400, cy + 26);

    // A quarter of the extender's cooldown left: only the top-left quarter is veiled.
    world.GetTeam(1).StartCooldown(TOOL_EXTENDER);
    world.GetTeam(1).TickCooldowns(1500);
    world.Draw();
    const Pixels quarter = Read(70, cy - 26, 400, cy + 26);
    auto brighter = [&](int pX, int pY)
    {
        TestPixel a = ready.At(pX, pY);
        TestPixel b = quarter.At(pX, pY);
        return b.r + b.g + b.b > a.r + a.g + a.b + 60;
    };
    EXPECT_TRUE(brighter(cx - 15, cy + 10));
    EXPECT_FALSE(brighter(cx + 15, cy + 10));
    EXPECT_FALSE(brighter(cx - 15, cy - 10));
    EXPECT_FALSE(brighter(cx + 15, cy - 10));
    // The other kinds are ready: their icons stay clear.
    EXPECT_FALSE(brighter(cx + 67 - 15, cy + 10));

    // Just used: the whole icon square is veiled.
    world.GetTeam(1).StartCooldown(TOOL_EXTENDER);
    world.Draw();
    const Pixels full = Read(70, cy - 26, 400, cy + 26);
    for (int dx : {-15, 15})
        for (int dy : {-10, 10})
        {
            TestPixel a = ready.At(cx + dx, cy + dy);
            TestPixel b = full.At(cx + dx, cy + dy);
            EXPECT_GT(b.r + b.g + b.b, a.r + a.g + a.b + 60) << dx << "," << dy;
        }
}

TEST_F(ScreenTest, MessageFadesAndDemoHidesThePlayersControls)
{
    CGameWorld& world = World();
    // The refusal stands in the band above the board.
    auto messageInk = [&]() { return Read(W / 2 - 120, H - 68, W / 2 + 120, H - 52).Count(IsWhite); };

    world.ShowMessage("Insufficient energy");
    world.Draw();
    EXPECT_GT(messageInk(), 50);
    world.m_messageTimer.SetValue(0);
    world.Draw();
    EXPECT_EQ(messageInk(), 0);

    // A decided match shows its banner; a demo shows none, nor the icon bar, but its label.
    world.m_result = RESULT_WIN;
    world.Draw();
    const int banner = Read(W / 2 - 150, H / 2 - 40, W / 2 + 150, H / 2 + 40).Count(Drawn);
    EXPECT_GT(banner, 1000);
    world.m_demo = true;
    world.ShowMessage("Insufficient energy");
    world.Draw();
    EXPECT_EQ(messageInk(), 0);
    EXPECT_LT(Read(W / 2 - 150, H / 2 - 40, W / 2 + 150, H / 2 + 40).Count(Drawn), banner / 4);
    EXPECT_EQ(Read(80, H - 55, 390, H - 15).Count(IsWhite), 0);
    EXPECT_GT(Read(W / 2 - 40, H - 50, W / 2 + 20, H - 25).Count(IsWhite), 20);
    // The flow indicators stay.
    EXPECT_GT(Read(W / 2 - 5, 50, W / 2 + 60, 65).Count(Drawn), 20);
}

TEST_F(ScreenTest, HoveredIconExplainsItsKind)
{
    CGameWorld& world = World();
    world.m_hoveredTool = TOOL_EXTRACTOR;
    world.Draw();
    // The panel's top-left corner at (67 × 3 + 33, H − 80): a white frame, 308 wide.
    const int x = 67 * 3 + 33;
    const int y = H - 80;
    EXPECT_TRUE(IsWhite(ReadTestPixel(x + 1, y - 40)));
    EXPECT_TRUE(IsWhite(ReadTestPixel(x + 307 - 1, y - 40)));
    EXPECT_TRUE(IsWhite(ReadTestPixel(x + 150, y - 1)));
    EXPECT_FALSE(IsWhite(ReadTestPixel(x + 309, y - 40)));
    // Text inside, on a dark veil.
    EXPECT_GT(Read(x + 8, y - 40, x + 200, y - 5).Count(IsWhite), 30);

    world.m_hoveredTool = TOOL_NONE;
    world.Draw();
    EXPECT_FALSE(IsWhite(ReadTestPixel(x + 1, y - 40)));
}

TEST_F(ScreenTest, PlacementPreviewAndReadoutFollowTheMouse)
{
    CGameWorld& world = World();
    world.m_selectedTool = TOOL_EXTENDER;
    // In reach of the green main node: a pale ring of radius 5 to 8.
    world.m_mouseBoard = CVector2(217.5f, 315.0f);
    world.Draw();
    TestPixel ring = ReadTestPixel(WinX(217.5f) + 7, WinY(315));
    EXPECT_GT(ring.r, 120) << ring.r << "," << ring.g << "," << ring.b;
    EXPECT_GT(ring.b, 100);
    // Out of reach: red.
    world.m_mouseBoard = CVector2(472.5f, 250.0f);
    world.Draw();
    TestPixel refused = ReadTestPixel(WinX(472.5f) + 7, WinY(250));
    EXPECT_GT(refused.r, 100);
    EXPECT_LT(refused.g, 60);

    // Over the main node: its health bar 78 wide, 42 above, and four income arrows above it
    // once a step has set its flow.
    world.m_selectedTool = TOOL_NONE;
    world.Update(16);
    world.m_mouseBoard = CVector2(157.5f, 315.0f);
    world.Draw();
    const int barY = WinY(315 + 42) + 2;
    TestPixel bar = ReadTestPixel(WinX(157.5f), barY);
    EXPECT_TRUE(Near(bar, 0, 128, 51, 12)) << bar.r << "," << bar.g << "," << bar.b;
    EXPECT_TRUE(Near(ReadTestPixel(WinX(157.5f) - 38, barY), 0, 128, 51, 12));
    EXPECT_FALSE(Near(ReadTestPixel(WinX(157.5f) - 42, barY), 0, 128, 51, 12));
    EXPECT_GT(Read(WinX(157.5f) - 18, WinY(357) + 12, WinX(157.5f) + 18, WinY(357) + 24)
                  .Count([](const TestPixel& p) { return Near(p, 0, 128, 51, 12); }),
              60);
}

TEST_F(ScreenTest, GuidesShowFullReachTheBeamsFirstHitAndShieldArcs)
{
    CGameWorld& world = World();
    auto fill = [&]()
    {
        world.GetTeam(1).AddEnergy(CTeam::ENERGY_MAX);
        world.GetTeam(1).TickCooldowns(100000);
    };
    auto reddish = [](const TestPixel& p) { return p.r > p.g + 60 && p.r > 120; };
    auto press = [&](float pX, float pY)
    {
        world.OnMouseButton(1, true, WinX(pX), H - WinY(pY));
        world.OnMouseButton(1, false, WinX(pX), H - WinY(pY));
    };
    fill();
    CEntity* extender = world.BuildExtender(1, CVector2(230, 315), world.GetTeam(1).GetMainNode());
    ASSERT_NE(nullptr, extender);
    CEntity* shields[3] = {};
    const float at[3][2] = {{310, 315}, {300, 360}, {300, 270}};
    world.m_selectedTool = TOOL_EXTENDER;
    for (int i = 0; i < 3; ++i)
    {
        // Its reach is outlined, past the main node's disc, only once it powers three.
        world.Draw();
        EXPECT_FALSE(reddish(ReadTestPixel(WinX(329), WinY(315)))) << i;
        fill();
        shields[i] =
            world.BuildShield(1, CVector2(at[i][0], at[i][1]), CVector2(at[i][0] + 50, at[i][1]), extender);
        ASSERT_NE(nullptr, shields[i]);
    }
    world.Draw();
    EXPECT_TRUE(reddish(ReadTestPixel(WinX(329), WinY(315))));

    // A press in the full extender's reach names it; one outside every reach is too far.
    press(318, 330);
    EXPECT_EQ("Extender full: it powers 3 nodes already", world.m_message);
    press(600, 500);
    EXPECT_EQ("Too far from extender", world.m_message);

    // Aimed west from (390, 315): the own shield at 310 takes the beam, not the extender behind
    // it; aimed east, the blue main node does.
    world.m_selectedTool = TOOL_BEAM;
    world.m_placeMode = PLACE_AIMING;
    world.m_placePoint = CVector2(390, 315);
    struct Aim
    {
        float mouseX;
        CEntity* first;
        float markX; // a pixel of the mark ring round the first node
        bool warn;
    };
    CEntity* blueMain = world.GetTeam(2).GetMainNode();
    const Aim aims[] = {{350, shields[0], 310 - 10 - 4, true}, {450, blueMain, 787.5f - 30 - 4, false}};
    for (const Aim& a : aims)
    {
        world.m_mouseBoard = CVector2(a.mouseX, 315);
        CVector2 dir;
        float length = 0.0f;
        EXPECT_EQ(a.first, world.PreviewBeam(world.m_placePoint, world.m_mouseBoard, &dir, &length));
        world.Draw();
        const TestPixel mark = ReadTestPixel(WinX(a.markX), WinY(315) + 1);
        EXPECT_EQ(a.warn, Near(mark, 255, 140, 0, 30))
            << a.mouseX << ": " << mark.r << "," << mark.g << "," << mark.b;
        EXPECT_EQ(!a.warn, IsWhite(mark)) << a.mouseX;
        // Nothing marks the extender behind the shield.
        EXPECT_FALSE(Near(ReadTestPixel(WinX(230 - 8 - 4), WinY(315) + 1), 255, 140, 0, 30));
    }

    // A shield aimed east blocks on its east face: the arc shows there and not behind it; the
    // shield under the mouse shows its own.
    world.m_selectedTool = TOOL_SHIELD;
    world.m_placePoint = CVector2(470, 150);
    world.m_mouseBoard = CVector2(560, 150);
    world.Draw();
    auto arcAt = [](int pX, int pY)
    {
        const TestPixel p = ReadTestPixel(pX, pY);
        return p.b > 200 && p.r > 120;
    };
    EXPECT_TRUE(arcAt(WinX(470 + 13), WinY(150)));
    EXPECT_FALSE(arcAt(WinX(470 - 13), WinY(150)));
    world.m_selectedTool = TOOL_NONE;
    world.m_placeMode = PLACE_IDLE;
    world.m_mouseBoard = CVector2(at[1][0], at[1][1]);
    world.Draw();
    EXPECT_TRUE(arcAt(WinX(at[1][0] + 13), WinY(at[1][1])));
    EXPECT_FALSE(arcAt(WinX(at[1][0] - 13), WinY(at[1][1])));

    // After the end, one line under the banner names the keys.
    world.m_result = RESULT_WIN;
    world.Draw();
    EXPECT_GT(Read(W / 2 - 200, H / 2 - 75, W / 2 + 200, H / 2 - 45).Count(IsWhite), 200);
}

TEST_F(ScreenTest, IntroFadesTheLogoOverWhiteThenRevealsTheMenu)
{
    CGameWorld& world = World();
    world.m_state = STATE_INTRO;
    world.m_introStage.SetValue(2);
    world.Draw();
    EXPECT_TRUE(IsWhite(ReadTestPixel(50, 50)));
    EXPECT_GT(Read(W / 2 - 100, H / 2 - 50, W / 2 + 100, H / 2 + 50)
                  .Count([](const TestPixel& p) { return p.r < 60 && p.g < 60; }),
              300);

    // Stage 0: the menu alone.
    world.m_introStage.SetValue(0);
    world.Draw();
    EXPECT_TRUE(Near(ReadTestPixel(900, 400), 0, 51, 26, 12));
    EXPECT_GT(Read(150, 375, 300, 400).Count(IsWhite), 20);
    world.m_introStage.SetValue(4);
}

TEST_F(ScreenTest, TeamColourOfAnUnknownTeamIsRefused)
{
    EXPECT_DEATH(World().ApplyTeamColour(CTeam::MAX_TIDS), "pTeam < CTeam::MAX_TIDS");
}
} // namespace
