#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

#include "ui/ReplayList.h"

namespace
{
const char* const DATA = "00112233445566aa";

std::string Replay(int pDay, int pSecond, bool pHuman, int pSteps, const char* pWinner, int pRules,
                   bool pEnded)
{
    CReplayHeader header;
    header.program = "9.9";
    header.rules = pRules;
    header.data = DATA;
    header.seed = 7;
    char date[40];
    std::snprintf(date, sizeof date, "2026-11-%02dT10:%02d:%02dZ", pDay, pSecond / 60, pSecond % 60);
    header.date = date;
    header.sides[0] = CReplaySide{!pHuman, 0, pHuman ? "Ada" : ""};
    header.sides[1] = CReplaySide{true, 4, ""};
    std::string text = FormatHeader(header) + FormatCheck(64, 1) + FormatCheck(128, 2);
    // A recording cut short ends at its last checkpoint.
    return text + (pEnded ? FormatEnd(pSteps, pWinner, 3) : FormatCheck(192, 4));
}
} // namespace

TEST(ReplayList, AFolderOfHundredsWithBrokenOnesListsEveryFileNewestFirst)
{
    char name[] = "/tmp/aw_replay_list.XXXXXX";
    const std::string folder = mkdtemp(name);
    const CReplayExpect here{1, DATA};
    int written = 0;
    auto write = [&](const std::string& pFile, const std::string& pText)
    {
        std::ofstream(folder + "/" + pFile, std::ios::binary) << pText;
        ++written;
    };
    for (int i = 0; i < 280; ++i)
    {
        const bool human = i % 3 == 0;
        write("good" + std::to_string(i) + ".replay",
              Replay(1 + i % 28, i, human, 200 + 7 * i, i % 2 ? "green" : "blue", 1, i % 10 != 5));
    }
    write("old.replay", Replay(29, 0, true, 500, "tie", 7, true));
    write("empty.replay", "");
    write("binary.replay", std::string("\0\x01\x02\xff", 4));
    write("half-header.replay", "ampwarden-replay 1\nprogram 9.9\n");
    write("long-line.replay", std::string(5000, 'x') + "\n");
    write("not-a-replay.txt", "ignored");
    mkdir((folder + "/folder.replay").c_str(), 0755);

    const std::vector<CReplayEntry> all = ListReplays(folder, here);
    ASSERT_EQ(static_cast<size_t>(written - 1 + 1), all.size()) << "every .replay, the folder among them";
    // Files that cannot be read go by their own time, today; the rest by the date recorded.
    const CReplayEntry& old = all[5];
    EXPECT_EQ(folder + "/old.replay", old.path) << "the newest date first";
    EXPECT_FALSE(old.playable);
    EXPECT_NE(std::string::npos, old.why.find("rules")) << old.why;
    EXPECT_EQ("Tie", old.result);
    int unreadable = 0;
    int cutShort = 0;
    for (size_t i = 0; i < all.size(); ++i)
    {
        if (i > 0 && all[i].readable && all[i - 1].readable)
        {
            EXPECT_GE(all[i - 1].date, all[i].date);
        }
        if (!all[i].readable)
        {
            ++unreadable;
            EXPECT_FALSE(all[i].why.empty()) << all[i].path;
            EXPECT_NE(std::string::npos, DescribeReplay(all[i]).find("unreadable")) << all[i].path;
        }
        if (all[i].result == "Cut short")
        {
            ++cutShort;
            EXPECT_EQ(192, all[i].steps);
        }
    }
    EXPECT_EQ(5, unreadable);
    EXPECT_EQ(28, cutShort);

    const std::vector<CReplayEntry> mine = ArrangeReplays(all, ORDER_LONGEST, true);
    ASSERT_EQ(size_t(94 + 1), mine.size());
    EXPECT_EQ(200 + 7 * 279, mine[0].steps) << "the longest first";
    EXPECT_EQ("Ada", mine[0].sides[0]) << "the name the header gives";
    EXPECT_EQ("Computer (Expert)", mine[0].sides[1]);
    EXPECT_TRUE(mine[0].playable) << mine[0].why;
    EXPECT_EQ("0:34", FormatLength(mine[0].steps));
    EXPECT_EQ("?", FormatLength(-1));
    std::string removeAll = "rm -rf '" + folder + "'";
    EXPECT_EQ(0, std::system(removeAll.c_str()));
}
