#pragma once

#include <functional>
#include <string>
#include <vector>

#include "arena/ArenaMatch.h"

// One match of a tournament as it ended: its result, or why its process died.
struct ArenaOutcome
{
    ArenaMatchSetup setup;
    bool crashed = false;
    std::string crash; // e.g. "signal 6: Assertion failed ..." when crashed
    ArenaMatchResult result;
    // Processor time of the match's process: unlike the wall time, it does not grow when
    // other work shares the machine.
    double cpuSeconds = 0.0;
};

// Plays every match, each in a process of its own forked from this one (so a crash or an
// assertion ends that match only), at most pJobs at a time. Outcomes come back in the order
// of pMatches whatever order the processes finish in. The progress function hears each end as
// it happens, with that match's outcome.
// pPlay plays one match; tests hand in their own.
using ArenaPlayFunction = std::function<ArenaMatchResult(const ArenaMatchSetup&)>;
std::vector<ArenaOutcome>
RunTournament(const std::vector<ArenaMatchSetup>& pMatches, int pJobs,
              const std::function<void(size_t pDone, size_t pTotal, const ArenaOutcome& pEnded)>& pProgress,
              const ArenaPlayFunction& pPlay = nullptr);

// The line a match process writes for its parent, and its reading; false for anything else.
std::string FormatResultLine(const ArenaMatchResult& pResult);
bool ParseResultLine(const std::string& pLine, ArenaMatchResult& pOut);
