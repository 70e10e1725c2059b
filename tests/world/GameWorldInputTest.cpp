#include "nodes/BeamNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/ShieldNode.h"
#include "world/WorldTestSupport.h"

namespace
{
const int KEY_ESCAPE = 27;
const int KEY_TAB = 9;

// The player's main node stands at (158, 315). The view is shifted by half a pixel so that
// every mouse position lands on a whole board point: board = (mx - 40, 699 - my).
class InputTest : public WorldTest
{
  protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        World().m_viewCentre = CVector2(472.0f, 315.0f);
    }

    static int Mx(float pBoardX) { return static_cast<int>(pBoardX) + 40; }
    static int My(float pBoardY) { return 699 - static_cast<int>(pBoardY); }

    static void Press(float pX, float pY, int pButton = 1)
    {
        World().OnMouseButton(pButton, true, Mx(pX), My(pY));
    }
    static void Release(float pX, float pY, int pButton = 1)
    {
        World().OnMouseButton(pButton, false, Mx(pX), My(pY));
    }
    static void Click(float pX, float pY)
    {
        Press(pX, pY);
        Release(pX, pY);
    }
    static void Key(int pSym)
    {
        World().OnKey(pSym, 0, true);
        World().OnKey(pSym, 0, false);
    }
    // Tool buttons lie along the top of the window.
    static void ClickToolButton(int pTool)
    {
        World().OnMouseButton(1, true, 100 + 67 * pTool, 30);
        World().OnMouseButton(1, false, 100 + 67 * pTool, 30);
    }

    static CMainNode* Main(int pTeam) { return World().GetTeam(pTeam).GetMainNode(); }
    static size_t NodeCount() { return World().m_nodes.size(); }
    static CEntity* Last() { return World().m_nodes.back(); }
    static void FillEnergy() { World().GetTeam(1).AddEnergy(30000000); }
};
} // namespace

TEST_F(InputTest, MouseBoardPointsAndToolButtons)
{
    CGameWorld& w = World();
    w.m_viewCentre = CVector2(472.5f, 315.0f);
    EXPECT_EQ(CVector2(472.5f, 315.0f), w.ScreenToBoard(512, 384));
    EXPECT_EQ(CVector2(-39.5f, 699.0f), w.ScreenToBoard(0, 0));

    w.OnMouseMove(512, 384);
    EXPECT_EQ(CVector2(472.5f, 315.0f), w.m_mouseBoard);
    EXPECT_EQ(384, w.m_mouseScreenY);
    EXPECT_EQ(TOOL_NONE, w.m_hoveredTool);
    w.OnMouseMove(71, 6);
    EXPECT_EQ(TOOL_EXTENDER, w.m_hoveredTool);

    EXPECT_EQ(TOOL_NONE, CGameWorld::ToolButtonAt(70, 30));
    EXPECT_EQ(TOOL_EXTENDER, CGameWorld::ToolButtonAt(130, 64));
    EXPECT_EQ(TOOL_NONE, CGameWorld::ToolButtonAt(131, 30)) << "the gap between buttons";
    EXPECT_EQ(TOOL_BEAM, CGameWorld::ToolButtonAt(137, 30));
    EXPECT_EQ(TOOL_NONE, CGameWorld::ToolButtonAt(100, 5));
    EXPECT_EQ(TOOL_NONE, CGameWorld::ToolButtonAt(100, 65));
    EXPECT_EQ(TOOL_ABSORBER, CGameWorld::ToolButtonAt(70 + 4 * 67 + 60, 30));
    EXPECT_EQ(TOOL_NONE, CGameWorld::ToolButtonAt(70 + 5 * 67 + 10, 30)) << "there is no sixth button";

    w.m_demo = true;
    w.OnMouseMove(137, 30);
    EXPECT_EQ(TOOL_EXTENDER, w.m_hoveredTool) << "the demo does not track the buttons";
}

TEST_F(InputTest, OneClickPlacesAtOnceADragFromTheSourceOnRelease)
{
    Key('1');
    size_t before = NodeCount();
    Press(240, 315);
    ASSERT_EQ(before + 1, NodeCount());
    EXPECT_NE(nullptr, dynamic_cast<CForkNode*>(Last()));
    EXPECT_EQ(CVector2(240.0f, 315.0f), Last()->GetPosition());
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
    Release(240, 315);
    EXPECT_EQ(before + 1, NodeCount());

    World().GetTeam(1).TickCooldowns(2000);
    Press(160, 320);
    EXPECT_EQ(PLACE_SOURCE_CHOSEN, World().m_placeMode);
    EXPECT_EQ(GetEntityId(Main(1)), World().m_placeSourceId);
    Release(200, 420);
    ASSERT_EQ(before + 2, NodeCount());
    EXPECT_EQ(CVector2(200.0f, 420.0f), Last()->GetPosition());
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
    EXPECT_EQ(TOOL_EXTENDER, World().m_selectedTool) << "the tool stays selected";

    // Any key event drops a pending drag.
    World().GetTeam(1).TickCooldowns(2000);
    Press(160, 320);
    World().OnKey('x', 0, false);
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
    Release(250, 420);
    EXPECT_EQ(before + 2, NodeCount());
    EXPECT_EQ(2, Count("sound:BuildSuccess"));
}

TEST_F(InputTest, TheNearestOwnSourceStrictlyInReachWinsAndATieKeepsTheEarlier)
{
    Key('1');
    size_t before = NodeCount();
    Press(560, 315);
    EXPECT_EQ(1, Count("sound:BuildFail"));
    EXPECT_EQ("Too far from extender", World().m_message);
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
    // 130 pixels from the main node is out of its reach.
    Press(288, 315);
    EXPECT_EQ(2, Count("sound:BuildFail"));
    EXPECT_EQ(before, NodeCount());

    Press(240, 315);
    CEntity* extender = Last();
    ASSERT_NE(nullptr, dynamic_cast<CForkNode*>(extender));
    World().GetTeam(1).TickCooldowns(2000);
    Press(199, 315);
    EXPECT_EQ(CVector2(199.0f, 315.0f), Last()->GetPosition());
    EXPECT_EQ(Main(1), Last()->GetParent()) << "41 pixels from both; the main node comes first";

    World().GetTeam(1).TickCooldowns(2000);
    Press(222, 330);
    EXPECT_EQ(CVector2(222.0f, 330.0f), Last()->GetPosition());
    EXPECT_EQ(extender, Last()->GetParent());
}

TEST_F(InputTest, EmittersTakeTwoClicksAndKeysDoNotBreakTheAim)
{
    FillEnergy();
    Key('2');
    size_t before = NodeCount();
    Click(260, 315);
    EXPECT_EQ(PLACE_AIMING, World().m_placeMode);
    EXPECT_EQ(CVector2(260.0f, 315.0f), World().m_placePoint);
    EXPECT_EQ(before, NodeCount());
    Key('x');
    Key('3');
    EXPECT_EQ(PLACE_AIMING, World().m_placeMode);
    EXPECT_EQ(TOOL_BEAM, World().m_selectedTool);

    Press(260, 415);
    ASSERT_EQ(before + 1, NodeCount());
    CBeamNode* beam = dynamic_cast<CBeamNode*>(Last());
    ASSERT_NE(nullptr, beam);
    EXPECT_NEAR(90.0f, beam->GetAngle(), 1e-4f);
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
    EXPECT_EQ(0, World().m_placeSourceId);
}

TEST_F(InputTest, EnergyFailsTheFirstClickButTheCooldownOnlyTheAim)
{
    Key('2');
    Click(260, 315);
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
    EXPECT_EQ("Insufficient energy", World().m_message);
    EXPECT_EQ(1, Count("sound:BuildFail"));
    m_log.clear();

    FillEnergy();
    World().GetTeam(1).StartCooldown(TOOL_SHIELD);
    Key('3');
    size_t before = NodeCount();
    Click(260, 315);
    EXPECT_EQ(PLACE_AIMING, World().m_placeMode);
    Press(300, 315);
    EXPECT_EQ(before, NodeCount());
    EXPECT_EQ("Not ready yet: 1 s", World().m_message);
    EXPECT_EQ(1, Count("sound:BuildFail"));
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
}

TEST_F(InputTest, RightClickCancelsAPlacementOrPutsTheToolAway)
{
    FillEnergy();
    Key('2');
    Click(260, 315);
    ASSERT_EQ(PLACE_AIMING, World().m_placeMode);
    Release(200, 200, 3);
    EXPECT_EQ(PLACE_AIMING, World().m_placeMode) << "a release does nothing";
    Press(200, 200, 3);
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
    EXPECT_EQ(0, World().m_placeSourceId);
    EXPECT_EQ(TOOL_BEAM, World().m_selectedTool);
    Press(200, 200, 3);
    EXPECT_EQ(TOOL_NONE, World().m_selectedTool);
    Press(200, 200, 2);
    EXPECT_EQ(TOOL_NONE, World().m_selectedTool);
}

TEST_F(InputTest, SwitchingToolsWhileAimingKeepsTheAim)
{
    FillEnergy();
    Key('2');
    Click(260, 315);
    ClickToolButton(TOOL_EXTRACTOR);
    EXPECT_EQ(TOOL_EXTRACTOR, World().m_selectedTool);
    EXPECT_EQ(PLACE_AIMING, World().m_placeMode);
    size_t before = NodeCount();
    Press(260, 415);
    EXPECT_EQ(before, NodeCount()) << "only an emitter or a shield can be aimed";
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
    EXPECT_EQ(0, Count("sound:BuildFail"));

    ClickToolButton(TOOL_BEAM);
    Click(260, 315);
    ClickToolButton(TOOL_SHIELD);
    Press(260, 415);
    ASSERT_EQ(before + 1, NodeCount());
    EXPECT_NE(nullptr, dynamic_cast<CShieldNode*>(Last()));

    ClickToolButton(TOOL_SHIELD);
    EXPECT_EQ(TOOL_NONE, World().m_selectedTool) << "clicking the selected tool puts it away";
}

TEST_F(InputTest, DigitsPickToolsAndEscapePutsThemAwayThenPauses)
{
    size_t before = NodeCount();
    Press(240, 315);
    Key('5');
    EXPECT_EQ(TOOL_ABSORBER, World().m_selectedTool);
    Key('6');
    EXPECT_EQ(TOOL_ABSORBER, World().m_selectedTool);
    Press(240, 640);
    EXPECT_EQ(before, NodeCount()) << "no tool, then off the board";
    EXPECT_TRUE(m_log.empty());
    Key('1');
    Press(160, 320);
    Key(KEY_ESCAPE);
    EXPECT_EQ(TOOL_NONE, World().m_selectedTool);
    EXPECT_EQ(PLACE_IDLE, World().m_placeMode);
    EXPECT_EQ(STATE_MATCH, World().m_state);
    Key(KEY_ESCAPE);
    EXPECT_EQ(STATE_MENU, World().m_state);
    EXPECT_EQ(1, Count("sound:MenuSwoosh"));
}

TEST_F(InputTest, TheDemoIgnoresTheMouseButStillPauses)
{
    World().m_demo = true;
    World().m_selectedTool = TOOL_EXTENDER;
    size_t before = NodeCount();
    Press(240, 315);
    Press(240, 315, 3);
    Key('2');
    EXPECT_EQ(before, NodeCount());
    EXPECT_EQ(TOOL_EXTENDER, World().m_selectedTool);
    EXPECT_TRUE(m_log.empty());
    Key(KEY_ESCAPE);
    Key(KEY_ESCAPE);
    EXPECT_EQ(STATE_MENU, World().m_state);
}

TEST_F(InputTest, DebugKeysWorkOnlyWithTheDebugOption)
{
    CGameWorld& w = World();
    Key('c');
    Key(KEY_TAB);
    EXPECT_EQ(10000000, w.GetTeam(1).GetEnergy());
    EXPECT_EQ(1, w.m_playerTeam);

    w.m_debug = true;
    Key('c');
    EXPECT_EQ(30000000, w.GetTeam(1).GetEnergy());
    Key(KEY_TAB);
    EXPECT_EQ(2, w.m_playerTeam);
    Key(KEY_TAB);
    Key(KEY_TAB);
    EXPECT_EQ(1, w.m_playerTeam);
    Key('o');
    Key('o');
    EXPECT_EQ(2, w.m_overlayMode);
    Key('o');
    EXPECT_EQ(0, w.m_overlayMode);

    w.m_greenWins = 3;
    Key('l');
    EXPECT_TRUE(w.m_demo);
    EXPECT_EQ(0, w.m_greenWins);
    Key('l');
    EXPECT_FALSE(w.m_demo);
}

TEST_F(InputTest, DebugKeysDamageToggleOpponentsAndRestart)
{
    CGameWorld& w = World();
    w.m_debug = true;
    CMainNode* blue = Main(2);
    w.OnMouseMove(Mx(790), My(318));
    Key('d');
    EXPECT_FALSE(blue->IsAlive());
    Steps(1);
    EXPECT_EQ(RESULT_WIN, w.m_result);

    m_log.clear();
    Key('a');
    ASSERT_NE(nullptr, w.GetTeam(1).GetAI());
    EXPECT_EQ(Strings({"OnMainNodeAdded@1"}), Only("On"));
    Key('a');
    EXPECT_EQ(nullptr, w.GetTeam(1).GetAI());

    // The grey side has no main node to tell a new opponent about.
    Key(KEY_TAB);
    Key(KEY_TAB);
    ASSERT_EQ(0, w.m_playerTeam);
    Key('a');
    EXPECT_NE(nullptr, w.GetTeam(0).GetAI());

    int oldMain = w.GetTeam(1).GetMainNodeId();
    Key('r');
    EXPECT_EQ(STATE_MATCH, w.m_state);
    EXPECT_NE(oldMain, w.GetTeam(1).GetMainNodeId());
    EXPECT_EQ(RESULT_UNDECIDED, w.m_result);
    EXPECT_EQ(1, w.m_playerTeam);
    EXPECT_EQ(nullptr, w.GetTeam(0).GetAI());
}
