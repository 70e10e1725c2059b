#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include <dirent.h>

#include "ai/Levels.h"
#include "engine/Version.h"
#include "nodes/MainNode.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayVerify.h"
#include "world/ChatBoard.h"
#include "world/MatchHash.h"
#include "world/MatchObserver.h"
#include "world/WorldTestSupport.h"

namespace
{
struct CHashLog : CMatchObserver
{
    void OnStepRun(CGameWorld& pWorld) override { hashes.push_back(HashMatchState(pWorld)); }
    std::vector<uint64_t> hashes;
};

std::string Read(const std::string& pPath)
{
    std::stringstream text;
    text << std::ifstream(pPath).rdbuf();
    return text.str();
}

Strings Files(const std::string& pFolder)
{
    Strings files;
    if (DIR* dir = opendir(pFolder.c_str()))
    {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.')
                files.push_back(pFolder + "/" + entry->d_name);
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

class ReplayTest : public WorldTest
{
  protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        World().m_viewCentre = CVector2(472.0f, 315.0f);
        // Each test in each process its own folder: ctest runs them side by side.
        m_folder = testing::TempDir() + "replays-" + std::to_string(getpid()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void TearDown() override
    {
        for (const std::string& file : Files(m_folder))
            std::remove(file.c_str());
        rmdir(m_folder.c_str());
        World().m_seedEveryMatch = false;
        World().m_driver = nullptr;
        World().m_notice.clear();
        WorldTest::TearDown();
    }
    static void Click(float pX, float pY)
    {
        for (bool pressed : {true, false})
            World().OnMouseButton(1, pressed, static_cast<int>(pX) + 40, 699 - static_cast<int>(pY));
    }
    static void Key(int pSym) { World().OnKey(pSym, 0, true); }
    // A menu match on a fixed seed, played with the mouse and the debug keys, with and
    // without a recorder: builds, one refused by the rules, an energy fill, a destroy, and a
    // restart into a second match. The hashes after every step of both matches.
    std::vector<uint64_t> PlayScript(CReplayRecorder* pRecorder)
    {
        CGameWorld& w = World();
        CGameEngine::Instance().AddOption("debug");
        w.SetMatchSeed(4242);
        if (pRecorder)
            pRecorder->Attach(w);
        w.ClearMatch();
        w.NewMatch();
        w.GetTeam(2).GetAI()->SetDifficulty(1);
        CHashLog log;
        w.AddObserver(&log);
        Key('1');
        Click(240, 315);
        Steps(3);
        Click(240, 250); // refused: the extender's cooldown runs and the stock is spent
        Steps(100);
        Key('c');
        Key('5');
        Click(158, 270);
        w.OnMouseMove(240 + 40, 699 - 315);
        Key('d');
        Steps(227);
        Key('r');
        Steps(70);
        if (pRecorder)
            pRecorder->Detach(w);
        w.RemoveObserver(&log);
        return log.hashes;
    }
    // What --verify says of the text, or why it refuses it, after its exit status (0 or 1).
    std::string Verify(const std::string& pText)
    {
        const std::string path = m_folder + "/case.replay";
        std::ofstream(path, std::ios::binary) << pText;
        CReplay replay;
        std::string why;
        if (!LoadReplay(path, ExpectedHere("Data/resources.xml"), replay, why))
            return "1 " + why;
        const CReplayCheck check = CheckReplay(replay);
        return (check.agrees ? "0 " : "1 ") + CheckLine("f", replay, check);
    }
    std::string m_folder;
};

std::string Hex(uint64_t pHash)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(pHash));
    return text;
}

std::string Replace(std::string pText, const std::string& pFrom, const std::string& pTo)
{
    const size_t at = pText.find(pFrom);
    return at == std::string::npos ? "(no " + pFrom + ")" : pText.replace(at, pFrom.size(), pTo);
}
} // namespace

TEST_F(ReplayTest, RecordingChangesNothingAndTheReplayAgreesAtEveryStepRefusalsIncluded)
{
    const std::vector<uint64_t> bare = PlayScript(nullptr);
    const int liveFails = Count("sound:BuildFail");
    m_log.clear();
    CReplayRecorder recorder(m_folder);
    EXPECT_EQ(bare, PlayScript(&recorder)) << "the same match with and without a recorder";
    EXPECT_EQ(liveFails, Count("sound:BuildFail"));
    ASSERT_GE(liveFails, 1);

    // The restart ended one file and began the next; both play back step for step.
    const Strings files = Files(m_folder);
    ASSERT_EQ(2u, files.size());
    const std::string first = Read(files[0]);
    EXPECT_NE(std::string::npos, first.find("\nblue computer 1\ndemo 0\nwatched 0\ncmd 0 build green tool "
                                            "extender at 240.5 315 aim 240.5 315 node 11\n"))
        << first;
    EXPECT_NE(std::string::npos, Read(files[1]).find("\nblue computer 100\n"));
    EXPECT_NE(std::string::npos, first.find("\nend 330 none "));
    size_t at = 0;
    for (const std::string& file : files)
    {
        CReplay replay;
        std::string why;
        ASSERT_TRUE(LoadReplay(file, ExpectedHere("Data/resources.xml"), replay, why)) << why;
        m_log.clear();
        const CReplayCheck check = CheckReplay(replay,
                                               [&](CGameWorld& pWorld)
                                               {
                                                   if (pWorld.m_matchSteps > 0)
                                                   {
                                                       EXPECT_EQ(bare.at(at++), HashMatchState(pWorld));
                                                   }
                                                   return true;
                                               });
        EXPECT_TRUE(check.agrees) << CheckLine(file, replay, check);
        if (file == files[0])
        {
            EXPECT_EQ(liveFails, Count("sound:BuildFail")) << "refused as it was live";
        }
    }
    EXPECT_EQ(bare.size(), at);
}

TEST_F(ReplayTest, BadFilesAreRefusedAtTheirLineAndTamperingAtTheNextCheckpoint)
{
    CReplayRecorder recorder(m_folder);
    recorder.Attach(World());
    World().ClearMatch();
    World().NewMatch();
    Key('1');
    Click(240, 315);
    Steps(150);
    const std::string plainHash = Hex(HashMatchState(World()));
    recorder.Detach(World());
    const std::string good = Read(recorder.GetPath());
    ASSERT_EQ(0u, Verify(good).find("0 f: ok, 150 steps")) << Verify(good);
    const std::string fifo = m_folder + "/fifo";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    CReplay unused;
    std::string why;
    EXPECT_FALSE(LoadReplay(fifo, CReplayExpect(), unused, why));
    EXPECT_NE(std::string::npos, why.find("not a regular file")) << why;

    const std::string build = "cmd 0 build green tool extender at 240.5 315";
    const std::string rules = "rules " + std::to_string(RULES_VERSION) + " ";
    const std::string rulesLine = good.substr(good.find(rules), good.find("\ndata ") + 1 - good.find(rules));
    // As the builds before the rules line wrote it, their end line hashing the board alone.
    const std::string endHash = good.substr(good.rfind(' ') + 1, 16);
    const std::string older =
        Replace(Replace(Replace(good, "replay 3\n", "replay 1\n"), rulesLine, ""), endHash, plainHash);
    const std::string here = "this build plays " + ThisBuild();
    const struct
    {
        std::string text;
        std::string said;
    } cases[] = {
        {Replace(good, "replay 3\n", "replay 4\n"), "line 1: format version 4, this program reads 1 to 3"},
        {Replace(good, rules, "rules 7 "), "1 line 3: recorded with rules 7 (" +
                                               std::string(ProgramVersion()) + ", commit " +
                                               (*BuildCommit() ? BuildCommit() : "unknown") + "), " + here},
        {Replace(good, rules, "rules x "), "line 3: a bad rules version"},
        {Replace(good, rulesLine, rules + "0123456789ab-modified\n"), "0 f: ok, 150 steps"},
        {Replace(good, rulesLine, rules + "0123456789ab-dirty\n"), "line 3: a bad commit"},
        {Replace(good, "program ", "program 0."), "0 f: ok, 150 steps"}, // the rules decide, not the version
        // Played by rules 1 while this build plays them, refused after.
        {older,
         RULES_VERSION == 1 ? "0 f: ok, 150 steps, winner none, hash" : "1 line 2: recorded with rules 1 ("},
        {Replace(good, "data ", "data f"), "line 4: a bad data fingerprint"},
        {Replace(good, "data ", "data 0123456789abcdef\nx"), "line 4: recorded with other data"},
        {good.substr(0, good.find("date")), "line 6: the file ends inside the header"},
        {"\x7f"
         "ELF\x01\x02\n",
         "line 1: not text"},
        {"\xef\xbb\xbf" + good, "1 line 1: a byte-order mark before the first line"},
        {Replace(good, "\n", "\r\n"), "1 line 1: a CRLF line end"},
        {"<html>\n", "line 1: not a replay"},
        {Replace(good, "\nend ", "\ncmd 9999 energy green\nend "),
         "line 15: the end comes before steps named above"},
        {Replace(good, "watched 0\n", "watched 0\ncmd 99999999999 energy green\n"), "line 11: a bad step"},
        {Replace(good, build, "cmd 0 build green tool extender at 2000 315"), "line 11: place off the board"},
        {Replace(good, build, "cmd 0 build purple tool extender at 240.5 315"), "line 11: an unknown side"},
        {Replace(good, build, "cmd 0 build green tool laser at 240.5 315"), "line 11: an unknown tool"},
        {Replace(good, "cmd 0 build", "cmd 0 restart green\ncmd 0 build"), "line 11: no such command"},
        {Replace(good, "blue computer", "blue robot"), "line 8: a side that is neither"},
        {Replace(good, "node 11\n", "node 4000\n"), "line 11: node 4000 does not exist at step 0"},
        {Replace(good, "check 64", std::string(3 << 20, 'x') + "\ncheck 64"), "line 12: longer than 200"},
        {Replace(good, "check 128", "check 64"), "line 13: a checkpoint out of step order"},
        {good + "check 192 0000000000000000\n", "line 15: a line after the end"},
        {Replace(good, build, "cmd 0 build green tool extender at 240.5 330"),
         "out of sync at step 64: recorded "},
        {Replace(good, "\nend 150 none", "\nend 150 green"),
         "1 f: out of sync at step 150: the end line names winner green, the match played gives none; "
         "recorded with " +
             ThisBuild() + ", " + here},
        {Replace(good, "\nend 150 ", "\nend 151 "), "1 f: out of sync at step 151: recorded "},
        {Replace(good, "\nend ", "\nchat 151 green gg\nend "), "line 15: the end comes before steps named"},
        {Replace(good, "check 128", "chat 129 green gg\ncheck 128"),
         "line 14: a checkpoint out of step order"},
        {Replace(good, "check 128", "chat 10 green gg\ncheck 128"), "line 13: a chat line out of step order"},
        {good.substr(0, good.find("check 64")), "1 f: nothing to compare: no checkpoint and no end line"},
        // Chat is said, not played: verification passes over it, and reads only its shape.
        {Replace(good, "check 64", "chat 30 observer8 well played, blue\ncheck 64"), "0 f: ok, 150 steps"},
        {Replace(good, "check 64", "chat 30 purple hi\ncheck 64"), "line 12: an unknown chat sender"},
        {Replace(good, "check 64", "chat 30 green\ncheck 64"), "line 12: a chat line with too few fields"},
        {Replace(good, "check 64", "chat 30 green " + std::string(121, 'x') + "\ncheck 64"),
         "line 12: a chat line over 120"},
        // Cut short by a kill: the unfinished line is dropped, and the rest plays.
        {good.substr(0, good.find("\nend ") + 6), "0 f: ok, 128 steps, winner none, hash"},
    };
    for (const auto& c : cases)
        EXPECT_NE(std::string::npos, Verify(c.text).find(c.said))
            << Verify(c.text) << "\nexpected: " << c.said;
    // The chat line a replay plays past is shown, by sender.
    Verify(Replace(good, "check 64", "chat 30 observer8 well played, blue\ncheck 64"));
    ASSERT_FALSE(CChatBoard::Instance().Lines().empty());
    EXPECT_EQ("Observer 8: well played, blue", CChatBoard::Instance().Lines().back());
    // A match decided by the debug key that destroys blue's main node: the end line is where
    // it was decided, and nowhere later.
    CGameEngine::Instance().AddOption("debug");
    recorder.Attach(World());
    World().ClearMatch();
    World().NewMatch();
    Steps(5);
    const CVector2 blue = World().GetTeam(2).GetMainNode()->GetPosition();
    World().OnMouseMove(static_cast<int>(blue.x) + 40, 699 - static_cast<int>(blue.y));
    Key('d');
    Steps(5);
    recorder.Detach(World());
    const std::string decided = Read(recorder.GetPath());
    EXPECT_EQ(0u, Verify(decided).find("0 f: ok, 6 steps, winner green")) << Verify(decided);
    const std::string later = Verify(Replace(decided, "\nend 6 ", "\nend 9 "));
    EXPECT_EQ(0u, later.find("1 f: out of sync at step 6: the match was decided here (winner green), the "
                             "file goes on to step 9; recorded with"))
        << later;
    World().NewMatch();
    World().m_result = RESULT_WIN; // as when a network opponent leaves: the board decided nothing
    EXPECT_STREQ("none", WinnerOfMatch(World()));
    // A build of other rules refuses the files that name none.
    CReplay replay;
    EXPECT_FALSE(ParseReplay(older, CReplayExpect{RULES_VERSION + 1, ""}, replay, why));
    EXPECT_EQ("line 2: recorded with rules 1 (" + std::string(ProgramVersion()) +
                  ", from before replays named their rules), this build plays " +
                  ThisBuild(RULES_VERSION + 1),
              why);
    const std::string absent = m_folder + "/absent.replay";
    EXPECT_FALSE(LoadReplay(absent, CReplayExpect(), replay, why));
    EXPECT_EQ("cannot read " + absent + ": No such file or directory", why);
}

TEST_F(ReplayTest, AWatchedReplayTakesTheViewersKeysAndLetsGoWhenThePlayerLeaves)
{
    CReplayRecorder recorder(m_folder);
    recorder.Attach(World());
    World().ClearMatch();
    World().NewMatch();
    Steps(40);
    recorder.Detach(World());
    CReplay replay;
    std::string why;
    ASSERT_TRUE(LoadReplay(recorder.GetPath(), CReplayExpect(), replay, why)) << why;
    CReplayPlayer player(World(), replay);
    player.Start();
    Key('4');
    Steps(1);
    EXPECT_EQ(8, World().m_matchSteps);
    Key(' ');
    Steps(3);
    EXPECT_EQ(8, World().m_matchSteps) << "paused";
    Key(' ');
    Key('2');
    Click(240, 315);
    EXPECT_EQ(TOOL_NONE, World().m_selectedTool);
    Steps(20);
    EXPECT_EQ(40, World().m_matchSteps) << "held at its end";
    EXPECT_EQ(CReplayPlayer::ENDED, player.GetOutcome());
    World().m_state = STATE_MENU;
    World().ClearMatch();
    EXPECT_EQ(nullptr, World().m_driver);
    EXPECT_FALSE(World().m_playerCommandRoute);
}

TEST_F(ReplayTest, AFailureToWriteIsSaidOnceAndTheMatchGoesOn)
{
    // Its name holds a terminal's clear-screen code, which the message shows, not sends.
    const std::string blocker = m_folder + "\x1b[2Jfile";
    std::ofstream(blocker) << "not a folder";
    CReplayRecorder recorder(blocker + "/replays");
    recorder.Attach(World());
    testing::internal::CaptureStderr();
    for (int match = 0; match < 2; ++match)
    {
        World().ClearMatch();
        World().NewMatch();
        Steps(70);
        EXPECT_EQ(70, World().m_matchSteps);
        if (match == 0)
        {
            EXPECT_EQ(0u, World().m_notice.find("Not recording: ")) << "shown on screen";
        }
    }
    const std::string said = testing::internal::GetCapturedStderr();
    recorder.Detach(World());
    std::remove(blocker.c_str());
    EXPECT_EQ(1, std::count(said.begin(), said.end(), '\n')) << said;
    EXPECT_NE(std::string::npos, said.find("not recording: ")) << said;
    EXPECT_NE(std::string::npos, said.find("\\x1b[2Jfile is not a folder")) << said;
    EXPECT_EQ(std::string::npos, (said + World().m_notice).find('\x1b')) << said;
}

// Levels past the first five are named by their number in the level table: a watched match
// between the last level (a paced one) and the first one added records both and plays back.
TEST_F(ReplayTest, ALevelAddedToTheTableIsRecordedByItsNumberAndVerifies)
{
    CGameWorld& w = World();
    w.SetMatchSeed(77);
    CReplayRecorder recorder(m_folder);
    recorder.Attach(w);
    w.m_demoLevels[0] = LEVEL_COUNT - 1;
    w.m_demoLevels[1] = 5;
    w.StartWatchedMatch();
    Steps(4000);
    recorder.Detach(w);
    const Strings files = Files(m_folder);
    ASSERT_EQ(1u, files.size());
    EXPECT_NE(std::string::npos, Read(files[0]).find("\ngreen computer " + std::to_string(LEVEL_COUNT - 1) +
                                                     "\nblue computer 5\n"));
    CReplay replay;
    std::string why;
    ASSERT_TRUE(LoadReplay(files[0], ExpectedHere("Data/resources.xml"), replay, why)) << why;
    const CReplayCheck check = CheckReplay(replay);
    EXPECT_TRUE(check.agrees) << CheckLine(files[0], replay, check);
}

// A board left alone stands still, and hashes alike at every step: the end line's step is
// part of its hash, so an undecided match cannot be made longer by moving it. An older file
// keeps playing, its length held by the checkpoints, one every 64 steps. The match stops at
// its cap, and its file is whole then, not only once the recorder lets go.
TEST_F(ReplayTest, AnUndecidedMatchsEndLineCannotBeMovedOnAStillBoard)
{
    CReplayRecorder recorder(m_folder);
    recorder.Attach(World());
    World().ClearMatch();
    World().NewMatch();
    World().GetTeam(2).SetAI(false);
    uint64_t last = 0;
    int still = 0;
    for (int step = 0; step < 20000 && still < 64; ++step, Steps(1))
    {
        still = HashMatchState(World()) == last ? still + 1 : 0;
        last = HashMatchState(World());
    }
    ASSERT_EQ(64, still) << "the board never stood still";
    const int steps = World().m_matchSteps + 10;
    World().m_capSteps = steps;
    Steps(30);
    const std::string end = "\nend " + std::to_string(steps) + " none ";
    const std::string file = Read(recorder.GetPath());
    EXPECT_EQ(file.rfind(end), file.rfind('\n', file.size() - 2)) << "ends at the cap: " << file;
    recorder.Detach(World());
    EXPECT_EQ(file, Read(recorder.GetPath()));
    const std::string older =
        Replace(Replace(file, "replay 3\n", "replay 2\n"), file.substr(file.rfind(' ') + 1, 16), Hex(last));
    const std::string later = "\nend " + std::to_string(steps + 3000) + " none ";
    for (const auto& c :
         {std::pair<std::string, std::string>(file, "0 f: ok"),
          {older, "0 f: ok"},
          {Replace(file, end, later), "1 f: out of sync at step " + std::to_string(steps + 3000)},
          {Replace(older, end, later), "an undecided end 30"}})
        EXPECT_NE(std::string::npos, Verify(c.first).find(c.second))
            << Verify(c.first) << "\nexpected: " << c.second;
}
