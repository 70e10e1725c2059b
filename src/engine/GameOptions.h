#pragma once

#include <string>
#include <vector>

// The game's options as --help lists them and the command line takes them; anything else
// on the command line is ignored, and named so.
struct GameOption
{
    enum Value
    {
        NO_VALUE,
        NEEDS_VALUE,
        OPTIONAL_VALUE, // the next argument, unless it starts with '-'
    };
    const char* names; // "-seed", or several as "--help, -h, -help"
    const char* value; // as --help shows it, e.g. "N"; empty when there is none
    Value takes;
    const char* help;
};

const std::vector<GameOption>& GameOptions();

std::string GameUsage();

enum GameRequest
{
    REQUEST_PLAY,
    REQUEST_HELP,
    REQUEST_VERSION,
};

// Help or the version, when any argument asks for them (help first); else play.
GameRequest ReadGameRequest(int pArgc, char** pArgv);

// The arguments (after the program's name) that are neither an option nor an option's value.
std::vector<std::string> IgnoredArguments(int pArgc, char** pArgv);
