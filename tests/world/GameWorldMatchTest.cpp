#include <SDL/SDL_keysym.h>

#include "nodes/MainNode.h"
#include "nodes/ResourceNode.h"
#include "world/WorldTestSupport.h"

namespace
{
class MatchTest : public WorldTest
{
  protected:
    static CMainNode* MainNodeOf(int pTeam) { return World().GetTeam(pTeam).GetMainNode(); }

    // A demo match that nobody plays, so that nothing happens on the board.
    static void StartIdleDemo()
    {
        World().ClearMatch();
        World().m_demo = true;
        World().NewMatch();
        World().GetTeam(1).SetAI(false);
        World().GetTeam(2).SetAI(false);
    }
};
} // namespace

TEST_F(MatchTest, NewMatchLaysOutTenSitesThenBothMainNodesAndTellsTheOpponents)
{
    World().ClearMatch();
    World().m_demo = true;
    World().NewMatch();
    const CGameWorld& w = World();
    ASSERT_EQ(12u, w.m_nodes.size());
    // Positions are rounded to whole pixels.
    const float sites[10][2] = {{128, 465}, {128, 165}, {308, 565}, {308, 65},  {818, 465},
                                {818, 165}, {638, 565}, {638, 65},  {473, 515}, {473, 115}};
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_NE(nullptr, dynamic_cast<CResourceNode*>(w.m_nodes[i])) << i;
        EXPECT_EQ(CVector2(sites[i][0], sites[i][1]), w.m_nodes[i]->GetPosition()) << i;
    }
    EXPECT_EQ(w.m_nodes[10], MainNodeOf(1));
    EXPECT_EQ(w.m_nodes[11], MainNodeOf(2));
    EXPECT_EQ(CVector2(158, 315), MainNodeOf(1)->GetPosition());
    EXPECT_EQ(CVector2(788, 315), MainNodeOf(2)->GetPosition());
    EXPECT_EQ(2, MainNodeOf(2)->GetTeam());

    Strings expected;
    for (int i = 0; i < 10; ++i)
    {
        expected.push_back("OnResourceAdded@1");
        expected.push_back("OnResourceAdded@2");
    }
    for (const char* call :
         {"OnMainNodeAdded@1", "OnMainNodeAdded@2", "OnMainNodeAdded@1", "OnMainNodeAdded@2"})
        expected.push_back(call);
    EXPECT_EQ(expected, Only("On"));

    // A second main node for a side, or a site on an occupied spot, is silently not placed.
    World().AddMainNode(1, CVector2(400.0f, 400.0f));
    World().AddResourceSite(CVector2(158.0f, 315.0f));
    EXPECT_EQ(12u, w.m_nodes.size());
}

TEST_F(MatchTest, NewMatchResetsItsOwnFieldsAndLeavesTheRest)
{
    CGameWorld& w = World();
    CGameEngine::Instance().AddOption("debug");
    w.m_stepAccumulator = 9;
    w.m_playerTeam = 2;
    w.m_overlayMode = 2;
    w.m_thinkAccumulator = 7;
    w.m_spinAngle = 33.0f;
    w.m_demoTimer.SetValue(5);
    w.ShowMessage("Not ready yet");
    w.m_selectedTool = TOOL_SHIELD;
    w.m_placeMode = PLACE_AIMING;
    w.m_placeSourceId = 42;
    w.m_result = RESULT_LOSE;
    w.GetTeam(2).StartCooldown(3);
    w.m_greenWins = 4;
    w.m_hoveredTool = TOOL_BEAM;
    w.m_menuHover = 3;
    w.m_difficultyListOpen = true;
    w.m_state = STATE_MENU;

    w.ClearMatch();
    w.NewMatch();

    EXPECT_TRUE(w.m_debug);
    EXPECT_EQ(0u, w.m_stepAccumulator);
    EXPECT_EQ(1, w.m_playerTeam);
    EXPECT_EQ(0, w.m_overlayMode);
    EXPECT_EQ(500u, w.m_thinkAccumulator) << "the first step thinks";
    EXPECT_FLOAT_EQ(0.0f, w.m_spinAngle);
    EXPECT_EQ(120000, w.m_demoTimer.GetValue());
    EXPECT_EQ(0, w.m_messageTimer.GetValue());
    EXPECT_EQ("", w.m_message);
    EXPECT_EQ(TOOL_NONE, w.m_selectedTool);
    EXPECT_EQ(PLACE_IDLE, w.m_placeMode);
    EXPECT_EQ(0, w.m_placeSourceId);
    EXPECT_EQ(RESULT_UNDECIDED, w.m_result);
    EXPECT_TRUE(w.GetTeam(2).IsCooldownReady(3));

    EXPECT_EQ(4, w.m_greenWins);
    EXPECT_EQ(TOOL_BEAM, w.m_hoveredTool);
    EXPECT_EQ(3, w.m_menuHover);
    EXPECT_TRUE(w.m_difficultyListOpen);
    EXPECT_EQ(STATE_MENU, w.m_state);
}

TEST_F(MatchTest, TheFirstFallDecidesAndALaterFallTies)
{
    struct Case
    {
        bool demo;
        std::vector<int> falls; // teams whose main node falls, one step each; 3 = both at once
        int result;
        int endSounds;
    };
    const Case cases[] = {
        {false, {2}, RESULT_WIN, 1},       {false, {1}, RESULT_LOSE, 1}, {false, {2, 1}, RESULT_TIE, 1},
        {false, {1, 2}, RESULT_TIE, 1},    {false, {3}, RESULT_TIE, 1},  {true, {2}, RESULT_WIN, 0},
        {false, {0}, RESULT_UNDECIDED, 0},
    };
    for (const Case& c : cases)
    {
        World().ClearMatch();
        World().m_demo = c.demo;
        World().NewMatch();
        m_log.clear();
        for (int team : c.falls)
        {
            if (team == 0)
                World().m_nodes[0]->Kill();
            if (team == 1 || team == 3)
                MainNodeOf(1)->Kill();
            if (team == 2 || team == 3)
                MainNodeOf(2)->Kill();
            Steps(1);
        }
        EXPECT_EQ(c.result, World().m_result) << c.falls.size() << " falls, first " << c.falls[0];
        EXPECT_EQ(c.endSounds, Count("sound:End")) << c.falls[0];
    }
}

TEST_F(MatchTest, AnIdleDemoRestartsAfterExactlyTwoMinutesAndCountsNoWin)
{
    StartIdleDemo();
    int mainId = World().GetTeam(1).GetMainNodeId();
    Steps(7499);
    EXPECT_EQ(mainId, World().GetTeam(1).GetMainNodeId());
    Steps(1);
    EXPECT_NE(mainId, World().GetTeam(1).GetMainNodeId()) << "a new demo match";
    EXPECT_TRUE(World().m_demo);
    EXPECT_EQ(120000, World().m_demoTimer.GetValue());
    EXPECT_EQ(0, World().m_greenWins + World().m_blueWins);
}

TEST_F(MatchTest, ADemoCountsTheSideLeftStanding)
{
    StartIdleDemo();
    MainNodeOf(2)->Kill();
    World().m_demoTimer.SetValue(48);
    Steps(2);
    EXPECT_EQ(16, World().m_demoTimer.GetValue()) << "no keep-alive without both main nodes";
    Steps(1);
    EXPECT_EQ(1, World().m_greenWins);
    MainNodeOf(1)->Kill();
    World().m_demoTimer.SetValue(16);
    Steps(1);
    EXPECT_EQ(1, World().m_greenWins);
    EXPECT_EQ(1, World().m_blueWins);
}

TEST_F(MatchTest, DemoKeepAliveRaisesALowTimerOnActivity)
{
    CGameWorld& w = World();
    w.m_demoTimer.SetValue(1000);
    w.AddEntity(new CLoggingNode(&m_log, "outside the demo"));
    EXPECT_EQ(1000, w.m_demoTimer.GetValue());

    StartIdleDemo();
    w.m_demoTimer.SetValue(1000);
    w.AddEntity(new CLoggingNode(&m_log, "a"));
    EXPECT_EQ(30000, w.m_demoTimer.GetValue());
    w.m_demoTimer.SetValue(40000);
    w.AddEntity(new CLoggingNode(&m_log, "b"));
    EXPECT_EQ(40000, w.m_demoTimer.GetValue()) << "only a low timer is raised";

    w.m_demoTimer.SetValue(1000);
    w.m_nodes.back()->Kill();
    Steps(1);
    EXPECT_EQ(30000, w.m_demoTimer.GetValue()) << "a removal counts as activity";
}

TEST_F(MatchTest, WithASeedEveryWayIntoAMatchStartsTheSameRandomNumbersAndAWatchedDemoRunsOn)
{
    CGameWorld& w = World();
    auto nextDraws = []
    {
        std::vector<int> draws;
        for (int i = 0; i < 4; ++i)
            draws.push_back(RandomTable::GetInstance().Draw());
        return draws;
    };
    // Without a seed a new match goes on with the stream where it stands.
    w.NewMatch();
    const std::vector<int> unseeded = nextDraws();
    w.NewMatch();
    EXPECT_NE(unseeded, nextDraws());

    w.SetMatchSeed(31);
    w.NewMatch();
    const std::vector<int> seeded = nextDraws();
    CGameEngine::Instance().AddOption("debug");
    w.NewMatch(); // takes the debug option
    w.OnKey(SDLK_r, 0, true);
    EXPECT_EQ(seeded, nextDraws()) << "debug restart";
    StartIdleDemo();
    w.m_demoTimer.SetValue(16);
    Steps(1);
    EXPECT_EQ(seeded, nextDraws()) << "demo restart";

    // The demo takes its levels from the world; a watched one ignores its clock and ends where
    // it is decided, showing its summary.
    w.m_demoLevels[0] = 0;
    w.m_demoLevels[1] = 1;
    w.StartWatchedMatch();
    EXPECT_EQ(0u, w.GetTeam(1).GetAI()->GetDifficulty());
    EXPECT_EQ(1u, w.GetTeam(2).GetAI()->GetDifficulty());
    w.GetTeam(1).SetAI(false);
    w.GetTeam(2).SetAI(false);
    w.m_demoTimer.SetValue(16);
    Steps(3);
    EXPECT_EQ(3, w.m_matchSteps) << "no restart while both sides stand";
    MainNodeOf(2)->Kill();
    Steps(1);
    EXPECT_EQ(RESULT_WIN, w.m_result);
    EXPECT_TRUE(w.m_summaryOpen);
    Steps(1);
    EXPECT_EQ(5, w.m_matchSteps) << "decided, its clock run out, and still not started over";
    EXPECT_EQ(RESULT_WIN, w.m_result);
    EXPECT_EQ(nullptr, MainNodeOf(2));
}
