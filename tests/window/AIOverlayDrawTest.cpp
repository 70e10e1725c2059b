#include <gtest/gtest.h>

#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "support/TestWindow.h"
#include "world/GameWorld.h"

// The opponent's debug overlay drawn into the real window.
namespace
{
class CProviderStub : public CEntity
{
  public:
    void Draw() override {}
};

int Red(int pX, int pY)
{
    return ReadTestPixel(pX, pY).r;
}
} // namespace

TEST(AIOverlayDrawTest, CandidatePointsAndPowerMapCells)
{
    ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
    CAIPlayer ai(&TheWorld().GetTeam(2));
    ai.m_candidatePoints = {CVector2(100.0f, 100.0f)};
    CProviderStub provider; // no reach: hop counts grow with the distance
    provider.SetPosition(CVector2(8.0f, 8.0f));
    ai.StampProvider(&provider);

    ClearTestWindow(0.0f, 0.0f, 0.0f);
    ai.DrawOverlay(0);
    EXPECT_EQ(0, Red(100, 100));

    // A 4-pixel square at one tenth white.
    ai.DrawOverlay(1);
    EXPECT_NEAR(26, Red(100, 100), 2);
    EXPECT_NEAR(26, Red(98, 101), 2);
    EXPECT_EQ(0, Red(103, 100));

    // Cell (30, 8) at (248, 72) lies 248.4 away: 3 hops, a 3-pixel square at a fifth white.
    ClearTestWindow(0.0f, 0.0f, 0.0f);
    ai.DrawOverlay(2);
    EXPECT_NEAR(51, Red(248, 72), 2);
    EXPECT_NEAR(51, Red(247, 71), 2);
    EXPECT_EQ(0, Red(251, 72));
    EXPECT_EQ(0, Red(100, 100)) << "no candidate points in this mode";
}
