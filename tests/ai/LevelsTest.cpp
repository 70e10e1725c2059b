#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ai/Levels.h"
#include "arena/ArenaOptions.h"
#include "arena/ArenaReport.h"
#include "engine/CommandLine.h"
#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"

// Every level is taken by the game's -levels and the arena's --levels and named in the arena's
// table; the number after the last is refused by both.
TEST(LevelsTest, EveryLevelIsReadAndNamedAndTheNextIsRefused)
{
    const char* const names[] = {"Very Easy", "Easy", "Normal", "Hard", "Expert"};
    static_assert(sizeof names / sizeof names[0] == LEVEL_COUNT, "a name per level");
    CGameWorld& world = CGameEngine::Instance().GetWorld();
    const unsigned before[2] = {world.m_demoLevels[0], world.m_demoLevels[1]};
    for (unsigned level = 0; level <= LEVEL_COUNT; ++level)
    {
        const bool known = level < LEVEL_COUNT;
        const std::string number = std::to_string(level);
        const std::string pair = "0," + number;
        const char* argv[] = {"ampwarden", "-levels", pair.c_str()};
        DisplayConfig config = DisplayConfig::Default();
        std::string error;
        world.m_demoLevels[1] = 100;
        EXPECT_EQ(known, ReadCommandLine(3, const_cast<char**>(argv), config, &error)) << level;
        EXPECT_EQ(known ? level : 100u, world.m_demoLevels[1]) << level;
        ArenaOptions options;
        EXPECT_EQ(known, ReadArenaOptions({"--levels", number}, options, error)) << level;
        if (!known)
            continue;
        ArenaOutcome outcome;
        outcome.setup.greenLevel = level;
        outcome.setup.blueLevel = level;
        std::ostringstream table;
        WriteWinTable(table, {outcome}, {level}, {level});
        EXPECT_NE(std::string::npos, table.str().find(std::string("\n") + names[level] + " ")) << table.str();
    }
    world.m_demoLevels[0] = before[0];
    world.m_demoLevels[1] = before[1];
}
