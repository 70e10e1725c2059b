#include "world/WorldTestSupport.h"

namespace
{
// Mouse positions (SDL coordinates) of the menu rows with the default 768-pixel window.
int RowY(int pRow)
{
    return 249 + 40 * pRow;
}
const int MAIN_X = 200;
const int LIST_X = 600;

class MenuTest : public WorldTest
{
  protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        World().m_state = STATE_MENU;
    }

    void Click(int pX, int pY)
    {
        World().OnMouseMove(pX, pY);
        World().OnMouseButton(1, true, pX, pY);
        World().OnMouseButton(1, false, pX, pY);
    }
};
} // namespace

TEST_F(MenuTest, RowsAreEnabledByTheirRules)
{
    CGameWorld& w = World();
    w.m_resumable = false;
    EXPECT_TRUE(w.IsMenuRowEnabled(0, true));
    EXPECT_FALSE(w.IsMenuRowEnabled(1, true));
    EXPECT_FALSE(w.IsMenuRowEnabled(2, true));
    EXPECT_TRUE(w.IsMenuRowEnabled(3, true));
    EXPECT_FALSE(w.IsMenuRowEnabled(4, true));
    EXPECT_FALSE(w.IsMenuRowEnabled(-1, true));
    w.m_resumable = true;
    EXPECT_TRUE(w.IsMenuRowEnabled(1, true));

    const bool listRows[7] = {true, false, true, true, true, true, false};
    for (int row = 0; row < 7; ++row)
        EXPECT_EQ(listRows[row], w.IsMenuRowEnabled(row, false)) << row;
}

TEST_F(MenuTest, HoverFollowsTheRowBandsAndClicksOnlyOnChange)
{
    CGameWorld& w = World();
    w.OnMouseMove(141, 249);
    EXPECT_EQ(0, w.m_menuHover);
    EXPECT_EQ(1, Count("sound:MenuClick"));
    w.OnMouseMove(439, 272);
    EXPECT_EQ(0, w.m_menuHover);
    EXPECT_EQ(1, Count("sound:MenuClick")) << "same row, no new click";
    w.OnMouseMove(300, 273);
    EXPECT_EQ(-1, w.m_menuHover) << "the gap between rows";
    w.OnMouseMove(140, 260);
    EXPECT_EQ(-1, w.m_menuHover) << "left of the column";
    w.OnMouseMove(300, 248);
    EXPECT_EQ(-1, w.m_menuHover) << "above the first row";
    w.OnMouseMove(300, RowY(1));
    EXPECT_EQ(-1, w.m_menuHover) << "nothing to resume";
    w.OnMouseMove(300, RowY(3));
    EXPECT_EQ(3, w.m_menuHover);
    EXPECT_EQ(2, Count("sound:MenuClick"));
    EXPECT_EQ(-1, w.m_difficultyHover) << "the list is closed";
    EXPECT_EQ(300, w.m_mouseScreenX);
    EXPECT_EQ(768 - RowY(3), w.m_mouseScreenY);

    w.m_difficultyListOpen = true;
    w.OnMouseMove(541, RowY(2));
    EXPECT_EQ(2, w.m_difficultyHover);
    EXPECT_EQ(-1, w.m_menuHover);
    w.OnMouseMove(789, RowY(1));
    EXPECT_EQ(-1, w.m_difficultyHover) << "the empty row";
    w.OnMouseMove(790, RowY(5));
    EXPECT_EQ(-1, w.m_difficultyHover);
    w.OnMouseMove(700, RowY(5));
    EXPECT_EQ(5, w.m_difficultyHover);
    EXPECT_EQ(4, Count("sound:MenuClick"));
}

TEST_F(MenuTest, NewGameTwiceClosesTheDifficultyListAgain)
{
    Click(MAIN_X, RowY(0));
    EXPECT_TRUE(World().m_difficultyListOpen);
    EXPECT_EQ(STATE_MENU, World().m_state);
    Click(MAIN_X, RowY(0));
    EXPECT_FALSE(World().m_difficultyListOpen);
    EXPECT_EQ(2, Count("sound:MenuSwoosh"));
}

TEST_F(MenuTest, DifficultyRowsStartAMatchAtTheirLevel)
{
    for (int row = 2; row <= 5; ++row)
    {
        World().m_state = STATE_MENU;
        World().m_difficultyListOpen = true;
        World().m_resumable = true;
        m_log.clear();
        Click(LIST_X, RowY(row));
        EXPECT_EQ(STATE_MATCH, World().m_state) << row;
        EXPECT_FALSE(World().m_demo);
        EXPECT_FALSE(World().m_resumable) << "a fresh board";
        ASSERT_NE(nullptr, World().GetTeam(2).GetAI());
        EXPECT_EQ(static_cast<unsigned>(row - 2), World().GetTeam(2).GetAI()->GetDifficulty());
        EXPECT_EQ(nullptr, World().GetTeam(1).GetAI());
        EXPECT_EQ(1, Count("sound:MenuSwoosh"));
    }
}

TEST_F(MenuTest, DemoPlaysGreenAtLevelTwoAndLeavesBlueAtItsDefault)
{
    World().m_difficultyListOpen = true;
    Click(LIST_X, RowY(0));
    EXPECT_EQ(STATE_MATCH, World().m_state);
    EXPECT_TRUE(World().m_demo);
    ASSERT_NE(nullptr, World().GetTeam(1).GetAI());
    ASSERT_NE(nullptr, World().GetTeam(2).GetAI());
    EXPECT_EQ(2u, World().GetTeam(1).GetAI()->GetDifficulty());
    EXPECT_EQ(100u, World().GetTeam(2).GetAI()->GetDifficulty());
    EXPECT_EQ(nullptr, World().GetTeam(0).GetAI());
}

TEST_F(MenuTest, PauseAndResumeKeepTheBoard)
{
    CGameWorld& w = World();
    w.m_state = STATE_MATCH;
    Steps(3);
    EXPECT_TRUE(w.m_resumable);
    size_t nodes = w.m_nodes.size();

    w.OnKey(27, 0, true);
    EXPECT_EQ(STATE_MENU, w.m_state);
    EXPECT_EQ(1, Count("sound:MenuSwoosh"));
    EXPECT_TRUE(w.m_resumable);

    Click(MAIN_X, RowY(1));
    EXPECT_EQ(STATE_MATCH, w.m_state);
    EXPECT_EQ(2, Count("sound:MenuSwoosh"));
    EXPECT_EQ(nodes, w.m_nodes.size());
}

TEST_F(MenuTest, PausingTheMenuStateDoesNotAdvanceTheMatch)
{
    CGameWorld& w = World();
    w.GetTeam(1).StartCooldown(2);
    Steps(10);
    EXPECT_FLOAT_EQ(1.0f, w.GetTeam(1).GetCooldownFraction(2));
    EXPECT_FALSE(w.m_resumable);
}

TEST_F(MenuTest, ADecidedMatchCannotBeResumed)
{
    CGameWorld& w = World();
    w.m_state = STATE_MATCH;
    Steps(1);
    w.m_result = RESULT_WIN;
    w.m_difficultyListOpen = true;
    w.m_menuHover = 0;
    w.m_difficultyHover = 3;
    w.OnKey(27, 0, true);
    EXPECT_EQ(STATE_MENU, w.m_state);
    EXPECT_FALSE(w.m_resumable);
    EXPECT_FALSE(w.m_difficultyListOpen);
    EXPECT_EQ(-1, w.m_menuHover);
    EXPECT_EQ(-1, w.m_difficultyHover);
    Click(MAIN_X, RowY(1));
    EXPECT_EQ(STATE_MENU, w.m_state);
}

TEST_F(MenuTest, ClicksOffTheRowsDoNothing)
{
    Click(MAIN_X, RowY(2));
    Click(900, 700);
    EXPECT_EQ(STATE_MENU, World().m_state);
    EXPECT_FALSE(World().m_difficultyListOpen);
    EXPECT_EQ(0, Count("sound:MenuSwoosh"));
}
