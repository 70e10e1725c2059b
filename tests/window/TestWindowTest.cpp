#include "support/TestWindow.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

TEST(TestWindowTest, ClearsAndReadsBackAColour)
{
    ASSERT_TRUE(OpenTestWindow()) << "needs an X display (test.sh starts Xvfb)";
    ClearTestWindow(1.0f, 0.0f, 0.0f);
    TestPixel p = ReadTestPixel(10, 10);
    EXPECT_EQ(255, p.r);
    EXPECT_EQ(0, p.g);
}
