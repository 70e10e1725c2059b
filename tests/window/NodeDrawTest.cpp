#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "support/TestWindow.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

// Range discs, power links and circles drawn into the real window and read back.
namespace
{
class NodeDrawTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
        ClearTestWindow(0.0f, 0.0f, 0.0f);
    }

    static void ExpectPixel(int pX, int pY, int pR, int pG, int pB)
    {
        TestPixel p = ReadTestPixel(pX, pY);
        EXPECT_NEAR(pR, p.r, 2) << pX << "," << pY;
        EXPECT_NEAR(pG, p.g, 2) << pX << "," << pY;
        EXPECT_NEAR(pB, p.b, 2) << pX << "," << pY;
    }
};
} // namespace

TEST_F(NodeDrawTest, RangeDiscOnlyForNodesThatCanPowerMore)
{
    CMainNode main;
    main.SetTeam(1);
    main.SetPosition(CVector2(200.0f, 200.0f));
    CForkNode loose;
    loose.SetTeam(1);
    loose.SetPosition(CVector2(600.0f, 200.0f));
    main.DrawRange();
    loose.DrawRange();
    glFinish();
    // (0.055, 0.255, 0.155) out to 130 pixels.
    ExpectPixel(200, 200, 14, 65, 40);
    ExpectPixel(320, 200, 14, 65, 40);
    ExpectPixel(200, 75, 14, 65, 40);
    ExpectPixel(335, 200, 0, 0, 0);
    // An extender without a parent offers no power and shows no reach.
    ExpectPixel(600, 200, 0, 0, 0);
}

TEST_F(NodeDrawTest, PowerLinkIsACircuitTraceIntoTheParent)
{
    CMainNode parent;
    parent.SetPosition(CVector2(510.0f, 450.0f));
    CForkNode child;
    child.SetPosition(CVector2(500.0f, 300.0f));
    child.SetParent(&parent);
    child.DrawPowerLink();
    glFinish();
    // Up from the child, across at 45 degrees between y 370 and 380, up into the parent.
    ExpectPixel(500, 320, 0, 41, 20);
    ExpectPixel(505, 375, 0, 41, 20);
    ExpectPixel(510, 430, 0, 41, 20);
    ExpectPixel(510, 320, 0, 0, 0);
    ExpectPixel(500, 430, 0, 0, 0);
}

TEST_F(NodeDrawTest, CircleOutlineLeavesTheInsideEmpty)
{
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(800.5f, 600.5f, 0.0f);
    CEntity::DrawCircle(50.0f, false);
    glPopMatrix();
    glFinish();
    ExpectPixel(800, 600, 0, 0, 0);
    ExpectPixel(850, 600, 255, 255, 255);
}
