#include "engine/Counter.h"

#include <gtest/gtest.h>

TEST(CounterTest, AddReportsWhenItLandsOnABound)
{
    CCounter c(2000);
    EXPECT_EQ(2000, c.GetValue());
    EXPECT_TRUE(c.Add(-2000));
    EXPECT_EQ(0, c.GetValue());
    EXPECT_TRUE(c.Add(-16));
    EXPECT_EQ(0, c.GetValue());
    EXPECT_FALSE(c.Add(0));
    c.Fill();
    EXPECT_FALSE(c.Add(0));
    EXPECT_TRUE(c.Add(5));
    EXPECT_EQ(2000, c.GetValue());
}

TEST(CounterTest, LandingOnZeroFromOneReportsButFromTwoDoesNot)
{
    CCounter c(10);
    c.SetValue(1);
    EXPECT_TRUE(c.Add(-1));
    c.SetValue(2);
    EXPECT_FALSE(c.Add(-1));
    EXPECT_EQ(1, c.GetValue());
}

TEST(CounterTest, ZeroMaximumAlwaysReadsZero)
{
    CCounter c(0);
    c.Add(100);
    EXPECT_EQ(0, c.GetValue());
    c.Add(-100);
    EXPECT_EQ(0, c.GetValue());
}

TEST(CounterTest, FractionMayUseASmallerDivisor)
{
    CCounter c(2500);
    EXPECT_FLOAT_EQ(2500.0f / 1500.0f, c.GetFraction(1500));
    c.SetValue(750);
    EXPECT_FLOAT_EQ(0.5f, c.GetFraction(1500));
    EXPECT_FLOAT_EQ(0.3f, c.GetFraction());
}

TEST(CounterDeathTest, BadMaximaAndDivisorsEndTheProgram)
{
    EXPECT_DEATH(CCounter(-1), "m_maxValue >= 0");
    CCounter c(10);
    EXPECT_DEATH(c.Reset(-5), "newMaxVal >= 0");
    CCounter zero(0);
    EXPECT_DEATH(zero.GetFraction(), "fractMax > 0");
    EXPECT_DEATH(c.GetFraction(11), "fractMax <= m_maxValue");
}
