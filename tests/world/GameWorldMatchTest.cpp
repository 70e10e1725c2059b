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

TEST_F(MatchTest, NewMatchLaysOutTenSitesThenBothMainNodes)
{
    const CGameWorld& w = World();
    ASSERT_EQ(12u, w.m_nodes.size());
    // Positions are rounded to whole pixels.
    const float sites[10][2] = {{128, 465}, {128, 165}, {308, 565}, {308, 65},  {818, 465},
                                {818, 165}, {638, 565}, {638, 65},  {473, 515}, {473, 115}};
    for (int i = 0; i < 10; ++i)
    {
        CEntity* node = w.m_nodes[i];
        EXPECT_NE(nullptr, dynamic_cast<CResourceNode*>(node)) << i;
        EXPECT_EQ(CVector2(sites[i][0], sites[i][1]), node->GetPosition()) << i;
        EXPECT_EQ(0, node->GetTeam());
    }
    EXPECT_EQ(w.m_nodes[10], MainNodeOf(1));
    EXPECT_EQ(w.m_nodes[11], MainNodeOf(2));
    EXPECT_EQ(CVector2(158, 315), MainNodeOf(1)->GetPosition());
    EXPECT_EQ(CVector2(788, 315), MainNodeOf(2)->GetPosition());
    EXPECT_EQ(1, MainNodeOf(1)->GetTeam());
    EXPECT_EQ(2, MainNodeOf(2)->GetTeam());
    EXPECT_EQ(nullptr, MainNodeOf(0));
    EXPECT_EQ(CVector2(472.5f, 315.0f), w.m_viewCentre);
}

TEST_F(MatchTest, OpponentsHearOfEverySiteAndMainNodeInTeamOrder)
{
    World().ClearMatch();
    World().NewMatch();
    std::vector<std::string> expected(10, "OnResourceAdded@2");
    expected.push_back("OnMainNodeAdded@2");
    expected.push_back("OnMainNodeAdded@2");
    EXPECT_EQ(expected, Only("On"));

    m_log.clear();
    World().ClearMatch();
    World().m_demo = true;
    World().NewMatch();
    std::vector<std::string> calls = Only("On");
    ASSERT_EQ(24u, calls.size());
    EXPECT_EQ("OnResourceAdded@1", calls[0]);
    EXPECT_EQ("OnResourceAdded@2", calls[1]);
    EXPECT_EQ("OnMainNodeAdded@1", calls[22]);
    EXPECT_EQ("OnMainNodeAdded@2", calls[23]);
}

TEST_F(MatchTest, AMainNodeIsPlacedOncePerTeam)
{
    size_t before = World().m_nodes.size();
    CMainNode* first = MainNodeOf(1);
    World().AddMainNode(1, CVector2(400.0f, 400.0f));
    EXPECT_EQ(before, World().m_nodes.size());
    EXPECT_EQ(first, MainNodeOf(1));
    // An occupied spot silently places nothing.
    World().AddResourceSite(CVector2(158.0f, 315.0f));
    EXPECT_EQ(before, World().m_nodes.size());
}

TEST_F(MatchTest, NewMatchResetsItsOwnFieldsAndLeavesTheRest)
{
    CGameWorld& w = World();
    CGameEngine::Instance().AddOption("debug");
    w.m_viewCentre = CVector2(1.0f, 2.0f);
    w.m_zoom = 3.0f;
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
    w.m_resumable = true;
    w.m_result = RESULT_LOSE;
    w.GetTeam(1).AddEnergy(-1000);
    w.GetTeam(2).StartCooldown(3);
    // Left alone:
    w.m_greenWins = 4;
    w.m_blueWins = 5;
    w.m_hoveredTool = TOOL_BEAM;
    w.m_menuHover = 3;
    w.m_difficultyHover = 4;
    w.m_difficultyListOpen = true;
    w.m_state = STATE_MENU;
    w.m_mouseScreenX = 17;

    w.ClearMatch();
    w.NewMatch();

    EXPECT_TRUE(w.m_debug);
    EXPECT_EQ(CVector2(472.5f, 315.0f), w.m_viewCentre);
    EXPECT_FLOAT_EQ(1.0f, w.m_zoom);
    EXPECT_EQ(0u, w.m_stepAccumulator);
    EXPECT_EQ(1, w.m_playerTeam);
    EXPECT_EQ(0, w.m_overlayMode);
    EXPECT_EQ(500u, w.m_thinkAccumulator);
    EXPECT_FLOAT_EQ(0.0f, w.m_spinAngle);
    EXPECT_EQ(120000, w.m_demoTimer.GetValue());
    EXPECT_EQ(0, w.m_messageTimer.GetValue());
    EXPECT_EQ("", w.m_message);
    EXPECT_EQ(TOOL_NONE, w.m_selectedTool);
    EXPECT_EQ(PLACE_IDLE, w.m_placeMode);
    EXPECT_EQ(0, w.m_placeSourceId);
    EXPECT_FALSE(w.m_resumable);
    EXPECT_EQ(RESULT_UNDECIDED, w.m_result);
    EXPECT_EQ(10000000, w.GetTeam(1).GetEnergy());
    EXPECT_TRUE(w.GetTeam(2).IsCooldownReady(3));
    EXPECT_EQ(nullptr, w.GetTeam(1).GetAI());
    EXPECT_NE(nullptr, w.GetTeam(2).GetAI());

    EXPECT_EQ(4, w.m_greenWins);
    EXPECT_EQ(5, w.m_blueWins);
    EXPECT_FALSE(w.m_demo);
    EXPECT_EQ(TOOL_BEAM, w.m_hoveredTool);
    EXPECT_EQ(3, w.m_menuHover);
    EXPECT_EQ(4, w.m_difficultyHover);
    EXPECT_TRUE(w.m_difficultyListOpen);
    EXPECT_EQ(STATE_MENU, w.m_state);
    EXPECT_EQ(17, w.m_mouseScreenX);

    CGameEngine::Instance().RemoveOption("debug");
    w.ClearMatch();
    w.NewMatch();
    EXPECT_FALSE(w.m_debug);
}

TEST_F(MatchTest, ClearMatchEmptiesTheBoardButKeepsTeamsAndState)
{
    CGameWorld& w = World();
    Steps(1);
    w.GetTeam(1).AddEnergy(-500);
    int energy = w.GetTeam(1).GetEnergy();
    w.ClearMatch();
    EXPECT_TRUE(w.m_nodes.empty());
    EXPECT_TRUE(w.m_effects.empty());
    EXPECT_FALSE(w.m_resumable);
    EXPECT_EQ(STATE_MATCH, w.m_state);
    EXPECT_EQ(energy, w.GetTeam(1).GetEnergy());
    EXPECT_EQ(nullptr, MainNodeOf(1)) << "the main node is gone with the board";
}

TEST_F(MatchTest, FallOfBlueWinsAndALaterFallOfGreenTies)
{
    MainNodeOf(2)->Kill();
    Steps(1);
    EXPECT_EQ(RESULT_WIN, World().m_result);
    EXPECT_EQ(1, Count("sound:End"));
    EXPECT_EQ(11u, World().m_nodes.size());

    MainNodeOf(1)->Kill();
    Steps(1);
    EXPECT_EQ(RESULT_TIE, World().m_result);
    EXPECT_EQ(1, Count("sound:End")) << "only the first fall sounds";
}

TEST_F(MatchTest, FallOfGreenLosesAndALaterFallOfBlueTies)
{
    MainNodeOf(1)->Kill();
    Steps(1);
    EXPECT_EQ(RESULT_LOSE, World().m_result);
    Steps(3);
    EXPECT_EQ(RESULT_LOSE, World().m_result) << "the match runs on";
    MainNodeOf(2)->Kill();
    Steps(1);
    EXPECT_EQ(RESULT_TIE, World().m_result);
    EXPECT_EQ(1, Count("sound:End"));
}

TEST_F(MatchTest, BothMainNodesInOneStepTieWithOneEndSound)
{
    MainNodeOf(1)->Kill();
    MainNodeOf(2)->Kill();
    Steps(1);
    EXPECT_EQ(RESULT_TIE, World().m_result);
    EXPECT_EQ(1, Count("sound:End"));
}

TEST_F(MatchTest, OtherDeathsDecideNothing)
{
    World().m_nodes[0]->Kill();
    Steps(1);
    EXPECT_EQ(RESULT_UNDECIDED, World().m_result);
    EXPECT_EQ(11u, World().m_nodes.size());
    EXPECT_EQ(0, Count("sound:End"));
}

TEST_F(MatchTest, DemoDecidesSilently)
{
    StartIdleDemo();
    MainNodeOf(2)->Kill();
    Steps(1);
    EXPECT_EQ(RESULT_WIN, World().m_result);
    EXPECT_EQ(0, Count("sound:End"));
}

TEST_F(MatchTest, IdleDemoRestartsAfterExactlyTwoMinutesAndCountsNoWin)
{
    StartIdleDemo();
    int mainId = World().GetTeam(1).GetMainNodeId();
    Steps(7499);
    EXPECT_EQ(16, World().m_demoTimer.GetValue());
    EXPECT_EQ(mainId, World().GetTeam(1).GetMainNodeId());
    Steps(1);
    EXPECT_NE(mainId, World().GetTeam(1).GetMainNodeId()) << "a new demo match";
    EXPECT_TRUE(World().m_demo);
    EXPECT_EQ(120000, World().m_demoTimer.GetValue());
    EXPECT_EQ(0, World().m_greenWins);
    EXPECT_EQ(0, World().m_blueWins);
    EXPECT_NE(nullptr, World().GetTeam(1).GetAI()) << "the new demo is played on both sides";
}

TEST_F(MatchTest, DemoCountsTheWinnerWhenItsTimeRunsOut)
{
    StartIdleDemo();
    MainNodeOf(2)->Kill();
    World().m_demoTimer.SetValue(48);
    Steps(2);
    EXPECT_EQ(16, World().m_demoTimer.GetValue()) << "no keep-alive without both main nodes";
    Steps(1);
    EXPECT_EQ(1, World().m_greenWins);
    EXPECT_EQ(0, World().m_blueWins);
    EXPECT_NE(nullptr, MainNodeOf(2));

    MainNodeOf(1)->Kill();
    World().m_demoTimer.SetValue(16);
    Steps(1);
    EXPECT_EQ(1, World().m_greenWins);
    EXPECT_EQ(1, World().m_blueWins);
}

TEST_F(MatchTest, DemoKeepAliveRaisesALowTimerOnActivity)
{
    StartIdleDemo();
    CGameWorld& w = World();
    w.m_demoTimer.SetValue(1000);
    w.AddEntity(new CLoggingNode(&m_log, "a"));
    EXPECT_EQ(30000, w.m_demoTimer.GetValue());
    w.m_demoTimer.SetValue(40000);
    w.AddEntity(new CLoggingNode(&m_log, "b"));
    EXPECT_EQ(40000, w.m_demoTimer.GetValue()) << "only a low timer is raised";

    // A removal counts as activity too.
    w.m_demoTimer.SetValue(1000);
    w.m_nodes.back()->Kill();
    Steps(1);
    EXPECT_EQ(30000, w.m_demoTimer.GetValue());

    // Not once a side has lost its main node.
    MainNodeOf(1)->Kill();
    Steps(1);
    w.m_demoTimer.SetValue(1000);
    w.AddEntity(new CLoggingNode(&m_log, "c"));
    EXPECT_EQ(1000, w.m_demoTimer.GetValue());
}

TEST_F(MatchTest, OutsideTheDemoTheTimerStandsStill)
{
    World().m_demoTimer.SetValue(1000);
    World().AddEntity(new CLoggingNode(&m_log, "a"));
    Steps(3);
    EXPECT_EQ(1000, World().m_demoTimer.GetValue());
}

TEST_F(MatchTest, MessagesAreForThePlayerOutsideTheDemo)
{
    CGameWorld& w = World();
    w.ShowMessage("Location occupied");
    EXPECT_EQ("Location occupied", w.m_message);
    EXPECT_EQ(2500, w.m_messageTimer.GetValue());
    Steps(1);
    EXPECT_EQ(2484, w.m_messageTimer.GetValue());

    w.ShowPlayerMessage(2, "Not ready yet");
    EXPECT_EQ("Location occupied", w.m_message);
    w.m_demo = true;
    w.ShowPlayerMessage(1, "Not ready yet");
    EXPECT_EQ("Location occupied", w.m_message);
    w.m_demo = false;
    w.ShowPlayerMessage(1, "Not ready yet");
    EXPECT_EQ("Not ready yet", w.m_message);
}
