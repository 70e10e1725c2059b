// Random play with every frame drawn: previews, readouts, overlays and effects from whatever
// state the input leaves the world in must draw without failing.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "engine/GameEngine.h"
#include "support/RandomPlay.h"
#include "support/TestWindow.h"
#include "world/GameWorld.h"

TEST(RandomPlayDrawTest, EveryFrameOfRandomPlayDraws)
{
    ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    ASSERT_TRUE(LoadGameMedia());

    CGameWorld& world = TheWorld();
    int frames = 0;
    PlayRandomly(21u, 1500,
                 [&]
                 {
                     world.Draw();
                     ++frames;
                 });
    glFinish();
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    EXPECT_EQ(1500, frames);
    CGameEngine::Instance().RemoveOption("debug");
    world.ClearMatch();
}
