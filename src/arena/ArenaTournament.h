#pragma once

#include <string>
#include <vector>

#include "arena/ArenaMatch.h"

// What makes two runs the same tournament: the same matches played by the same rules. Shards
// and resumed runs are put together only when all of this agrees.
struct ArenaTournament
{
    std::string version; // the program's
    int rules = 1;       // what the simulation computes; files that name none were played by rules 1
    std::string data;    // the catalogue's fingerprint: its sprites decide which effects draw random numbers
    std::vector<unsigned> greenLevels;
    std::vector<unsigned> blueLevels;
    unsigned firstSeed = 1;
    int matches = 1; // per ordered pairing
    int capSteps = 1;
};

// Every match in a fixed order: green level, then blue level, then seed.
std::vector<ArenaMatchSetup> TournamentMatches(const ArenaTournament& pTournament);

// Shard K of N (1 <= K <= N): the matches whose place in that order is K-1 modulo N, so every
// match falls in exactly one shard and the shards share the long and short pairings alike.
std::vector<ArenaMatchSetup> ShardMatches(const std::vector<ArenaMatchSetup>& pMatches, unsigned pShard,
                                          unsigned pShards);

// Levels as "L,L,...", each a level the game has and none twice; false otherwise.
bool ReadLevelList(const std::string& pText, std::vector<unsigned>& pOut);

// "K/N" with 1 <= K <= N; false otherwise.
bool ReadShard(const std::string& pText, unsigned& pShard, unsigned& pShards);

// The CSV's first line, and its reading (false with a reason for anything else).
std::string TournamentLine(const ArenaTournament& pTournament, unsigned pShard, unsigned pShards);
bool ReadTournamentLine(const std::string& pLine, ArenaTournament& pOut, unsigned& pShard, unsigned& pShards,
                        std::string& pError);

// Empty when both are the same tournament, else what differs, e.g. "cap_steps 3750, not 5625".
std::string TournamentDifference(const ArenaTournament& pHere, const ArenaTournament& pThere);
