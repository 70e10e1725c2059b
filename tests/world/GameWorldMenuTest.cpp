#include "ai/Levels.h"
#include "world/WorldTestSupport.h"
#include <SDL/SDL_keysym.h>

namespace
{
// Mouse rows with the default 768-pixel window: row r starts at y = 249 + 40 r.
int RowY(int pRow)
{
    return 249 + 40 * pRow;
}
// The difficulty list's rows lie closer.
int ListY(int pRow)
{
    return 249 + CGameWorld::DIFFICULTY_ROW_PITCH * pRow;
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
    static void Click(int pX, int pY)
    {
        World().OnMouseMove(pX, pY);
        World().OnMouseButton(1, true, pX, pY);
        World().OnMouseButton(1, false, pX, pY);
    }
};
} // namespace

TEST_F(MenuTest, HoverFollowsTheRowBandsSkipsDisabledRowsAndClicksOnChange)
{
    CGameWorld& w = World();
    w.OnMouseMove(141, 249);
    EXPECT_EQ(0, w.m_menuHover);
    w.OnMouseMove(439, 272);
    EXPECT_EQ(0, w.m_menuHover);
    EXPECT_EQ(1, Count("sound:MenuClick")) << "same row, no new click";
    // Off the rows, and over a row that cannot be chosen, the highlight stays for the keys.
    const int offRows[][2] = {{300, 273}, {140, 260}, {300, 248}, {300, RowY(1)}, {300, RowY(2)}};
    for (const auto& at : offRows)
    {
        w.OnMouseMove(at[0], at[1]);
        EXPECT_EQ(0, w.m_menuHover) << at[0] << "," << at[1];
    }
    w.OnMouseMove(300, RowY(3));
    EXPECT_EQ(3, w.m_menuHover);
    EXPECT_EQ(-1, w.m_difficultyHover) << "the list is closed";
    EXPECT_EQ(768 - RowY(3), w.m_mouseScreenY);
    w.m_resumable = true;
    w.OnMouseMove(300, RowY(1));
    EXPECT_EQ(1, w.m_menuHover);

    w.m_difficultyListOpen = true;
    // Demo, a gap, a row per menu level, then nothing; one column is highlighted at a time.
    for (int row = 0; row < 3 + MENU_LEVEL_COUNT; ++row)
    {
        w.OnMouseMove(789, ListY(row));
        EXPECT_EQ(row == 1 || row == 2 + MENU_LEVEL_COUNT ? row - 1 : row, w.m_difficultyHover) << row;
        EXPECT_EQ(-1, w.m_menuHover);
    }
    w.OnMouseMove(790, ListY(5));
    EXPECT_EQ(1 + MENU_LEVEL_COUNT, w.m_difficultyHover);
    EXPECT_EQ(4 + MENU_LEVEL_COUNT, Count("sound:MenuClick"));
    Click(790, ListY(5));
    EXPECT_EQ(STATE_MENU, w.m_state) << "a click off the rows chooses nothing";
}

TEST_F(MenuTest, NewGameTwiceClosesTheDifficultyListAgain)
{
    Click(MAIN_X, RowY(0));
    EXPECT_TRUE(World().m_difficultyListOpen);
    Click(MAIN_X, RowY(0));
    EXPECT_FALSE(World().m_difficultyListOpen);
    EXPECT_EQ(STATE_MENU, World().m_state);
    EXPECT_EQ(2, Count("sound:MenuSwoosh"));
}

TEST_F(MenuTest, DifficultyRowsSetBluesLevelAndDemoPlaysGreenAtTwo)
{
    // Every menu level once, the first five among them in their order.
    std::vector<unsigned> chosen;
    for (int row = 2; row < 2 + MENU_LEVEL_COUNT; ++row)
    {
        World().m_state = STATE_MENU;
        World().m_difficultyListOpen = true;
        Click(LIST_X, ListY(row));
        EXPECT_EQ(STATE_MATCH, World().m_state) << row;
        EXPECT_FALSE(World().m_demo);
        ASSERT_NE(nullptr, World().GetTeam(2).GetAI());
        chosen.push_back(World().GetTeam(2).GetAI()->GetDifficulty());
        EXPECT_EQ(nullptr, World().GetTeam(1).GetAI());
    }
    // Weakest first by the ratings shown beside them, no paced player among them.
    for (size_t i = 0; i < chosen.size(); ++i)
    {
        EXPECT_NE(PLAN_PLAIN, LevelEntry(chosen[i]).plan) << chosen[i];
        if (i > 0)
        {
            EXPECT_LT(MeasuredRating(chosen[i - 1]), MeasuredRating(chosen[i])) << LevelEntry(chosen[i]).name;
        }
    }
    EXPECT_EQ(LEVEL_COUNT - 4, chosen.size()) << "every level but the four paced players";
    std::sort(chosen.begin(), chosen.end());
    EXPECT_EQ(chosen.end(), std::unique(chosen.begin(), chosen.end()));
    World().m_state = STATE_MENU;
    Click(LIST_X, ListY(0));
    EXPECT_TRUE(World().m_demo);
    ASSERT_NE(nullptr, World().GetTeam(1).GetAI());
    EXPECT_EQ(2u, World().GetTeam(1).GetAI()->GetDifficulty());
    EXPECT_EQ(100u, World().GetTeam(2).GetAI()->GetDifficulty());
    EXPECT_EQ(1 + MENU_LEVEL_COUNT, Count("sound:MenuSwoosh"));
}

TEST_F(MenuTest, APausedMatchStandsStillAndResumesUnlessDecided)
{
    CGameWorld& w = World();
    w.m_state = STATE_MATCH;
    Steps(1);
    w.OnKey(27, 0, true);
    EXPECT_EQ(STATE_MENU, w.m_state);
    EXPECT_EQ(0, w.m_menuHover) << "the first row highlighted";
    w.GetTeam(1).StartCooldown(2);
    Steps(10);
    EXPECT_FLOAT_EQ(1.0f, w.GetTeam(1).GetCooldownFraction(2));
    Click(MAIN_X, RowY(1));
    EXPECT_EQ(STATE_MATCH, w.m_state);
    EXPECT_EQ(2, Count("sound:MenuSwoosh"));
    w.OnKey(27, 0, true);
    EXPECT_EQ(1, w.m_menuHover) << "the row last chosen";
    w.OnKey(SDLK_RETURN, 0, true);
    EXPECT_EQ(STATE_MATCH, w.m_state);

    w.m_result = RESULT_WIN;
    w.m_difficultyListOpen = true;
    w.m_difficultyHover = 3;
    w.OnKey(27, 0, true);
    EXPECT_FALSE(w.m_resumable);
    EXPECT_FALSE(w.m_difficultyListOpen);
    EXPECT_EQ(0, w.m_menuHover) << "Resume cannot be chosen: the first row instead";
    EXPECT_EQ(-1, w.m_difficultyHover);
    Click(MAIN_X, RowY(1));
    EXPECT_EQ(STATE_MENU, w.m_state);
}

TEST_F(MenuTest, StepsAskForANewPictureOnlyOnceTheGearsHaveTurnedVisibly)
{
    CGameWorld& w = World();
    w.m_drawnSpinAngle = w.m_spinAngle;
    w.m_stepAccumulator = 0;
    std::vector<bool> redraw;
    for (int i = 0; i < 7; ++i)
        redraw.push_back(w.Update(w.m_stepLength));
    EXPECT_EQ(std::vector<bool>({false, false, false, false, false, false, true}), redraw)
        << "0.0384 degrees a step: the seventh passes a quarter degree";
    w.m_state = STATE_MATCH;
    EXPECT_TRUE(w.Update(w.m_stepLength)) << "in a match every step shows";
}

TEST_F(MenuTest, TheKeysWalkTheMenuAndTheListAndOpenTheNewScreensBelowExit)
{
    CGameWorld& w = World();
    std::vector<int> opened;
    auto keep = w.m_openScreen;
    w.m_openScreen = [&opened](int pScreen) { opened.push_back(pScreen); };
    const int walk[][2] = {{SDLK_DOWN, 0}, {SDLK_DOWN, 3}, {SDLK_TAB, 5}, {SDLK_DOWN, 6},
                           {SDLK_UP, 5},   {SDLK_UP, 3},   {SDLK_UP, 0},  {SDLK_UP, 8}};
    for (const auto& step : walk)
    {
        w.OnKey(step[0], 0, true);
        EXPECT_EQ(step[1], w.m_menuHover) << step[0];
    }
    w.OnKey(SDLK_RETURN, 0, true);
    EXPECT_EQ(std::vector<int>{3}, opened) << "Settings";
    w.OnMouseMove(MAIN_X, RowY(6));
    EXPECT_EQ(6, w.m_menuHover);
    Click(MAIN_X, RowY(6));
    EXPECT_EQ((std::vector<int>{3, 1}), opened) << "Watch";

    w.m_menuHover = 0;
    w.OnKey(SDLK_RETURN, 0, true);
    ASSERT_TRUE(w.m_difficultyListOpen);
    w.OnKey(SDLK_RIGHT, 0, true);
    EXPECT_EQ(0, w.m_difficultyHover);
    EXPECT_EQ(-1, w.m_menuHover);
    w.OnKey(SDLK_DOWN, 0, true);
    EXPECT_EQ(2, w.m_difficultyHover) << "past the gap";
    w.OnKey(SDLK_RETURN, 0, true);
    EXPECT_EQ(STATE_MATCH, w.m_state);
    ASSERT_NE(nullptr, w.GetTeam(2).GetAI());
    EXPECT_EQ(0u, w.GetTeam(2).GetAI()->GetDifficulty()) << "Very Easy";
    w.m_openScreen = keep;
}
