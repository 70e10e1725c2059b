#include <SDL/SDL_keysym.h>

#include "app/Program.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "replay/ReplayTimeline.h"
#include "replay/ReplayVerify.h"
#include "world/WorldTestSupport.h"

namespace
{
// Green loses: blue's emitter destroys green's extender about 27 s in, a second one feeds
// green's absorber beside its main node, which takes damage and falls at the end.
const char* const LOST_MATCH = "ampwarden-replay 1\nprogram 1.01\ndata c38dea7b3dbcf3b5\nseed 4242\n"
                               "date 2026-12-07T17:08:15Z\ngreen human\nblue human\ndemo 0\nwatched 0\n"
                               "cmd 0 build green tool extender at 240.5 315 aim 240.5 315 node 11\n"
                               "cmd 300 build green tool absorber at 190 280 aim 190 280 node 11\n"
                               "cmd 400 build blue tool beam at 700 315 aim 0 315 node 12\n"
                               "cmd 2600 build blue tool beam at 700 280 aim 0 280 node 12\n"
                               "end 4024 blue 35423897b1ccc187\n";

class ReplayTimelineTest : public WorldTest
{
};
} // namespace

TEST_F(ReplayTimelineTest, MarksComeFromTheReplaysOwnPlayAndNJumpsToThemWithoutChangingIt)
{
    CReplay replay;
    std::string why;
    ASSERT_TRUE(ParseReplay(LOST_MATCH, CReplayExpect(), replay, why)) << why;
    const CReplayCheck before = CheckReplay(replay);
    const CReplayTimeline timeline = CReplayTimeline::Gather(replay);
    const std::vector<CReplayTimeline::Mark>& marks = timeline.GetMarks();
    ASSERT_GE(marks.size(), 3u);
    // The extender's fall first, then the main node's damage, and its fall last; only green's.
    EXPECT_EQ(CReplayTimeline::MARK_FELL, marks[0].kind);
    EXPECT_GT(marks[0].step, 20 * 1000 / 16);
    EXPECT_LT(marks[0].step, 35 * 1000 / 16);
    bool mainHit = false;
    for (const CReplayTimeline::Mark& mark : marks)
    {
        EXPECT_EQ(1, mark.team);
        mainHit = mainHit || mark.kind == CReplayTimeline::MARK_MAIN_HIT;
    }
    EXPECT_TRUE(mainHit);
    EXPECT_EQ(CReplayTimeline::MARK_FELL, marks.back().kind);
    EXPECT_LE(marks.back().step, 4024);
    const int lead = CReplayTimeline::LEAD_MS / 16;
    EXPECT_EQ(marks[0].step - lead, timeline.NextJump(0, 16));
    EXPECT_EQ(-1, timeline.NextJump(marks.back().step, 16));

    // Played after the gathering, the replay ends the same; N jumps through a pause and holds
    // where it lands.
    const CReplayCheck after = CheckReplay(replay);
    EXPECT_EQ(before.steps, after.steps);
    EXPECT_EQ(before.hash, after.hash);
    CReplayPlayer player(World(), replay);
    player.SetTimeline(timeline);
    player.Start();
    World().OnKey(SDLK_SPACE, 0, true);
    World().OnKey(SDLK_n, 0, true);
    for (int i = 0; i < 10 && World().m_matchSteps < marks[0].step - lead; ++i)
        Steps(1);
    EXPECT_EQ(marks[0].step - lead, World().m_matchSteps);
    Steps(5);
    EXPECT_EQ(marks[0].step - lead, World().m_matchSteps) << "still paused";
    EXPECT_EQ(CReplayPlayer::PLAYING, player.GetOutcome());
    player.Stop();
}

TEST_F(ReplayTimelineTest, TheMenusDemoIsWatchedWithTheViewersKeysAndAGameFromTheMenuIsNot)
{
    CProgram::Instance(); // which gives the world the demo's viewer
    World().m_state = STATE_MENU;
    World().m_difficultyHover = 0;
    World().MenuSelect();
    ASSERT_TRUE(World().m_demo);
    EXPECT_EQ(&MenuDemoViewer(World()), World().m_driver);
    World().OnKey(SDLK_SPACE, 0, true);
    Steps(5);
    EXPECT_EQ(0, World().m_matchSteps) << "paused";
    World().OnKey(SDLK_4, 0, true);
    World().OnKey(SDLK_SPACE, 0, true);
    Steps(2);
    EXPECT_EQ(16, World().m_matchSteps) << "x8";

    World().m_state = STATE_MENU;
    World().m_difficultyHover = 2;
    World().MenuSelect();
    EXPECT_FALSE(World().m_demo);
    EXPECT_EQ(nullptr, World().m_driver);
    World().OnKey(SDLK_p, 0, true);
    EXPECT_TRUE(World().IsHeld()) << "P holds a game against the computer";
}
