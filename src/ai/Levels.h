#pragma once

#include <cstddef>

// The computer's levels: the one table the menu, the command line, replays and the arena
// name them from. A level's number is its place in this table; replays and command lines
// keep it, so an entry is never moved or reused, only added at the end. Any number past
// the table (the Demo's blue keeps 100) plays as "Hard" does.
constexpr unsigned LEVEL_VERY_EASY = 0;
constexpr unsigned LEVEL_EASY = 1;
constexpr unsigned LEVEL_NORMAL = 2;
constexpr unsigned LEVEL_HARD = 3;
constexpr unsigned LEVEL_EXPERT = 4;
// The plain plan of a paced player: expand to sites, shield what is shot, beam the nearest foe.
constexpr unsigned PLAN_PLAIN = 1000;

struct LevelInfo
{
    const char* name;
    // Whose decisions it makes: one of the first five levels', or the plain plan.
    unsigned plan;
    // At most this many builds a minute; 0 for none but the twice-a-second decisions.
    unsigned actionsPerMinute;
    // A beam turned on one of its nodes is answered only once it has fired this long.
    unsigned reactionMs;
    // How far its aims stray (degrees) and its placements (pixels), either way.
    float aimDegrees;
    float placePixels;
    // Listed in the menu's difficulty list.
    bool inMenu;
    // Its rating in the arena, Very Easy taken as 0 (shown beside its name in the menu).
    int rating;
};

inline constexpr LevelInfo LEVELS[] = {
    {"Very Easy", LEVEL_VERY_EASY, 0, 0, 0.0f, 0.0f, true, 0},
    {"Easy", LEVEL_EASY, 0, 0, 0.0f, 0.0f, true, 0},
    {"Normal", LEVEL_NORMAL, 0, 0, 0.0f, 0.0f, true, 0},
    {"Hard", LEVEL_HARD, 0, 0, 0.0f, 0.0f, true, 0},
    {"Expert", LEVEL_EXPERT, 0, 0, 0.0f, 0.0f, true, 0},
};
constexpr unsigned LEVEL_COUNT = static_cast<unsigned>(sizeof LEVELS / sizeof LEVELS[0]);

// The menu's difficulty list, weakest first.
inline constexpr unsigned MENU_LEVELS[] = {0, 1, 2, 3, 4};
constexpr int MENU_LEVEL_COUNT = static_cast<int>(sizeof MENU_LEVELS / sizeof MENU_LEVELS[0]);

// The table's entry for a level; a number past it reads as Hard's entry.
inline const LevelInfo& LevelEntry(unsigned pLevel)
{
    return LEVELS[pLevel < LEVEL_COUNT ? pLevel : LEVEL_HARD];
}
