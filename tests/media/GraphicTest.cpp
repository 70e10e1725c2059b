#include "media/Graphic.h"

#include <gtest/gtest.h>

#include <cmath>

#include "media/Sprite.h"

namespace
{
CSprite* TestSprite()
{
    static CSprite sprite(0.0f, 0.0f, 8.0f, 8.0f, 0, 16.0f, 16.0f);
    return &sprite;
}

const CColor COLOUR(1.0f, 0.5f, 0.25f, 0.8f);
} // namespace

TEST(GraphicTest, StillGraphicFadesAtFullSize)
{
    CGraphic g(TestSprite(), CVector2(10.0f, 20.0f), 30.0f, COLOUR, 1000, CVector2(0.0f, 0.0f));
    EXPECT_TRUE(g.IsActive());
    EXPECT_FLOAT_EQ(0.8f, g.GetDrawAlpha());
    g.Update(250);
    EXPECT_TRUE(g.IsActive());
    EXPECT_EQ(750, g.GetLife().GetValue());
    EXPECT_FLOAT_EQ(1.0f, g.GetDrawScale());
    EXPECT_FLOAT_EQ(0.8f * 0.75f, g.GetDrawAlpha());
    EXPECT_EQ(CVector2(10.0f, 20.0f), g.GetPosition());
}

// Half the diagonal at the drawn scale and a pixel: a turned quad reaches no farther.
TEST(GraphicTest, ReachCoversTheTurnedQuadAtItsDrawnScale)
{
    CGraphic still(TestSprite(), CVector2(0.0f, 0.0f), 45.0f, COLOUR, 1000, CVector2(0.0f, 0.0f));
    EXPECT_FLOAT_EQ(std::sqrt(32.0f) + 1.0f, still.GetReach());
    CGraphic moving(TestSprite(), CVector2(0.0f, 0.0f), 45.0f, COLOUR, 1000, CVector2(0.1f, 0.0f));
    moving.Update(750);
    EXPECT_FLOAT_EQ(0.25f * std::sqrt(32.0f) + 1.0f, moving.GetReach());
}

TEST(GraphicTest, MovingGraphicDriftsShrinksAndFades)
{
    CGraphic g(TestSprite(), CVector2(100.0f, 100.0f), 0.0f, COLOUR, 1000, CVector2(0.1f, -0.02f));
    g.Update(500);
    EXPECT_TRUE(g.IsActive());
    EXPECT_FLOAT_EQ(150.0f, g.GetPosition().x);
    EXPECT_FLOAT_EQ(90.0f, g.GetPosition().y);
    EXPECT_FLOAT_EQ(0.5f, g.GetDrawScale());
    EXPECT_FLOAT_EQ(0.4f, g.GetDrawAlpha());
}

TEST(GraphicTest, LifetimeEndsOnTheUpdateThatReachesZeroAndStillMoves)
{
    CGraphic exact(TestSprite(), CVector2(0.0f, 0.0f), 0.0f, COLOUR, 32, CVector2(1.0f, 0.0f));
    exact.Update(16);
    EXPECT_TRUE(exact.IsActive());
    exact.Update(16);
    EXPECT_FALSE(exact.IsActive());
    EXPECT_FLOAT_EQ(32.0f, exact.GetPosition().x);

    CGraphic over(TestSprite(), CVector2(5.0f, 5.0f), 0.0f, COLOUR, 100, CVector2(0.5f, 0.25f));
    over.Update(300);
    EXPECT_FALSE(over.IsActive());
    EXPECT_EQ(0, over.GetLife().GetValue());
    EXPECT_FLOAT_EQ(155.0f, over.GetPosition().x);
    EXPECT_FLOAT_EQ(80.0f, over.GetPosition().y);
    EXPECT_FLOAT_EQ(0.0f, over.GetDrawScale());
    EXPECT_FLOAT_EQ(0.0f, over.GetDrawAlpha());
}

TEST(GraphicTest, ZeroStepChangesNothing)
{
    CGraphic g(TestSprite(), CVector2(3.0f, 4.0f), 0.0f, COLOUR, 40, CVector2(2.0f, 2.0f));
    g.Update(0);
    EXPECT_TRUE(g.IsActive());
    EXPECT_EQ(40, g.GetLife().GetValue());
    EXPECT_EQ(CVector2(3.0f, 4.0f), g.GetPosition());

    // Once spent, a zero step does not bring it back.
    g.Update(40);
    g.Update(0);
    EXPECT_FALSE(g.IsActive());
}

TEST(GraphicDeathTest, MissingSpriteBadLifetimeAndZeroLifetimeDraw)
{
    EXPECT_DEATH(CGraphic(nullptr, CVector2(), 0.0f, COLOUR, 100, CVector2()), "m_sprite");
    EXPECT_DEATH(CGraphic(TestSprite(), CVector2(), 0.0f, COLOUR, -1, CVector2()), "m_maxValue >= 0");
    CGraphic zero(TestSprite(), CVector2(), 0.0f, COLOUR, 0, CVector2());
    EXPECT_DEATH(zero.GetDrawAlpha(), "fractMax > 0");
}

TEST(SpriteTest, RecordPlacesTheImageOnThePage)
{
    CSprite s(10.0f, 20.0f, 30.0f, 40.0f, 7, 64.0f, 128.0f);
    EXPECT_FLOAT_EQ(10.0f / 64.0f, s.m_leftU);
    // Half a texel beyond the right edge; no such offset vertically.
    EXPECT_FLOAT_EQ(40.5f / 64.0f, s.m_rightU);
    EXPECT_FLOAT_EQ(60.0f / 128.0f, s.m_bottomV);
    EXPECT_FLOAT_EQ(20.0f / 128.0f, s.m_topV);
    EXPECT_FLOAT_EQ(30.0f, s.GetWidth());
    EXPECT_FLOAT_EQ(40.0f, s.GetHeight());
    EXPECT_EQ(7u, s.m_texture);
}
