#pragma once

#include <string>
#include <vector>

// What a tournament plays and where it reports, as read from the arena's command line.
struct ArenaOptions
{
    std::vector<unsigned> greenLevels{0, 1, 2, 3};
    std::vector<unsigned> blueLevels{0, 1, 2, 3};
    int matches = 10; // per ordered pairing
    unsigned firstSeed = 1;
    int jobs = 0; // 0: one per core
    double capMinutes = 15.0;
    std::string csvPath;
    std::string catalogue; // empty: found as the game finds its data
    bool list = false;
    bool help = false;
    // --watch: show one match in the game's window instead of playing a tournament.
    bool watch = false;
    unsigned watchSeed = 0;

    int CapSteps() const;
};

// Reads the arguments after the program name; false with a one-line reason on a bad one.
bool ReadArenaOptions(const std::vector<std::string>& pArgs, ArenaOptions& pOut, std::string& pError);

const char* ArenaUsage();
