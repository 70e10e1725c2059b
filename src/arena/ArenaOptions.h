#pragma once

#include <string>
#include <vector>

// What a tournament plays and where it reports, as read from the arena's command line.
struct ArenaOptions
{
    std::vector<unsigned> greenLevels{0, 1, 2, 3, 4};
    std::vector<unsigned> blueLevels{0, 1, 2, 3, 4};
    int matches = 10; // per ordered pairing
    unsigned firstSeed = 1;
    int jobs = 0; // 0: one per core
    double capMinutes = 15.0;
    std::string csvPath;
    std::string catalogue; // empty: found as the game finds its data
    bool list = false;
    bool help = false;
    bool version = false;
    // --shard K/N: only the K-th of N disjoint slices of the matches.
    unsigned shard = 1;
    unsigned shards = 1;
    // --resume: play only the matches the CSV lacks, and add them to it.
    bool resume = false;
    // --merge: no matches played; the table (and --csv) from these shards' CSVs.
    bool merge = false;
    std::vector<std::string> mergePaths;
    // --partial: a merge goes on without the matches no file has.
    bool partial = false;
    // --pool: a merge of several tournaments played alike, each match counted once.
    bool pool = false;
    // --watch: show one match in the game's window instead of playing a tournament.
    bool watch = false;
    unsigned watchSeed = 0;

    int CapSteps() const;
};

// Reads the arguments after the program name; false with a one-line reason on a bad one.
bool ReadArenaOptions(const std::vector<std::string>& pArgs, ArenaOptions& pOut, std::string& pError);

const char* ArenaUsage();
