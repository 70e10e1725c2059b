#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "replay/ReplayFormat.h"

class CGameWorld;

struct CReplayCheck
{
    // Played to its last step with every checkpoint and the end line agreeing, and at least one
    // of them there to compare.
    bool agrees = false;
    int outcome = 0; // CReplayPlayer::Outcome
    int steps = 0;
    std::string winner;
    uint64_t hash = 0; // as the file's end line gives it (EndLineHash)
    int problemStep = 0;
    uint64_t recorded = 0;
    uint64_t computed = 0;
    int checksPassed = 0;
    bool compared = false; // a checkpoint or an end line was compared
    std::string why;
    std::string difference;
    double wallSeconds = 0.0;
};

// Plays a replay on the engine's world headless, as fast as it goes. pEachStep, if any, sees
// the world before the first step and after every step (before the commands of the next),
// where the checkpoints are taken; returning false stops the run there.
CReplayCheck CheckReplay(const CReplay& pReplay, const std::function<bool(CGameWorld&)>& pEachStep = nullptr);

// The --verify line for a file: ok with steps, winner and hash, nothing to compare, or where
// and why not.
std::string CheckLine(const std::string& pFile, const CReplay& pReplay, const CReplayCheck& pCheck);
