#include <gtest/gtest.h>

#include <vector>

#include "ai/ArenaMatchFixture.h"
#include "ai/Levels.h"
#include "world/GameWorld.h"

namespace
{
using PacedLevelTest = CArenaMatchTest<unsigned>;

// A paced level, as green against Normal, never builds twice within its pace's gap (60 s over
// its actions a minute), however much energy it holds; and it does build.
TEST_P(PacedLevelTest, BuildsNoFasterThanItsPace)
{
    const unsigned level = GetParam();
    const unsigned pace = LEVELS[level].actionsPerMinute;
    ASSERT_NE(0u, pace);
    const ArenaMatchSetup setup = Match(31 + level, level, LEVEL_NORMAL, 6 * 60 * 1000 / 16);
    CGameWorld& world = TheWorld();
    std::vector<int> buildSteps;
    int built = 0;
    PlayArenaMatch(setup,
                   [&](int pStep, uint64_t)
                   {
                       int total = 0;
                       for (int tool = 0; tool < CTeam::m_nCooldowns; ++tool)
                           total += world.GetTeam(1).GetBuilt(tool);
                       for (; built < total; ++built)
                           buildSteps.push_back(pStep);
                   });
    ASSERT_GE(buildSteps.size(), 4u) << "level " << level << " hardly built";
    const int gapSteps = static_cast<int>(60000 / pace / 16);
    for (size_t i = 1; i < buildSteps.size(); ++i)
        EXPECT_GE(buildSteps[i] - buildSteps[i - 1], gapSteps) << "level " << level << ", build " << i;
}

// Every level with a pace: all that the first five are not.
INSTANTIATE_TEST_SUITE_P(Table, PacedLevelTest, ::testing::Range(5u, LEVEL_COUNT),
                         [](const ::testing::TestParamInfo<unsigned>& pInfo)
                         { return "level" + std::to_string(pInfo.param); });
} // namespace
