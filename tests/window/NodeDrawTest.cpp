#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "support/TestWindow.h"

#include <cstdlib>
#include <vector>

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

// The pieces are drawn as rectangle-friendly triangle pairs; whatever the direction, they
// must cover exactly the pixels of one strip through the trace's eight corners.
TEST_F(NodeDrawTest, PowerLinkCoversTheSamePixelsAsItsStrip)
{
    const CVector2 from(300.0f, 300.0f);
    const CVector2 ends[] = {CVector2(310.0f, 450.0f), CVector2(290.0f, 150.0f), CVector2(450.0f, 320.0f),
                             CVector2(170.0f, 260.0f), CVector2(400.0f, 400.0f), CVector2(200.0f, 400.0f),
                             CVector2(300.0f, 300.0f), CVector2(301.0f, 420.0f)};
    auto grab = []()
    {
        std::vector<unsigned char> pixels(400 * 400 * 3);
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(100, 100, 400, 400, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    for (const CVector2& to : ends)
    {
        CMainNode parent;
        parent.SetPosition(to);
        CForkNode child;
        child.SetPosition(from);
        child.SetParent(&parent);

        ClearTestWindow(0.0f, 0.0f, 0.0f);
        child.DrawPowerLink();
        std::vector<unsigned char> drawn = grab();

        ClearTestWindow(0.0f, 0.0f, 0.0f);
        CVector2 strip[8];
        CEntity::PowerLinkStrip(from, to, strip);
        glColor4f(0.0f, 0.16f, 0.08f, 1.0f);
        glBegin(GL_TRIANGLE_STRIP);
        for (const CVector2& v : strip)
            glVertex2f(v.x, v.y);
        glEnd();
        std::vector<unsigned char> expected = grab();

        size_t lit = 0, differing = 0;
        for (size_t i = 0; i < drawn.size(); ++i)
        {
            lit += expected[i] != 0 ? 1 : 0;
            // The same pixels lit; the renderer may round a rectangle's colour one step apart.
            differing +=
                (drawn[i] != 0) != (expected[i] != 0) || std::abs(drawn[i] - expected[i]) > 1 ? 1 : 0;
        }
        EXPECT_EQ(0u, differing) << "towards " << to.x << "," << to.y;
        if (to.x != from.x || to.y != from.y)
        {
            EXPECT_GT(lit, 100u) << "towards " << to.x << "," << to.y;
        }
    }
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
