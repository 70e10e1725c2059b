#include <cmath>

#include <gtest/gtest.h>

#include "world/ScreenMath.h"

namespace
{
// Signed area of the fan's triangles; the veil runs clockwise, so it comes out negative.
float FanArea(const std::vector<CVector2>& pFan)
{
    float area = 0.0f;
    for (size_t i = 1; i + 1 < pFan.size(); ++i)
    {
        const CVector2 a = pFan[i] - pFan[0];
        const CVector2 b = pFan[i + 1] - pFan[0];
        area += 0.5f * (a.x * b.y - a.y * b.x);
    }
    return area;
}

// Whether a point lies in one of the fan's triangles.
bool FanCovers(const std::vector<CVector2>& pFan, const CVector2& pPoint)
{
    auto side = [](const CVector2& a, const CVector2& b, const CVector2& p)
    { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
    for (size_t i = 1; i + 1 < pFan.size(); ++i)
    {
        float d1 = side(pFan[0], pFan[i], pPoint);
        float d2 = side(pFan[i], pFan[i + 1], pPoint);
        float d3 = side(pFan[i + 1], pFan[0], pPoint);
        if (d1 < 0 && d2 < 0 && d3 < 0)
            return true;
    }
    return false;
}

const float SQUARE = 52.0f * 52.0f;
} // namespace

TEST(ScreenMathTest, CooldownWipeVeilsTheSweptShareOfTheIconSquare)
{
    // Just used: the whole square, starting and ending at twelve o'clock.
    std::vector<CVector2> full = ScreenMath::CooldownWipeFan(1.0f);
    EXPECT_NEAR(full[1].x, 0.0f, 1e-4f);
    EXPECT_NEAR(full[1].y, 26.0f, 1e-4f);
    EXPECT_NEAR(FanArea(full), -SQUARE, 0.5f);
    EXPECT_TRUE(FanCovers(full, CVector2(20, 10)));
    EXPECT_TRUE(FanCovers(full, CVector2(-20, -10)));

    // A quarter left: only the top-left quarter is veiled, from nine o'clock to twelve.
    std::vector<CVector2> quarter = ScreenMath::CooldownWipeFan(0.25f);
    EXPECT_NEAR(quarter[1].x, -26.0f, 1e-3f);
    EXPECT_NEAR(quarter[1].y, 0.0f, 1e-3f);
    EXPECT_NEAR(FanArea(quarter), -SQUARE / 4, 0.5f);
    EXPECT_TRUE(FanCovers(quarter, CVector2(-15, 10)));
    EXPECT_FALSE(FanCovers(quarter, CVector2(15, 10)));
    EXPECT_FALSE(FanCovers(quarter, CVector2(-15, -10)));

    // Ready: nothing veiled.
    EXPECT_NEAR(FanArea(ScreenMath::CooldownWipeFan(0.0f)), 0.0f, 1e-3f);
    EXPECT_FALSE(FanCovers(ScreenMath::CooldownWipeFan(0.0f), CVector2(-1, 20)));
}

TEST(ScreenMathTest, CooldownWipeStartPointStaysOnTheSquareEdge)
{
    // Every octant: the start point lies on the edge, and whole eighths veil whole eighths.
    for (int eighth = 1; eighth <= 8; ++eighth)
    {
        float f = eighth / 8.0f;
        std::vector<CVector2> fan = ScreenMath::CooldownWipeFan(f);
        EXPECT_NEAR(std::max(std::fabs(fan[1].x), std::fabs(fan[1].y)), 26.0f, 1e-3f) << f;
        EXPECT_NEAR(FanArea(fan), -SQUARE * f, 0.5f) << f;
    }
    // In between the veil shrinks steadily as the cooldown runs out.
    float previous = 0.0f;
    for (int i = 0; i <= 100; ++i)
    {
        float area = -FanArea(ScreenMath::CooldownWipeFan(i / 100.0f));
        EXPECT_GE(area + 1e-3f, previous) << i;
        previous = area;
    }
}

TEST(ScreenMathTest, TeamFlowShowsAnyDeficitAndOnlyWholePointsOfIncome)
{
    EXPECT_EQ(ScreenMath::TeamFlowArrowCount(-1), 1);
    EXPECT_EQ(ScreenMath::TeamFlowArrowCount(249), 0);
    EXPECT_EQ(ScreenMath::TeamFlowArrowCount(0), 0);
    EXPECT_EQ(ScreenMath::TeamFlowArrowCount(250), 1);
    EXPECT_EQ(ScreenMath::TeamFlowArrowCount(-250), 1);
    EXPECT_EQ(ScreenMath::TeamFlowArrowCount(-251), 2);
    EXPECT_EQ(ScreenMath::TeamFlowArrowCount(1999), 7);
    // The largest deficit does not overflow on its way to a count.
    EXPECT_EQ(ScreenMath::TeamFlowArrowCount(INT32_MIN), 8589935);
}

TEST(ScreenMathTest, ReadoutFlowBoxHoldsOneArrowPerDisplayedPoint)
{
    EXPECT_EQ(ScreenMath::ReadoutArrowCount(-250000), 1);
    EXPECT_EQ(ScreenMath::ReadoutFlowBoxWidth(1), 12);
    EXPECT_EQ(ScreenMath::ReadoutArrowCount(1000000), 4);
    EXPECT_EQ(ScreenMath::ReadoutFlowBoxWidth(4), 36);
    EXPECT_EQ(ScreenMath::ReadoutArrowCount(100000), 0);
    EXPECT_EQ(ScreenMath::ReadoutArrowCount(249999), 0);
    EXPECT_EQ(ScreenMath::ReadoutArrowCount(-499999), 1);
    // Doubling a huge flow must not wrap into a negative count.
    EXPECT_EQ(ScreenMath::ReadoutArrowCount(2000000000), 8000);
}

TEST(ScreenMathTest, ReadoutHealthBarScalesWithTheNode)
{
    EXPECT_EQ(ScreenMath::ReadoutBarWidth(10.0f), 26);
    EXPECT_FLOAT_EQ(ScreenMath::ReadoutBarLift(10.0f), 14.0f);
    // 1.3 × 8 = 10.4 rounds up to 11.
    EXPECT_EQ(ScreenMath::ReadoutBarWidth(8.0f), 22);
    EXPECT_EQ(ScreenMath::ReadoutBarWidth(30.0f), 78);
}

TEST(ScreenMathTest, BarShowsOneTickPerEightPixelsOfFilledHeight)
{
    EXPECT_EQ(ScreenMath::BarTickCount(20.0f, 1.0f), 2);
    EXPECT_EQ(ScreenMath::BarTickCount(624.0f, 1.0f), 78);
    EXPECT_EQ(ScreenMath::BarTickCount(624.0f, 0.5f), 39);
    EXPECT_EQ(ScreenMath::BarTickCount(624.0f, 0.0f), 0);
    // A sliver of health below one tick's worth shows none.
    EXPECT_EQ(ScreenMath::BarTickCount(624.0f, 0.01f), 0);
}

TEST(ScreenMathTest, AimDotsTurnWhiteOutsideTheBeamDangerDistance)
{
    std::vector<ScreenMath::AimDot> dots = ScreenMath::AimDots(8.0f, 100.0f, true);
    const float expected[] = {35, 43, 51, 59, 67, 75, 83, 91, 99};
    ASSERT_EQ(dots.size(), 9u);
    for (size_t i = 0; i < dots.size(); ++i)
    {
        EXPECT_FLOAT_EQ(dots[i].distance, expected[i]);
        EXPECT_EQ(dots[i].danger, expected[i] < 68) << expected[i];
    }
    // A shield has no danger zone, and a mouse inside the arrow head leaves no dots.
    for (const ScreenMath::AimDot& dot : ScreenMath::AimDots(10.0f, 100.0f, false))
        EXPECT_FALSE(dot.danger);
    EXPECT_TRUE(ScreenMath::AimDots(8.0f, 35.0f, true).empty());
}

TEST(ScreenMathTest, EnergyBarMarksTheCostOrTheShortfall)
{
    // 40 % in stock and a kind costing 50 %: whitened fill and a red stretch from 40 to 50 %.
    ScreenMath::EnergyBarSpans poor = ScreenMath::EnergyBar(12000000, 30000000, 15000000);
    EXPECT_FLOAT_EQ(poor.fill, 0.4f);
    EXPECT_TRUE(poor.whitenFill);
    EXPECT_EQ(poor.mark, ScreenMath::EnergyBarSpans::SHORTFALL);
    EXPECT_FLOAT_EQ(poor.markFrom, 0.4f);
    EXPECT_FLOAT_EQ(poor.markTo, 0.5f);

    // Enough in stock: the share the build would spend is marked at the end of the fill.
    ScreenMath::EnergyBarSpans rich = ScreenMath::EnergyBar(24000000, 30000000, 3000000);
    EXPECT_FALSE(rich.whitenFill);
    EXPECT_EQ(rich.mark, ScreenMath::EnergyBarSpans::SPEND);
    EXPECT_FLOAT_EQ(rich.markFrom, 0.7f);
    EXPECT_FLOAT_EQ(rich.markTo, 0.8f);

    // Exactly the cost in stock can pay it.
    EXPECT_EQ(ScreenMath::EnergyBar(3000000, 30000000, 3000000).mark, ScreenMath::EnergyBarSpans::SPEND);
    // No tool selected, and a team that was never set up.
    EXPECT_EQ(ScreenMath::EnergyBar(3000000, 30000000, 0).mark, ScreenMath::EnergyBarSpans::NONE);
    ScreenMath::EnergyBarSpans empty = ScreenMath::EnergyBar(0, 0, 3000000);
    EXPECT_EQ(empty.fill, 0.0f);
    EXPECT_EQ(empty.mark, ScreenMath::EnergyBarSpans::NONE);
}

TEST(ScreenMathTest, HelpPanelIsTwoLinesTallerThanItsLineBreaks)
{
    EXPECT_EQ(ScreenMath::HelpPanelHeight(
                  "Extractor\n\nExtracts energy from resource\nsites.\n\n+4 Energy Flow", 15),
              7 * 15);
    EXPECT_EQ(ScreenMath::HelpPanelHeight("", 15), 30);
}

TEST(ScreenMathTest, GraphAxesEndOnTheFirstRoundStepPastTheLargestValue)
{
    // max, steps allowed, step, end: 15 minutes in at most 8 ticks, a few seconds, exact ends,
    // and nothing at all.
    const float cases[][4] = {{15.0f, 8, 2.0f, 16.0f}, {0.23f, 8, 0.05f, 0.25f}, {20.0f, 2, 10.0f, 20.0f},
                              {7.3f, 2, 5.0f, 10.0f},  {1.0f, 2, 0.5f, 1.0f},    {0.0f, 2, 1.0f, 1.0f}};
    for (const auto& c : cases)
    {
        const ScreenMath::AxisScale axis = ScreenMath::NiceAxis(c[0], static_cast<int>(c[1]));
        EXPECT_FLOAT_EQ(c[2], axis.step) << c[0];
        EXPECT_FLOAT_EQ(c[3], axis.top) << c[0];
    }
}
