#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/GameOptions.h"

namespace
{
struct Case
{
    std::vector<const char*> args; // after the program's name
    GameRequest request;
    std::vector<std::string> ignored;
};

TEST(GameOptionsTest, HelpAndVersionAreFoundAndOnlyUnknownArgumentsAreIgnored)
{
    const std::vector<Case> cases = {
        {{"-nointro", "-seed", "5", "-levels", "1,2", "-watch"}, REQUEST_PLAY, {}},
        {{"-record", "-debug", "x"}, REQUEST_PLAY, {"x"}},       // -record's folder is optional
        {{"-record", "dir", "-host", "9000"}, REQUEST_PLAY, {}}, // ... and -host's port
        {{"-join", "[::1]:5", "-vsync", "-fullscreen"}, REQUEST_PLAY, {}},
        {{"-FULLSCREEN", "", "--x", "-", "foo", "-he", "--helpx", "-replay"},
         REQUEST_PLAY,
         {"-FULLSCREEN", "", "--x", "-", "foo", "-he", "--helpx"}},
        {{"-nointro", "--version"}, REQUEST_VERSION, {}},
        {{"--version", "-h"}, REQUEST_HELP, {}},
        {{"-help"}, REQUEST_HELP, {}},
        {{"--help", "bogus"}, REQUEST_HELP, {"bogus"}},
    };
    for (const Case& c : cases)
    {
        std::vector<char*> argv{const_cast<char*>("ampwarden")};
        for (const char* arg : c.args)
            argv.push_back(const_cast<char*>(arg));
        const int argc = static_cast<int>(argv.size());
        EXPECT_EQ(c.request, ReadGameRequest(argc, argv.data())) << c.args[0];
        EXPECT_EQ(c.ignored, IgnoredArguments(argc, argv.data())) << c.args[0];
    }
}
} // namespace
