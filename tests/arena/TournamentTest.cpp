#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "arena/ArenaOptions.h"
#include "arena/ArenaReport.h"
#include "arena/Tournament.h"
#include "engine/Assert.h"

namespace
{
std::vector<ArenaMatchSetup> Seeds(unsigned pFirst, unsigned pCount)
{
    std::vector<ArenaMatchSetup> matches;
    for (unsigned i = 0; i < pCount; ++i)
    {
        ArenaMatchSetup setup;
        setup.seed = pFirst + i;
        setup.greenLevel = i % 4;
        setup.blueLevel = 3 - i % 4;
        matches.push_back(setup);
    }
    return matches;
}

// Made-up results from the seed alone; seed 3 fails an assertion, seed 5 dies by a signal.
ArenaMatchResult FakeMatch(const ArenaMatchSetup& pSetup)
{
    AW_ASSERT(pSetup.seed != 3);
    if (pSetup.seed == 5)
        std::abort();
    ArenaMatchResult result;
    result.winner = static_cast<int>(pSetup.seed % 4);
    result.steps = static_cast<int>(pSetup.seed * 1000);
    result.hash = 0x1000ull * pSetup.seed + 0xabc;
    result.built[1][TOOL_BEAM] = static_cast<int>(pSetup.seed);
    result.built[2][TOOL_ABSORBER] = 7;
    // Beyond 32 bits, as an extractor's earnings over a long match can be.
    result.earned[1] = 1000000000LL * pSetup.seed;
    result.lost[2] = 3;
    return result;
}
} // namespace

TEST(TournamentTest, CrashesAreThatMatchsResultAndOutcomesDoNotDependOnJobs)
{
    const std::vector<ArenaMatchSetup> matches = Seeds(1, 7);
    size_t lastDone = 0;
    std::vector<ArenaOutcome> one = RunTournament(
        matches, 1,
        [&](size_t pDone, size_t pTotal, const ArenaOutcome& pEnded)
        {
            EXPECT_EQ(pEnded.setup.seed == 3 || pEnded.setup.seed == 5, pEnded.crashed);
            EXPECT_EQ(lastDone + 1, pDone);
            EXPECT_EQ(7u, pTotal);
            lastDone = pDone;
        },
        FakeMatch);
    EXPECT_EQ(7u, lastDone);
    std::vector<ArenaOutcome> three = RunTournament(matches, 3, nullptr, FakeMatch);
    ASSERT_EQ(7u, one.size());
    ASSERT_EQ(7u, three.size());
    for (size_t i = 0; i < one.size(); ++i)
    {
        const unsigned seed = matches[i].seed;
        for (const std::vector<ArenaOutcome>* run : {&one, &three})
        {
            const ArenaOutcome& o = (*run)[i];
            EXPECT_EQ(seed, o.setup.seed);
            EXPECT_EQ(seed == 3 || seed == 5, o.crashed) << seed;
            if (o.crashed)
                continue;
            ArenaMatchResult expected = FakeMatch(o.setup);
            EXPECT_EQ(expected.hash, o.result.hash);
            EXPECT_EQ(expected.winner, o.result.winner);
            EXPECT_EQ(expected.steps, o.result.steps);
            EXPECT_EQ(static_cast<int>(seed), o.result.built[1][TOOL_BEAM]);
            EXPECT_EQ(7, o.result.built[2][TOOL_ABSORBER]);
            EXPECT_EQ(expected.earned[1], o.result.earned[1]);
            EXPECT_EQ(3, o.result.lost[2]);
        }
    }
    EXPECT_EQ(0u, one[2].crash.find("signal 6: Assertion failed: pSetup.seed != 3, file TournamentTest.cpp"));
    EXPECT_EQ("signal 6", three[4].crash);
}

TEST(TournamentTest, ResultLinesRoundTripAndAnythingElseIsRefused)
{
    ArenaMatchResult result = FakeMatch(Seeds(6, 1)[0]);
    ArenaMatchResult back;
    ASSERT_TRUE(ParseResultLine(FormatResultLine(result), back));
    EXPECT_EQ(FormatResultLine(result), FormatResultLine(back));
    for (const char* bad : {"", "RESULT", "RESULT 1 2 0123456789abcdef 0.5 1 2 3 4 5 6 7 8 9",
                            "RESULT 1 2 0123456789abcdef 0.5 1 2 3 4 5 6 7 8 9 10 11 12 13",
                            "RESULT 1 2 0123456789abcdef 0.5 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15",
                            "RESULT 9 2 0123456789abcdef 0.5 1 2 3 4 5 6 7 8 9 10 11 12 13 14",
                            "RESULT 1 2 0123456789abcdeg 0.5 1 2 3 4 5 6 7 8 9 10 11 12 13 14",
                            "Assertion failed: x, file y, line 3"})
        EXPECT_FALSE(ParseResultLine(bad, back)) << bad;
}

TEST(TournamentTest, CsvHasAColumnForEverythingAMatchReports)
{
    std::vector<ArenaOutcome> outcomes(2);
    outcomes[0].setup = Seeds(6, 1)[0];
    outcomes[0].result = FakeMatch(outcomes[0].setup);
    outcomes[0].result.wallSeconds = 0.25;
    outcomes[0].cpuSeconds = 1.5;
    outcomes[1].setup = Seeds(3, 1)[0];
    outcomes[1].crashed = true;
    outcomes[1].crash = "signal 6: \"x\"";
    std::ostringstream csv;
    WriteCsv(csv, outcomes);
    EXPECT_EQ(
        "seed,green_level,blue_level,winner,steps,green_extenders,green_beams,green_shields,"
        "green_extractors,green_absorbers,blue_extenders,blue_beams,blue_shields,blue_extractors,"
        "blue_absorbers,hash,wall_seconds,cpu_seconds,crash,green_energy_earned,blue_energy_earned,"
        "green_nodes_lost,blue_nodes_lost\n"
        "6,0,3,blue,6000,0,6,0,0,0,0,0,0,0,7,0000000000006abc,0.250,1.500,\"\",6000000000,0,0,3\n"
        "3,0,3,crash,0,0,0,0,0,0,0,0,0,0,0,0000000000000000,0.000,0.000,\"signal 6: \"\"x\"\"\",0,0,0,0\n",
        csv.str());

    std::ostringstream table;
    WriteWinTable(table, outcomes, {0}, {3});
    EXPECT_NE(std::string::npos, table.str().find("Very Easy     0-1-0 CRASH 1  1:36")) << table.str();
}

TEST(TournamentTest, OptionsAreReadOrRefusedWithAReason)
{
    ArenaOptions options;
    std::string error;
    ASSERT_TRUE(ReadArenaOptions({"--levels", "1,3", "--matches", "5", "--seed", "100", "--jobs", "3",
                                  "--cap-minutes", "2.5", "--csv", "out.csv", "--list"},
                                 options, error))
        << error;
    EXPECT_EQ(std::vector<unsigned>({1, 3}), options.greenLevels);
    EXPECT_EQ(std::vector<unsigned>({1, 3}), options.blueLevels);
    EXPECT_EQ(5, options.matches);
    EXPECT_EQ(100u, options.firstSeed);
    EXPECT_EQ(3, options.jobs);
    EXPECT_EQ(9375, options.CapSteps());
    EXPECT_EQ("out.csv", options.csvPath);
    EXPECT_TRUE(options.list);

    const std::vector<std::vector<std::string>> bad = {{"--levels", "1,99"},
                                                       {"--levels", "1,,2"},
                                                       {"--levels", ""},
                                                       {"--matches", "0"},
                                                       {"--matches", "x"},
                                                       {"--seed", "-1"},
                                                       {"--jobs", "0"},
                                                       {"--cap-minutes", "nan"},
                                                       {"--cap-minutes", "-1"},
                                                       {"--frobnicate"},
                                                       {"--csv"},
                                                       {"--watch", "5"},
                                                       {"--seed", "4294967296"},
                                                       {"--levels", "1,1"},
                                                       {"--shard", "3/2"},
                                                       {"--resume"},
                                                       {"--merge"},
                                                       {"--merge", "a.csv", "--seed", "3"},
                                                       {"--pool"},
                                                       {"--merge", "a.csv", "--pool", "--csv", "b.csv"}};
    for (const std::vector<std::string>& args : bad)
    {
        ArenaOptions fresh;
        error.clear();
        EXPECT_FALSE(ReadArenaOptions(args, fresh, error)) << args[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(std::string::npos, error.find('\n'));
    }
    ArenaOptions split;
    ASSERT_TRUE(ReadArenaOptions({"--shard", "2/3", "--resume", "--csv", "s.csv"}, split, error));
    EXPECT_TRUE(split.resume && split.shard == 2 && split.shards == 3);
    ArenaOptions merge;
    ASSERT_TRUE(ReadArenaOptions({"--merge", "a.csv", "b.csv", "--csv", "all.csv", "--list"}, merge, error));
    EXPECT_EQ(std::vector<std::string>({"a.csv", "b.csv"}), merge.mergePaths);
    EXPECT_TRUE(merge.merge && merge.list && merge.csvPath == "all.csv");
    ArenaOptions watch;
    ASSERT_TRUE(ReadArenaOptions({"--watch", "12", "--green", "0", "--blue", "3"}, watch, error));
    EXPECT_EQ(12u, watch.watchSeed);
    EXPECT_EQ("/g -nointro -watch -seed 12 -levels 0,3", WatchCommand("/g", {12, 0, 3, 1}));
}

TEST(TournamentTest, EveryLevelIsReadAndNamedInTheTable)
{
    ArenaOptions options;
    std::string error;
    ASSERT_TRUE(ReadArenaOptions({"--levels", "0,1,2,3,4"}, options, error)) << error;
    std::ostringstream table;
    WriteWinTable(table, {}, options.greenLevels, options.blueLevels);
    for (const char* name : {"Very Easy", "Easy", "Normal", "Hard", "Expert"})
        EXPECT_NE(std::string::npos, table.str().find(std::string("\n") + name + " ")) << table.str();
}
