#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/Levels.h"
#include "app/CommandLine.h"
#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"
#include "engine/Platform.h"

namespace
{

// Runs the command line reader over the given arguments and returns the options it added;
// the engine's option set is restored afterwards.
class CommandLineTest : public ::testing::Test
{
  protected:
    void SetUp() override { m_before = CGameEngine::Instance().GetOptions(); }
    void TearDown() override
    {
        CGameEngine& engine = CGameEngine::Instance();
        std::set<std::string> now = engine.GetOptions();
        for (const std::string& name : now)
            if (!m_before.count(name))
                engine.RemoveOption(name);
    }

    std::set<std::string> Read(std::vector<const char*> pArgs)
    {
        std::vector<char*> argv;
        for (const char* a : pArgs)
            argv.push_back(const_cast<char*>(a));
        ReadCommandLine(static_cast<int>(argv.size()), argv.data(), m_config);
        std::set<std::string> added;
        for (const std::string& name : CGameEngine::Instance().GetOptions())
            if (!m_before.count(name))
                added.insert(name);
        return added;
    }

    DisplayConfig m_config = DisplayConfig::Default();
    std::set<std::string> m_before;
};

TEST_F(CommandLineTest, PlainArgumentsLeaveTheGameWindowAsItIs)
{
    EXPECT_TRUE(Read({"ampwarden", "debug", "", "nointro"}).empty());
    EXPECT_EQ(m_config.width, 1024);
    EXPECT_EQ(m_config.height, 768);
    EXPECT_EQ(m_config.depth, 32);
    EXPECT_FALSE(m_config.fullscreen);
    EXPECT_EQ(m_config.iconPath, "AWIcon.bmp");
    EXPECT_EQ(m_config.caption, "Ampwarden");
}

TEST_F(CommandLineTest, FullscreenOnlyForTheExactSwitch)
{
    EXPECT_TRUE(Read({"ampwarden", "-fullscreen", "-fullscreen"}).empty());
    EXPECT_TRUE(m_config.fullscreen);

    m_config = DisplayConfig::Default();
    std::set<std::string> added = Read({"ampwarden", "-fullscreenX", "-FULLSCREEN", "-full"});
    EXPECT_FALSE(m_config.fullscreen);
    EXPECT_EQ(added, (std::set<std::string>{"fullscreenX", "FULLSCREEN", "full"}));
}

TEST_F(CommandLineTest, HyphenArgumentsBecomeCaseSensitiveOptionsWithoutTheHyphen)
{
    // The program path is read like any other argument.
    std::set<std::string> added = Read({"-debug", "x", "--x", "-", "-debug", "-NOINTRO"});
    EXPECT_EQ(added, (std::set<std::string>{"debug", "-x", "", "NOINTRO"}));
    EXPECT_FALSE(CGameEngine::Instance().HasOption("nointro"));

    // A set: the repeated option is gone after one removal.
    CGameEngine::Instance().RemoveOption("debug");
    EXPECT_FALSE(CGameEngine::Instance().HasOption("debug"));
}

TEST_F(CommandLineTest, MissingArgumentsAreHarmless)
{
    ReadCommandLine(0, nullptr, m_config);
    char* withHole[] = {const_cast<char*>("ampwarden"), nullptr, const_cast<char*>("-debug")};
    ReadCommandLine(3, withHole, m_config);
    EXPECT_TRUE(CGameEngine::Instance().HasOption("debug"));
    EXPECT_FALSE(m_config.fullscreen);
}

// The message names the range taken: the last level is, the one past it is not.
TEST_F(CommandLineTest, LevelsAreRefusedPastTheLevelTableAsTheMessageSays)
{
    std::string option = "-levels", past = "0," + std::to_string(LEVEL_COUNT), error;
    char* argv[] = {option.data(), past.data()};
    EXPECT_FALSE(ReadCommandLine(2, argv, m_config, &error));
    EXPECT_EQ("-levels needs green's and blue's level as G,B, each 0 to " + std::to_string(LEVEL_COUNT - 1),
              error);
    past = std::to_string(LEVEL_COUNT - 1) + ",2";
    argv[1] = past.data();
    EXPECT_TRUE(ReadCommandLine(2, argv, m_config, &error));
}

TEST(NativePathTest, BackslashesBecomeSlashes)
{
    EXPECT_EQ(NativePath("Data\\sprites\\cpu_green.png"), "Data/sprites/cpu_green.png");
    EXPECT_EQ(NativePath("Data/sounds\\End.wav"), "Data/sounds/End.wav");
    EXPECT_EQ(NativePath("AWIcon.bmp"), "AWIcon.bmp");
    EXPECT_EQ(NativePath(""), "");
    EXPECT_EQ(NativePath(nullptr), "");
}

} // namespace
