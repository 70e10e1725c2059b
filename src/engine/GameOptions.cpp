#include "engine/GameOptions.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace
{
bool Names(const char* pNames, const char* pArg)
{
    const size_t length = std::strlen(pArg);
    if (length == 0)
        return false;
    for (const char* name = pNames; (name = std::strstr(name, pArg)) != nullptr; name += length)
    {
        const bool starts = name == pNames || name[-1] == ' ';
        if (starts && (name[length] == '\0' || name[length] == ','))
            return true;
    }
    return false;
}

const GameOption* Find(const char* pArg)
{
    for (const GameOption& option : GameOptions())
    {
        if (pArg && Names(option.names, pArg))
            return &option;
    }
    return nullptr;
}
} // namespace

const std::vector<GameOption>& GameOptions()
{
    static const std::vector<GameOption> options = {
        {"-fullscreen", "", GameOption::NO_VALUE, "full screen at the display's own resolution"},
        {"-geometry", "WxH", GameOption::NEEDS_VALUE, "a window of W by H pixels for this run"},
        {"-nointro", "", GameOption::NO_VALUE, "skip the opening logo"},
        {"-debug", "", GameOption::NO_VALUE, "debug overlays and keys"},
        {"-vsync", "", GameOption::NO_VALUE, "wait for the display's refresh between frames"},
        {"-record", "[DIR]", GameOption::OPTIONAL_VALUE,
         "record every match as a replay in DIR (default: under XDG_DATA_HOME)"},
        {"-replay", "FILE", GameOption::NEEDS_VALUE, "play a replay in the window"},
        {"-seed", "N", GameOption::NEEDS_VALUE, "fill every match's random numbers from N, not the clock"},
        {"-levels", "G,B", GameOption::NEEDS_VALUE, "the Demo's levels for green and blue"},
        {"-watch", "", GameOption::NO_VALUE, "start straight into a computer-versus-computer match"},
        {"-host", "[PORT]", GameOption::OPTIONAL_VALUE, "wait for an opponent on UDP PORT (default 24680)"},
        {"-join", "HOST[:PORT]", GameOption::NEEDS_VALUE, "play against the host at HOST"},
        {"-observe", "HOST[:PORT]", GameOption::NEEDS_VALUE,
         "watch the match of the host at HOST (port 24681)"},
        {"-lobby", "[SERVER]", GameOption::OPTIONAL_VALUE,
         "open the Lobby screen, on SERVER[:PORT] (default: the one in the settings)"},
        {"-quiet-observers", "", GameOption::NO_VALUE, "hosting: observers' chat does not reach the players"},
        {"-once", "", GameOption::NO_VALUE, "end when the network match ends (status 1 if it failed)"},
        {"--help, -h, -help", "", GameOption::NO_VALUE, "print this text and exit"},
        {"--version", "", GameOption::NO_VALUE, "print the name and version and exit"},
    };
    return options;
}

std::string GameUsage()
{
    std::ostringstream text;
    text << "usage: ampwarden [options]\n"
            "A real-time strategy game of power networks and laser beams.\n\n";
    for (const GameOption& option : GameOptions())
    {
        std::string left = std::string(option.names) + (*option.value ? " " : "") + option.value;
        left.resize(std::max<size_t>(left.size() + 2, 24), ' ');
        text << "  " << left << option.help << '\n';
    }
    text << "\nOther arguments are ignored, each named on standard error. See ampwarden(6).\n";
    return text.str();
}

GameRequest ReadGameRequest(int pArgc, char** pArgv)
{
    GameRequest request = REQUEST_PLAY;
    for (int i = 1; pArgv && i < pArgc; ++i)
    {
        const GameOption* option = Find(pArgv[i]);
        if (option && Names(option->names, "--help"))
            return REQUEST_HELP;
        if (option && Names(option->names, "--version"))
            request = REQUEST_VERSION;
    }
    return request;
}

std::vector<std::string> IgnoredArguments(int pArgc, char** pArgv)
{
    std::vector<std::string> ignored;
    for (int i = 1; pArgv && i < pArgc; ++i)
    {
        const GameOption* option = Find(pArgv[i]);
        const char* next = i + 1 < pArgc ? pArgv[i + 1] : nullptr;
        if (!option)
            ignored.push_back(pArgv[i] ? pArgv[i] : "");
        else if (option->takes == GameOption::NEEDS_VALUE && next)
            ++i;
        else if (option->takes == GameOption::OPTIONAL_VALUE && next && next[0] != '-')
            ++i;
    }
    return ignored;
}
