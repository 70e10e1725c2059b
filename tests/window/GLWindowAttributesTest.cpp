#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include "support/TestWindow.h"

// The window is opened with the game's own request: full 8-bit colour, two buffers, and no
// depth buffer (nothing is depth tested; asking for one costs speed or even the window).
TEST(GLWindowAttributesTest, TheGameWindowHasColourAndTwoBuffersButNoDepth)
{
    ASSERT_TRUE(OpenTestWindow()) << "needs an X display (test.sh starts Xvfb)";
    GLint red = 0, green = 0, blue = 0, depth = -1;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_EQ(8, red);
    EXPECT_EQ(8, green);
    EXPECT_EQ(8, blue);
    EXPECT_EQ(0, depth);
    int doubleBuffered = 0;
    ASSERT_EQ(0, SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffered));
    EXPECT_EQ(1, doubleBuffered);
}
