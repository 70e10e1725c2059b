#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "media/SoundManager.h"
#include "world/GameWorld.h"

namespace
{
// A world of its own, so that the intro starts from its constructed counters.
class IntroTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        CGameEngine::Instance().RemoveOption("nointro");
        SetSoundObserver([this](const std::string& pId) { m_sounds.push_back(pId); });
    }
    void TearDown() override
    {
        SetSoundObserver(nullptr);
        CGameEngine::Instance().RemoveOption("nointro");
    }

    // Steps until the menu shows; the count includes the step that leaves the intro.
    int StepsToMenu()
    {
        int steps = 0;
        while (m_world.m_state == STATE_INTRO && steps < 1000)
        {
            m_world.Update(16);
            ++steps;
        }
        return steps;
    }

    CGameWorld m_world{&CGameEngine::Instance()};
    std::vector<std::string> m_sounds;
};
} // namespace

TEST_F(IntroTest, ConstructionSetsEveryFieldToItsStartValue)
{
    const CGameWorld& w = m_world;
    EXPECT_EQ(&CGameEngine::Instance(), w.m_GameEngine);
    EXPECT_FALSE(w.m_debug);
    EXPECT_EQ(CVector2(0.0f, 0.0f), w.m_viewCentre);
    EXPECT_FLOAT_EQ(1.0f, w.m_zoom);
    EXPECT_FLOAT_EQ(945.0f, w.GetBoardWidth());
    EXPECT_FLOAT_EQ(630.0f, w.GetBoardHeight());
    EXPECT_EQ(0u, w.m_stepAccumulator);
    EXPECT_EQ(16u, w.m_stepLength);
    EXPECT_EQ(0u, w.m_thinkAccumulator);
    EXPECT_EQ(500u, w.m_thinkPeriod);
    EXPECT_TRUE(w.m_nodes.empty());
    EXPECT_EQ(1, w.m_playerTeam);
    EXPECT_EQ(0, w.m_overlayMode);
    EXPECT_FALSE(w.m_demo);
    EXPECT_EQ(120000, w.m_demoTimer.GetValue());
    EXPECT_EQ(120000, w.m_demoTimer.GetMax());
    EXPECT_EQ(0, w.m_greenWins);
    EXPECT_EQ(0, w.m_blueWins);
    EXPECT_EQ(TOOL_NONE, w.m_selectedTool);
    EXPECT_EQ(TOOL_NONE, w.m_hoveredTool);
    EXPECT_EQ(PLACE_IDLE, w.m_placeMode);
    EXPECT_EQ(0, w.m_placeSourceId);
    EXPECT_FLOAT_EQ(0.0f, w.m_spinAngle);
    EXPECT_TRUE(w.m_effects.empty());
    EXPECT_FALSE(w.m_resumable);
    EXPECT_EQ(STATE_INTRO, w.m_state);
    EXPECT_EQ(RESULT_UNDECIDED, w.m_result);
    EXPECT_EQ(-1, w.m_menuHover);
    EXPECT_EQ(-1, w.m_difficultyHover);
    EXPECT_FALSE(w.m_difficultyListOpen);
    EXPECT_EQ(nullptr, w.m_music);
    EXPECT_EQ(-1, w.m_mouseScreenX);
    EXPECT_EQ(-1, w.m_mouseScreenY);
    EXPECT_EQ(0, w.m_messageTimer.GetValue()) << "nothing to show yet";
    EXPECT_EQ(2500, w.m_messageTimer.GetMax());
    EXPECT_TRUE(w.m_message.empty());
    EXPECT_EQ(4, w.m_introStage.GetValue());
    EXPECT_EQ(500, w.m_introTimer.GetValue());
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        EXPECT_EQ(10000000, w.GetTeam(id).GetEnergy());
    EXPECT_FLOAT_EQ(1.0f, w.GetCostFactor());
}

TEST(IntroDeathTest, AWorldNeedsItsEngine)
{
    EXPECT_DEATH(CGameWorld world(nullptr), "m_GameEngine");
    CGameWorld world(&CGameEngine::Instance());
    EXPECT_DEATH(world.GetTeam(3), "pTeam < CTeam::MAX_TIDS");
}

TEST_F(IntroTest, StagesLastHalfASecondThenTwoThreeAndTwoSeconds)
{
    // 500 ms is 32 steps of 16 ms (the last one runs the timer out).
    for (int i = 0; i < 31; ++i)
        m_world.Update(16);
    EXPECT_EQ(4, m_world.m_introStage.GetValue());
    m_world.Update(16);
    EXPECT_EQ(3, m_world.m_introStage.GetValue());
    EXPECT_EQ(2000, m_world.m_introTimer.GetValue());
    for (int i = 0; i < 125; ++i)
        m_world.Update(16);
    EXPECT_EQ(2, m_world.m_introStage.GetValue());
    EXPECT_EQ(3000, m_world.m_introTimer.GetMax());
    for (int i = 0; i < 188; ++i)
        m_world.Update(16);
    EXPECT_EQ(1, m_world.m_introStage.GetValue());
    for (int i = 0; i < 125; ++i)
        m_world.Update(16);
    EXPECT_EQ(0, m_world.m_introStage.GetValue());
    EXPECT_EQ(STATE_INTRO, m_world.m_state) << "the menu comes with the next step";
    m_world.Update(16);
    EXPECT_EQ(STATE_MENU, m_world.m_state);
    EXPECT_FLOAT_EQ(0.0f, m_world.m_spinAngle) << "the intro does not turn the spinner";
    ASSERT_EQ(1u, m_sounds.size());
    EXPECT_EQ("QuillmothIntro", m_sounds[0]);
}

TEST_F(IntroTest, WholeIntroTakesAboutSevenAndAHalfSeconds)
{
    int steps = StepsToMenu();
    EXPECT_EQ(471, steps);
    EXPECT_NEAR(7.5, (steps - 1) * 16 / 1000.0, 0.05);
}

TEST_F(IntroTest, IntroSoundStartsOnTheVeryFirstStep)
{
    m_world.Update(15);
    EXPECT_TRUE(m_sounds.empty()) << "no step yet";
    m_world.Update(1);
    ASSERT_EQ(1u, m_sounds.size());
    EXPECT_EQ("QuillmothIntro", m_sounds[0]);
}

TEST_F(IntroTest, KeyPressOrButtonPressSkipsButReleasesDoNot)
{
    m_world.Update(16);
    m_world.OnKey('x', 0, false);
    m_world.OnMouseButton(1, false, 10, 10);
    m_world.Update(16);
    EXPECT_EQ(STATE_INTRO, m_world.m_state);
    EXPECT_EQ(4, m_world.m_introStage.GetValue());

    m_world.OnKey('x', 0, true);
    m_world.Update(16);
    EXPECT_EQ(STATE_MENU, m_world.m_state);

    CGameWorld other(&CGameEngine::Instance());
    other.Update(16);
    other.OnMouseButton(3, true, 500, 500);
    other.Update(16);
    EXPECT_EQ(STATE_MENU, other.m_state);
}

TEST_F(IntroTest, NoIntroOptionReachesTheMenuInTwoStepsWithoutTheIntroSound)
{
    CGameEngine::Instance().AddOption("nointro");
    m_world.Update(16);
    EXPECT_EQ(STATE_INTRO, m_world.m_state);
    EXPECT_FLOAT_EQ(0.0384f, m_world.m_spinAngle) << "the skipping step goes on";
    m_world.Update(16);
    EXPECT_EQ(STATE_MENU, m_world.m_state);
    EXPECT_TRUE(m_sounds.empty());
}

TEST_F(IntroTest, SpinnerTurnsInTheMenu)
{
    m_world.m_state = STATE_MENU;
    for (int i = 0; i < 10; ++i)
        m_world.Update(16);
    EXPECT_NEAR(0.384f, m_world.m_spinAngle, 1e-5f);
}
