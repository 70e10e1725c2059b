#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include <fstream>
#include <sstream>
#include <string>

#include "arena/ArenaCsv.h"
#include "arena/ArenaPool.h"
#include "arena/ArenaRating.h"
#include "arena/MatchSlots.h"

namespace
{
ArenaTournament SmallTournament()
{
    ArenaTournament t;
    t.version = "9.9";
    t.data = "00112233aabbccdd";
    t.greenLevels = {0, 3};
    t.blueLevels = {2};
    t.firstSeed = 40;
    t.matches = 3;
    t.capSteps = 1000;
    return t;
}

// Results made up from the match, so that any row put in the wrong place shows.
ArenaOutcome Played(const ArenaMatchSetup& pSetup)
{
    ArenaOutcome o;
    o.setup = pSetup;
    o.result.winner = static_cast<int>(pSetup.seed + pSetup.greenLevel) % 4;
    o.result.steps = static_cast<int>(pSetup.seed * 10 + pSetup.greenLevel);
    o.result.built[1][2] = static_cast<int>(pSetup.seed);
    o.result.earned[2] = -5000000000ll;
    o.result.lost[1] = 2;
    o.result.hash = 0xfedcba9876543210ull ^ pSetup.seed;
    o.result.wallSeconds = 0.125;
    o.cpuSeconds = 3.5;
    if (pSetup.seed == 41 && pSetup.greenLevel == 3)
    {
        o.crashed = true;
        o.result = ArenaMatchResult();
        o.crash = "signal 6: Assertion failed: \"a, b\"";
    }
    return o;
}

// The CSV as the arena writes it, or as earlier versions did (the tournament line first).
std::string CsvOf(const ArenaTournament& pTournament, unsigned pShard, unsigned pShards,
                  bool pCommented = false)
{
    std::string text = pCommented ? TournamentLine(pTournament, pShard, pShards) + "\n" + CsvColumns() + "\n"
                                  : CsvColumns() + "," + TournamentColumns() + "\n";
    const std::string cells = pCommented ? "" : "," + TournamentCells(pTournament, pShard, pShards);
    for (const ArenaMatchSetup& setup : ShardMatches(TournamentMatches(pTournament), pShard, pShards))
        text += CsvRow(Played(setup)) + cells + "\n";
    return text;
}

std::string Save(const std::string& pName, const std::string& pText)
{
    const std::string path = testing::TempDir() + pName;
    std::ofstream(path, std::ios::binary) << pText;
    return path;
}
} // namespace

TEST(ArenaCsvTest, ShardsSplitEveryTournamentIntoDisjointWholes)
{
    const std::vector<ArenaMatchSetup> all = TournamentMatches(SmallTournament());
    ASSERT_EQ(6u, all.size());
    for (unsigned shards = 1; shards <= 8; ++shards)
    {
        CMatchSlots slots(all);
        for (unsigned shard = 1; shard <= shards; ++shard)
        {
            for (const ArenaMatchSetup& setup : ShardMatches(all, shard, shards))
                slots.Put(Played(setup)); // asserts that no match comes twice
        }
        EXPECT_TRUE(slots.Missing().empty()) << shards;
    }
    unsigned shard = 0;
    unsigned shards = 0;
    EXPECT_TRUE(ReadShard("3/3", shard, shards) && shard == 3 && shards == 3);
    for (const char* bad : {"0/3", "4/3", "1/0", "3", "/3", "1/", "1/3x", "-1/3", "1//3", ""})
        EXPECT_FALSE(ReadShard(bad, shard, shards)) << bad;
}

TEST(ArenaCsvTest, RowsReadBackAsWrittenUpToTheLastWholeRow)
{
    const std::string text = CsvOf(SmallTournament(), 1, 2);
    ArenaCsv csv;
    std::string error;
    ASSERT_TRUE(ParseArenaCsv(text, csv, error)) << error;
    EXPECT_EQ("", TournamentDifference(SmallTournament(), csv.tournament));
    EXPECT_EQ(2u, csv.shards);
    ASSERT_EQ(3u, csv.outcomes.size());
    EXPECT_TRUE(csv.outcomes[2].crashed); // seed 41, green 3
    EXPECT_EQ(text, CsvOf(csv.tournament, 1, 2));
    EXPECT_EQ(text.size(), csv.wholeBytes);
    // The older form, and the text as a spreadsheet saves it (CRLF, a byte-order mark), alike.
    std::string saved = "\xef\xbb\xbf";
    for (char c : text)
        saved += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& other : {CsvOf(SmallTournament(), 1, 2, true), saved})
    {
        ArenaCsv again;
        ASSERT_TRUE(ParseArenaCsv(other, again, error)) << error;
        EXPECT_EQ(text, CsvOf(again.tournament, again.shard, again.shards));
        EXPECT_EQ(CsvRow(csv.outcomes[2]), CsvRow(again.outcomes.at(2)));
    }
    ASSERT_TRUE(ParseArenaCsv(CsvColumns() + "," + TournamentColumns() + "\n", csv, error)) << error;
    EXPECT_FALSE(csv.named) << "no row, no tournament";

    // Cut anywhere inside the last row: the rows before it, and where it began.
    const size_t lastRow = text.rfind('\n', text.size() - 2) + 1;
    for (size_t cut = lastRow; cut < text.size(); cut += 7)
    {
        ASSERT_TRUE(ParseArenaCsv(text.substr(0, cut), csv, error)) << cut << error;
        EXPECT_EQ(2u, csv.outcomes.size());
        EXPECT_EQ(lastRow, csv.wholeBytes);
    }
}

TEST(ArenaCsvTest, AnythingButTheArenasCsvIsRefusedWithItsLine)
{
    const std::string head =
        CsvOf(SmallTournament(), 1, 1, true).substr(0, CsvOf(SmallTournament(), 1, 1, true).find("40,"));
    const std::string good = CsvRow(Played({40, 0, 2, 1000}));
    const std::string columns = CsvColumns() + "," + TournamentColumns() + "\n";
    const std::string cells = "," + TournamentCells(SmallTournament(), 1, 1);
    const struct
    {
        std::string text;
        const char* where;
    } bad[] = {
        {"", "cut off"},
        {"seed,green\n", "line 1"},
        {"# ampwarden-arena tournament: version=1 data=x green=0,0 blue=1 seed=1 matches=1 cap_steps=1 "
         "shard=1/1\n",
         "line 1"}, // a level twice
        {"# ampwarden-arena tournament: version=1 data=x green=0 blue=1 seed=1 matches=1 cap_steps=1\n",
         "line 1"},
        {head.substr(0, head.find('\n') + 1) + "seed,winner\n", "line 2"},
        {head + good + "\n\n", "line 4"},
        {head + good.substr(0, good.size() - 3) + "\n", "line 3"}, // a column short
        {head + good + ",1\n", "line 3"},
        {head + "40,0,2,nobody" + good.substr(good.find(",", 7 + 1)) + "\n", "line 3"},
        {head + "40,0,99" + good.substr(6) + "\n", "line 3"}, // no such level
        {head + "40,0,2,blue,-5" + good.substr(good.find(",", 17)) + "\n", "line 3"},
        {head + good.substr(0, good.find("\"\"")) + "\"unended" + "\n", "line 3"},
        {head + good.substr(0, good.find("\"\"")) + "\"\"x,0,0,0,0\n", "line 3"},
        {head + good.substr(0, good.find("\"\"")) + "\"a crash\",0,0,0,0\n", "line 3"}, // not a crash row
        {columns + good + "\n", "line 2: not a match's row"},                           // no tournament
        {columns + good + cells.substr(0, cells.rfind(',')) + ",2/1\n", "line 2: not a match's row"},
        {columns + good + ",x" + cells.substr(cells.find(',', 1)) + "\n", "line 2: not a match's row"},
        {columns + good + cells + "\n" + good + ",2" + cells.substr(cells.find(',', 1)) + "\n",
         "line 3: another tournament than the rows above (rules 2, not 1)"},
    };
    for (const auto& b : bad)
    {
        ArenaCsv csv;
        std::string error;
        EXPECT_FALSE(ParseArenaCsv(b.text, csv, error)) << b.text;
        EXPECT_EQ(0u, error.find(b.where)) << error << "\n" << b.text;
    }
}

TEST(ArenaCsvTest, MergeRefusesMissingTwiceGivenConflictingAndForeignMatchesNamingTheFile)
{
    const ArenaTournament t = SmallTournament();
    const std::string one = Save("shard1.csv", CsvOf(t, 1, 2));
    const std::string two = Save("shard2.csv", CsvOf(t, 2, 2));
    ArenaTournament merged;
    std::vector<ArenaOutcome> outcomes;
    std::string error;
    ASSERT_TRUE(MergeArenaCsvs({two, one}, merged, outcomes, error)) << error;
    ASSERT_EQ(6u, outcomes.size());
    const std::vector<ArenaMatchSetup> all = TournamentMatches(t);
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(CsvRow(Played(all[i])), CsvRow(outcomes[i])) << i;

    ArenaTournament otherCap = t;
    otherCap.capSteps = 2000;
    std::string conflicting = CsvOf(t, 1, 2);
    conflicting.replace(conflicting.find("40,0,2,undecided"), 16, "40,0,2,green");
    std::string again = CsvOf(t, 2, 2);
    again += again.substr(again.rfind('\n', again.size() - 2) + 1);
    const std::string head = CsvOf(t, 1, 1, true).substr(0, CsvOf(t, 1, 1, true).find("40,"));
    const std::string foreign = Save("foreign.csv", head + CsvRow(Played({43, 0, 2, 1000})) + "\n");
    // Either form, and a shard with no row yet, merge alike.
    const std::string older = Save("older.csv", CsvOf(t, 2, 2, true));
    const std::string empty = Save("empty.csv", CsvColumns() + "," + TournamentColumns() + "\n");
    ASSERT_TRUE(MergeArenaCsvs({empty, older, one}, merged, outcomes, error)) << error;
    EXPECT_EQ(6u, outcomes.size());
    // A partial merge keeps what the files hold and counts the rest.
    size_t missing = 0;
    ASSERT_TRUE(MergeArenaCsvs({one}, merged, outcomes, error, &missing)) << error;
    EXPECT_EQ(3u, outcomes.size());
    EXPECT_EQ(3u, missing);
    ArenaTournament otherRules = t;
    otherRules.rules = 2;
    // Read as replays are: a FIFO would hang, a device read for ever, a NUL end a row early in C.
    const std::string fifo = testing::TempDir() + "fifo.csv";
    std::remove(fifo.c_str());
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    std::string nul = CsvOf(t, 1, 2);
    nul.replace(nul.find("40,0,2,"), 3, std::string("40\0x,", 5));
    const struct
    {
        std::vector<std::string> files;
        std::string message;
    } bad[] = {
        {{one}, "no file has the match seed 41 green 0 blue 2, of shard 2/2 (3 matches missing)"},
        {{one, Save("cap.csv", CsvOf(otherCap, 2, 2))},
         testing::TempDir() + "cap.csv: another tournament than " + one + "'s (cap_steps 2000, not 1000)"},
        {{one, two, one}, one + " line 2: seed 40 green 0 blue 2 again, as in " + one + " line 2"},
        {{Save("again.csv", again), one},
         testing::TempDir() + "again.csv line 5: seed 42 green 3 blue 2 again"},
        {{one, Save("conflict.csv", conflicting)},
         testing::TempDir() + "conflict.csv line 2: seed 40 green 0 blue 2 with another result, as in " +
             one},
        {{testing::TempDir() + "none.csv"},
         testing::TempDir() + "none.csv: cannot read it: No such file or directory"},
        {{empty}, "no file has a match, so none names its tournament"},
        {{older, Save("rules.csv", CsvOf(otherRules, 1, 2))},
         testing::TempDir() + "rules.csv: another tournament than " + older + "'s (rules 2, not 1)"},
        {{one, two, Save("cut.csv", "# ampwarden-arena tour")}, testing::TempDir() + "cut.csv: cut off"},
        {{two, foreign}, foreign + " line 3: seed 43 green 0 blue 2 is not a match of this tournament"},
        {{fifo}, fifo + ": not a regular file"},
        {{"/dev/zero"}, "/dev/zero: not a regular file"},
        {{testing::TempDir()}, testing::TempDir() + ": a folder, not a file"},
        {{Save("nul.csv", nul)}, testing::TempDir() + "nul.csv: line 2: a NUL byte"},
    };
    for (const auto& b : bad)
    {
        EXPECT_FALSE(MergeArenaCsvs(b.files, merged, outcomes, error)) << b.message;
        EXPECT_EQ(0u, error.find(b.message)) << error;
        EXPECT_EQ(std::string::npos, error.find('\n'));
    }
    std::remove(fifo.c_str());
}

// Tournaments of other levels, seeds and match counts pool into what one tournament holding
// the same matches gives; a match given twice counts once, or is refused if its results differ.
TEST(ArenaCsvTest, PooledTournamentsRateAsOneHoldingTheSameMatches)
{
    const ArenaTournament whole = SmallTournament();
    ArenaTournament first = whole, later = whole, early = whole, otherCap = whole;
    first.greenLevels = {0};
    later.firstSeed = 41; // seeds 41 and 42 of both levels: level 0's again
    later.matches = 2;
    early.greenLevels = {3};
    early.matches = 1;
    otherCap.capSteps = 2000;
    const std::string a1 = Save("pool-a1.csv", CsvOf(first, 1, 2));
    const std::string a2 = Save("pool-a2.csv", CsvOf(first, 2, 2));
    const std::string b = Save("pool-b.csv", CsvOf(later, 1, 1));
    ArenaPool pool;
    std::string error;
    ASSERT_TRUE(PoolArenaCsvs({a1, b, Save("pool-c.csv", CsvOf(early, 1, 1, true)), a2}, false, pool, error))
        << error;
    EXPECT_EQ(2u, pool.duplicates);
    ArenaTournament merged;
    std::vector<ArenaOutcome> one;
    ASSERT_TRUE(MergeArenaCsvs({Save("pool-whole.csv", CsvOf(whole, 1, 1))}, merged, one, error)) << error;
    std::ostringstream pooled, alone;
    WriteRatings(pooled, FitRatings(GatherResults(pool.outcomes), 0));
    WriteRatings(alone, FitRatings(GatherResults(one), 0));
    EXPECT_EQ(alone.str(), pooled.str());

    std::string conflicting = CsvOf(later, 1, 1);
    conflicting.replace(conflicting.find("42,0,2,blue"), 11, "42,0,2,green");
    EXPECT_FALSE(PoolArenaCsvs({a1, a2, Save("pool-conflict.csv", conflicting)}, false, pool, error));
    EXPECT_EQ(testing::TempDir() +
                  "pool-conflict.csv line 3: seed 42 green 0 blue 2 with another result than in " + a1 +
                  " line 3",
              error);
    EXPECT_FALSE(PoolArenaCsvs({a1, a2, Save("pool-cap.csv", CsvOf(otherCap, 1, 1))}, false, pool, error));
    EXPECT_EQ(testing::TempDir() + "pool-cap.csv: not played as " + a1 + " was (cap_steps 2000, not 1000)",
              error);
    // A tournament cut short (a2 not given) needs --partial, as a merge does.
    EXPECT_FALSE(PoolArenaCsvs({a1, b}, false, pool, error));
    ASSERT_TRUE(PoolArenaCsvs({a1, b}, true, pool, error)) << error;
    EXPECT_EQ(1u, pool.missing);
}
