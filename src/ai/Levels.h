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
// The plain plan of a paced player: expand to sites, shield what is shot, beam the foe.
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
    // How far a shield's facing strays (degrees), and its placements and a beam's aim point
    // (pixels), either way.
    float aimDegrees;
    float placePixels;
};

inline constexpr LevelInfo LEVELS[] = {
    {"Very Easy", LEVEL_VERY_EASY, 0, 0, 0.0f, 0.0f},
    {"Easy", LEVEL_EASY, 0, 0, 0.0f, 0.0f},
    {"Normal", LEVEL_NORMAL, 0, 0, 0.0f, 0.0f},
    {"Hard", LEVEL_HARD, 0, 0, 0.0f, 0.0f},
    {"Expert", LEVEL_EXPERT, 0, 0, 0.0f, 0.0f},
    // Paced players, for measuring: a newcomer's plain plan at a person's pace.
    {"Paced 6", PLAN_PLAIN, 6, 3000, 4.0f, 6.0f},
    {"Paced 12", PLAN_PLAIN, 12, 2000, 4.0f, 6.0f},
    {"Paced 24", PLAN_PLAIN, 24, 1500, 3.0f, 5.0f},
    {"Paced 48", PLAN_PLAIN, 48, 1000, 3.0f, 4.0f},
    // Steps between Very Easy and Normal: Easy's and Normal's decisions at a limited pace.
    {"Gentle", LEVEL_EASY, 10, 0, 0.0f, 0.0f},
    {"Mild", LEVEL_EASY, 18, 0, 0.0f, 0.0f},
    {"Steady", LEVEL_NORMAL, 14, 0, 0.0f, 0.0f},
    {"Moderate", LEVEL_NORMAL, 15, 0, 0.0f, 0.0f},
    {"Firm", LEVEL_NORMAL, 24, 0, 0.0f, 0.0f},
    {"Keen", LEVEL_NORMAL, 34, 0, 0.0f, 0.0f},
    {"Brisk", LEVEL_NORMAL, 18, 0, 0.0f, 0.0f},
    {"Sharp", LEVEL_NORMAL, 28, 0, 0.0f, 0.0f},
    {"Bold", LEVEL_NORMAL, 40, 0, 0.0f, 0.0f},
};
constexpr unsigned LEVEL_COUNT = static_cast<unsigned>(sizeof LEVELS / sizeof LEVELS[0]);

// The levels the menu's difficulty list and the Watch screen offer, weakest first by their
// measured ratings (Hard, rated a little below Normal, comes before it), the paced players
// left out.
inline constexpr unsigned MENU_LEVELS[] = {0, 9, 10, 1, 11, 12, 15, 13, 16, 14, 17, 3, 2, 4};
constexpr int MENU_LEVEL_COUNT = static_cast<int>(sizeof MENU_LEVELS / sizeof MENU_LEVELS[0]);

// A level's place in that list, -1 for one it leaves out.
inline int MenuPlaceOf(unsigned pLevel)
{
    for (int i = 0; i < MENU_LEVEL_COUNT; ++i)
    {
        if (MENU_LEVELS[i] == pLevel)
            return i;
    }
    return -1;
}

// The table's entry for a level; a number past it reads as Hard's entry.
inline const LevelInfo& LevelEntry(unsigned pLevel)
{
    return LEVELS[pLevel < LEVEL_COUNT ? pLevel : LEVEL_HARD];
}

// Its rating as the arena last measured it, Very Easy taken as 0 (shown in the menu).
int MeasuredRating(unsigned pLevel);
