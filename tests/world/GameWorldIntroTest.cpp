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
    void Steps(int pCount)
    {
        for (int i = 0; i < pCount; ++i)
            m_world.Update(16);
    }

    CGameWorld m_world{&CGameEngine::Instance()};
    std::vector<std::string> m_sounds;
};
} // namespace

TEST_F(IntroTest, StagesLastHalfASecondThenTwoThreeAndTwoSeconds)
{
    EXPECT_EQ(0, m_world.m_messageTimer.GetValue()) << "nothing to show yet";
    EXPECT_EQ(2500, m_world.m_messageTimer.GetMax());
    // Each stage ends on the step that runs its timer out: 500 ms take 32 steps.
    const int stageSteps[4] = {32, 125, 188, 125};
    for (int stage = 4; stage >= 1; --stage)
    {
        EXPECT_EQ(stage, m_world.m_introStage.GetValue());
        Steps(stageSteps[4 - stage] - 1);
        EXPECT_EQ(stage, m_world.m_introStage.GetValue());
        Steps(1);
    }
    EXPECT_EQ(0, m_world.m_introStage.GetValue());
    EXPECT_EQ(STATE_INTRO, m_world.m_state) << "the menu comes with the next step";
    Steps(1);
    EXPECT_EQ(STATE_MENU, m_world.m_state);
    EXPECT_FLOAT_EQ(0.0f, m_world.m_spinAngle) << "the intro does not turn the spinner";
    EXPECT_EQ(std::vector<std::string>({"QuillmothIntro"}), m_sounds);
    Steps(10);
    EXPECT_NEAR(0.384f, m_world.m_spinAngle, 1e-5f);
}

TEST_F(IntroTest, KeyOrButtonPressesSkipButReleasesDoNot)
{
    m_world.Update(15);
    EXPECT_TRUE(m_sounds.empty()) << "no step yet";
    m_world.Update(1);
    EXPECT_EQ(std::vector<std::string>({"QuillmothIntro"}), m_sounds);
    m_world.OnKey('x', 0, false);
    m_world.OnMouseButton(1, false, 10, 10);
    Steps(1);
    EXPECT_EQ(STATE_INTRO, m_world.m_state);
    m_world.OnKey('x', 0, true);
    Steps(1);
    EXPECT_EQ(STATE_MENU, m_world.m_state);

    CGameWorld other(&CGameEngine::Instance());
    other.OnMouseButton(3, true, 500, 500);
    other.Update(16);
    EXPECT_EQ(STATE_MENU, other.m_state);
}

TEST_F(IntroTest, NoIntroOptionReachesTheMenuInTwoStepsWithoutTheIntroSound)
{
    CGameEngine::Instance().AddOption("nointro");
    Steps(1);
    EXPECT_EQ(STATE_INTRO, m_world.m_state);
    EXPECT_FLOAT_EQ(0.0384f, m_world.m_spinAngle) << "the skipping step goes on";
    Steps(1);
    EXPECT_EQ(STATE_MENU, m_world.m_state);
    EXPECT_TRUE(m_sounds.empty());
}

TEST(IntroDeathTest, AWorldNeedsItsEngine)
{
    EXPECT_DEATH(CGameWorld world(nullptr), "m_GameEngine");
    CGameWorld world(&CGameEngine::Instance());
    EXPECT_DEATH(world.GetTeam(3), "pTeam < CTeam::MAX_TIDS");
    world.m_GameEngine = nullptr;
    EXPECT_DEATH(world.OnKey('x', 0, true), "m_GameEngine");
    EXPECT_DEATH(world.OnMouseMove(1, 1), "m_GameEngine");
    EXPECT_DEATH(world.OnMouseButton(1, true, 1, 1), "m_GameEngine");
    EXPECT_DEATH(world.Update(16), "m_GameEngine");
    EXPECT_DEATH(world.NewMatch(), "m_GameEngine");
    world.m_GameEngine = &CGameEngine::Instance();
}
