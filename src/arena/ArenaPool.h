#pragma once

#include <string>
#include <vector>

#include "arena/ArenaTournament.h"
#include "arena/Tournament.h"

// The matches of several tournaments played by the same program, rules, data and cap (a
// ladder, then more seeds for some pairings, then a level added), taken together for one
// table and one set of ratings. Each match (seed, green level, blue level) counts once.
struct ArenaPool
{
    std::vector<ArenaTournament> tournaments; // in the order their first file was given
    std::vector<ArenaOutcome> outcomes;       // tournament by tournament, each in its own order
    // Every level that played green, and blue, in the order the tournaments name them.
    std::vector<unsigned> greenLevels;
    std::vector<unsigned> blueLevels;
    size_t duplicates = 0; // matches given by more than one tournament with the same result
    size_t missing = 0;    // with pPartial: matches of the tournaments that no file has
};

// Reads the CSVs, puts each tournament's shards together as a merge does (a match missing
// from its tournament is refused unless pPartial), then pools the tournaments. False with one
// line naming the file for a file that cannot be read, a tournament of other rules, program,
// data or cap than the first's, or a match that two tournaments give with different results.
bool PoolArenaCsvs(const std::vector<std::string>& pPaths, bool pPartial, ArenaPool& pOut,
                   std::string& pError);
