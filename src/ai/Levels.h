#pragma once

// The computer's levels, as the menu, the command line, replays and the arena name them.
// Any other level (the Demo's blue keeps 100) plays as "Hard" does.
constexpr unsigned LEVEL_HARD = 3;
constexpr unsigned LEVEL_EXPERT = 4;
constexpr unsigned LEVEL_COUNT = 5;
inline constexpr const char* LEVEL_NAMES[LEVEL_COUNT] = {"Very Easy", "Easy", "Normal", "Hard", "Expert"};
