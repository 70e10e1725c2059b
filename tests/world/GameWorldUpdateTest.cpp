#include "media/Graphic.h"
#include "media/Sprite.h"
#include "world/WorldTestSupport.h"

namespace
{
// Steps on a board of stand-in nodes only.
class StepTest : public WorldTest
{
  protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        World().ClearMatch();
        // ClearMatch leaves the teams alone (a new match always follows it); an opponent kept
        // across it would still hold the deleted board's nodes.
        World().GetTeam(2).SetAI(false);
        World().GetTeam(2).SetAI(true);
        m_log.clear();
    }

    CLoggingNode* Add(const std::string& pName)
    {
        CLoggingNode* node = new CLoggingNode(&m_log, pName);
        World().AddEntity(node);
        return node;
    }

    Strings Names() const
    {
        Strings out;
        for (CEntity* e : World().m_nodes)
            out.push_back(static_cast<CLoggingNode*>(e)->m_name);
        return out;
    }
};
} // namespace

TEST_F(StepTest, AtMostOneStepPerUpdateAndTheRestCarriesOver)
{
    CGameWorld& w = World();
    w.ShowMessage("Location occupied");
    EXPECT_FALSE(w.Update(15));
    EXPECT_FALSE(w.m_resumable) << "no step yet";
    EXPECT_EQ(1u, w.TimeToNextStep());
    EXPECT_TRUE(w.Update(1));
    EXPECT_TRUE(w.m_resumable);
    EXPECT_EQ(16u, w.TimeToNextStep());
    EXPECT_FLOAT_EQ(0.0384f, w.m_spinAngle);
    EXPECT_EQ(2484, w.m_messageTimer.GetValue());

    w.Update(100);
    EXPECT_EQ(84u, w.m_stepAccumulator);
    EXPECT_EQ(0u, w.TimeToNextStep()) << "behind: the next step is due at once";
    for (int i = 0; i < 6; ++i)
        w.Update(0);
    EXPECT_EQ(4u, w.m_stepAccumulator);
    EXPECT_NEAR(7 * 0.0384f, w.m_spinAngle, 1e-5f);
}

TEST_F(StepTest, NodesBeginThenUpdateFromLastToFirstAndNewcomersWait)
{
    World().GetTeam(2).SetAI(false);
    Add("a");
    CLoggingNode* b = Add("b");
    Add("c");
    b->m_spawnInUpdate = [this] { return new CLoggingNode(&m_log, "d"); };
    Steps(1);
    EXPECT_EQ(Strings({"begin:c", "begin:b", "begin:a", "update:c", "update:b", "update:a"}), m_log);
    EXPECT_EQ(16, b->m_lastDt);
    m_log.clear();
    Steps(1);
    EXPECT_EQ(
        Strings({"begin:d", "begin:c", "begin:b", "begin:a", "update:d", "update:c", "update:b", "update:a"}),
        m_log);
}

TEST_F(StepTest, ADeadNodeGoesInTheSameStepAfterTheOpponentsHearOfIt)
{
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        World().GetTeam(id).SetAI(true);
    Add("a");
    CLoggingNode* b = Add("b");
    Add("c");
    b->m_dieInUpdate = true;
    Steps(1);
    EXPECT_EQ(Strings({"begin:c", "begin:b", "begin:a", "update:c", "update:b", "update:a",
                       "OnEntityRemoved@0", "OnEntityRemoved@1", "OnEntityRemoved@2", "delete:b", "Think@2",
                       "Think@1", "Think@0", "Upkeep@2", "Upkeep@1", "Upkeep@0"}),
              m_log);
    EXPECT_EQ(Strings({"a", "c"}), Names()) << "the last node fills the hole";

    // The node moved into a hole is examined too.
    Add("d");
    World().m_nodes[0]->Kill();
    World().m_nodes[2]->Kill();
    Steps(1);
    EXPECT_EQ(Strings({"c"}), Names());
}

TEST_F(StepTest, OpponentsThinkEveryHalfSecondStartingWithTheFirstStep)
{
    World().GetTeam(2).SetAI(true);
    std::vector<int> thinkSteps;
    for (int step = 1; step <= 63; ++step)
    {
        m_log.clear();
        Steps(1);
        if (Count("Think@2") == 1)
            thinkSteps.push_back(step);
        EXPECT_EQ(1, Count("Upkeep@2")) << step;
    }
    EXPECT_EQ(std::vector<int>({1, 32, 63}), thinkSteps);
}

TEST_F(StepTest, CooldownsTickAndSpentEffectsArePruned)
{
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        World().GetTeam(id).StartCooldown(TOOL_EXTENDER);
    CSprite sprite(0.0f, 0.0f, 8.0f, 8.0f, 0, 64.0f, 64.0f);
    CGameWorld& w = World();
    w.AddGraphic(&sprite, CVector2(0.0f, 0.0f), 0.0f, CColor(), 16, CVector2(0.0f, 0.0f));
    w.AddGraphic(&sprite, CVector2(10.0f, 0.0f), 0.0f, CColor(), 48, CVector2(1.0f, 0.0f));
    w.AddGraphic(&sprite, CVector2(20.0f, 0.0f), 0.0f, CColor(), 16, CVector2(0.0f, 0.0f));
    Steps(1);
    ASSERT_EQ(1u, w.m_effects.size());
    EXPECT_FLOAT_EQ(26.0f, w.m_effects[0]->GetPosition().x);
    Steps(2);
    EXPECT_TRUE(w.m_effects.empty());

    Steps(121);
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        EXPECT_FALSE(w.GetTeam(id).IsCooldownReady(TOOL_EXTENDER)) << id;
    Steps(1);
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        EXPECT_TRUE(w.GetTeam(id).IsCooldownReady(TOOL_EXTENDER)) << id;
}
