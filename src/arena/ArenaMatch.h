#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "world/Team.h"

// One computer-versus-computer match, played headless exactly as the game's demo would play
// it with the same seed and levels: the same set-up, the same random draws, the same sprites
// known (as stand-ins, so that effects are thrown as they are on screen).
struct ArenaMatchSetup
{
    unsigned seed = 0;
    unsigned greenLevel = 2;
    unsigned blueLevel = 3;
    int capSteps = 15 * 60 * 1000 / 16;
};

enum ArenaWinner
{
    WINNER_NONE = 0, // undecided at the cap
    WINNER_GREEN = 1,
    WINNER_BLUE = 2,
    WINNER_TIE = 3,
};

struct ArenaMatchResult
{
    int winner = WINNER_NONE;
    int steps = 0;
    int built[CTeam::MAX_TIDS][CTeam::m_nCooldowns] = {};
    // Energy the extractors and absorbers earned, and nodes lost (the main node included).
    long long earned[CTeam::MAX_TIDS] = {};
    int lost[CTeam::MAX_TIDS] = {};
    uint64_t hash = 0;
    double wallSeconds = 0.0;
};

// Registers a stand-in sprite under every sprite id the catalogue names, without opening a
// window or reading any image: the simulation then throws the effects the game throws.
bool LoadStandInSprites(const char* pCatalogue, std::string& pError);

// Sets the engine's world up for the match (the demo's board, both sides computer-played,
// the random table filled from the seed, effects not kept) without playing a step.
void StartArenaMatch(const ArenaMatchSetup& pSetup);

// Plays a match to its end or the cap. The observer, if any, sees the step count and the
// state hash after every step.
ArenaMatchResult PlayArenaMatch(const ArenaMatchSetup& pSetup,
                                const std::function<void(int, uint64_t)>& pObserver = nullptr);

const char* WinnerName(int pWinner);
