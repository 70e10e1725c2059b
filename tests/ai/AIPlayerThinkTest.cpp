#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/RandomTable.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
// A fresh match in the engine's world, with every node an opponent is told about recorded
// by team and kind.
class ThinkTest : public ::testing::Test
{
  protected:
    CGameWorld& m_world = TheWorld();
    // Built nodes as "team:kind@x,y", in building order; each build is reported once.
    std::vector<std::string> m_builds;
    int m_built[CTeam::MAX_TIDS][KIND_OTHER + 1] = {};
    int m_mainNodesPlaced = 0;

    void SetUp() override
    {
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        CGameEngine::Instance().RemoveOption("debug");
        CGameEngine::Instance().RemoveOption("nointro");
        StartMatch(false, 4242);
        SetAIObserver(
            [this](const char* pCall, const CAIPlayer* pPlayer, CEntity* pNode)
            {
                std::string call(pCall);
                if (call == "OnMainNodeAdded" && pPlayer == FirstAI())
                    ++m_mainNodesPlaced;
                // Every opponent hears of every build; count it through the builder's own.
                if (!pNode || call.find("Built") == std::string::npos || pPlayer != FirstAI())
                    return;
                NodeKind kind = NodeKindOf(pNode);
                ++m_built[pNode->GetTeam()][kind];
                std::ostringstream out;
                out << pNode->GetTeam() << ":" << kind << "@" << pNode->GetPosition().x << ","
                    << pNode->GetPosition().y;
                m_builds.push_back(out.str());
            });
    }

    void TearDown() override
    {
        SetAIObserver(nullptr);
        m_world.m_demo = false;
        m_world.ClearMatch();
    }

    void StartMatch(bool pDemo, unsigned pSeed)
    {
        RandomTable::GetInstance().FillFromSeed(pSeed);
        m_world.ClearMatch();
        m_world.m_demo = pDemo;
        m_world.NewMatch();
        m_world.m_state = STATE_MATCH;
        m_builds.clear();
        for (auto& row : m_built)
            for (int& n : row)
                n = 0;
    }

    const CAIPlayer* FirstAI() const
    {
        for (int t = 0; t < CTeam::MAX_TIDS; ++t)
        {
            if (m_world.GetTeam(t).GetAI())
                return m_world.GetTeam(t).GetAI();
        }
        return nullptr;
    }

    CAIPlayer& Blue() { return *m_world.GetTeam(2).GetAI(); }
    CMainNode* MainOf(int pTeam) { return m_world.GetTeam(pTeam).GetMainNode(); }

    void SetEnergy(int pTeam, int pValue)
    {
        CTeam& team = m_world.GetTeam(pTeam);
        team.AddEnergy(-team.GetEnergyMax());
        team.AddEnergy(pValue);
    }

    // Match steps with the decision clock held back: only the test decides when Think runs.
    void QuietSteps(int pCount)
    {
        for (int i = 0; i < pCount; ++i)
        {
            m_world.m_thinkAccumulator = 0;
            m_world.Update(m_world.m_stepLength);
        }
    }

    // One decision of the blue side on settled lists, with fresh worths as the clock gives.
    void BlueThinks()
    {
        for (int t = 1; t < CTeam::MAX_TIDS; ++t)
            MainOf(t)->UpdateWorth();
        Blue().Think();
    }

    int CountOnBoard(int pTeam, NodeKind pKind) const
    {
        int n = 0;
        for (CEntity* e : m_world.GetNodes())
        {
            if (e->GetTeam() == pTeam && NodeKindOf(e) == pKind)
                ++n;
        }
        return n;
    }
};

TEST_F(ThinkTest, ShortOfAbsorberEnergyItWaitsForASiteAndDefendsWithShieldsOnly)
{
    // A beam-free site is out of reach and an extractor out of budget: wait, build nothing.
    QuietSteps(1);
    SetEnergy(2, CAbsorberNode::GetCost() - 1);
    size_t before = m_world.GetNodes().size();
    BlueThinks();
    EXPECT_EQ(m_world.GetNodes().size(), before);
    EXPECT_EQ(m_world.GetTeam(2).GetEnergy(), CAbsorberNode::GetCost() - 1);

    // A green beam wears the blue main node down: shields go up in its path, never absorbers.
    SetEnergy(1, CBeamNode::GetCost());
    CBeamNode* beam = dynamic_cast<CBeamNode*>(
        m_world.BuildBeamEmitter(1, CVector2(258.0f, 315.0f), MainOf(2)->GetPosition(), MainOf(1)));
    ASSERT_NE(beam, nullptr);
    QuietSteps(2);
    ASSERT_EQ(beam->GetTarget(), MainOf(2));
    MainOf(2)->TakeDamage(MainOf(2)->GetHealthMax() / 2, MainOf(2)->GetPosition(), DAMAGE_NONE, nullptr);
    for (int round = 0; round < 8 && CountOnBoard(2, KIND_SHIELD) == 0; ++round)
    {
        SetEnergy(2, CAbsorberNode::GetCost() - 1);
        BlueThinks();
        QuietSteps(200);
    }
    EXPECT_GE(CountOnBoard(2, KIND_SHIELD), 1);
    EXPECT_EQ(m_built[2][KIND_ABSORBER], 0);
    EXPECT_EQ(m_built[2][KIND_BEAM], 0);
    EXPECT_EQ(m_built[2][KIND_EXTRACTOR], 0);
    // The main node may not power the shield, so the network had to grow toward it first.
    EXPECT_GE(m_built[2][KIND_EXTENDER], 1);
}

TEST_F(ThinkTest, OutOfReachItExtendsTowardTheSpotAndStopsEvenWhenNoExtenderFits)
{
    // An idle blue emitter wants an absorber that only an extender may power; the sites all
    // count as taken, and there is energy enough to attack the green main node instead.
    SetEnergy(2, m_world.GetTeam(2).GetEnergyMax());
    ASSERT_NE(m_world.BuildBeamEmitter(2, CVector2(790.0f, 360.0f), CVector2(790.0f, 630.0f), MainOf(2)),
              nullptr);
    QuietSteps(600);
    Blue().m_freeResources.clear();
    SetEnergy(2, m_world.GetTeam(2).GetEnergyMax());
    m_world.GetTeam(2).StartCooldown(TOOL_EXTENDER);
    size_t before = m_world.GetNodes().size();
    BlueThinks();
    EXPECT_EQ(m_world.GetNodes().size(), before);

    // With the extender ready, the same decision builds one extender, no more.
    QuietSteps(200);
    SetEnergy(2, m_world.GetTeam(2).GetEnergyMax());
    BlueThinks();
    ASSERT_EQ(m_world.GetNodes().size(), before + 1);
    EXPECT_EQ(NodeKindOf(m_world.GetNodes().back()), KIND_EXTENDER);
    EXPECT_EQ(m_world.GetNodes().back()->GetParent(), MainOf(2));
}

TEST_F(ThinkTest, VeryEasyShieldsTheGreenMainNodeFromItsOwnBeams)
{
    for (unsigned level : {0u, 2u})
    {
        SCOPED_TRACE(level);
        StartMatch(false, 5);
        Blue().SetDifficulty(level);
        SetEnergy(2, m_world.GetTeam(2).GetEnergyMax());
        ASSERT_NE(m_world.BuildExtender(2, CVector2(700.0f, 390.0f), MainOf(2)), nullptr);
        CEntity* beam =
            m_world.BuildBeamEmitter(2, CVector2(700.0f, 315.0f), MainOf(1)->GetPosition(), MainOf(2));
        ASSERT_NE(beam, nullptr);
        QuietSteps(2);
        ASSERT_EQ(static_cast<CBeamNode*>(beam)->GetTarget(), MainOf(1));
        SetEnergy(2, CAbsorberNode::GetCost() - 1);
        BlueThinks();
        EXPECT_EQ(CountOnBoard(2, KIND_SHIELD), level == 0 ? 1 : 0);
    }
}

TEST_F(ThinkTest, EasyNeverPlacesAbsorbersInFrontOfIdleBeamsWhereHardDoes)
{
    for (unsigned level : {3u, 1u})
    {
        SCOPED_TRACE(level);
        StartMatch(false, 99);
        Blue().SetDifficulty(level);
        // A blue emitter firing into empty space, and an extender beside its beam to power
        // an absorber; every site counted as taken so that no extractor comes first.
        SetEnergy(2, m_world.GetTeam(2).GetEnergyMax());
        CEntity* fork = m_world.BuildExtender(2, CVector2(740.0f, 420.0f), MainOf(2));
        ASSERT_NE(fork, nullptr);
        CEntity* beam =
            m_world.BuildBeamEmitter(2, CVector2(790.0f, 360.0f), CVector2(790.0f, 630.0f), MainOf(2));
        ASSERT_NE(beam, nullptr);
        QuietSteps(500);
        ASSERT_EQ(static_cast<CBeamNode*>(beam)->GetTarget(), nullptr);
        Blue().m_freeResources.clear();
        for (int round = 0; round < 6; ++round)
        {
            SetEnergy(2, m_world.GetTeam(2).GetEnergyMax());
            BlueThinks();
            QuietSteps(400);
        }
        if (level == 3)
            EXPECT_GE(m_built[2][KIND_ABSORBER], 1);
        else
            EXPECT_EQ(m_built[2][KIND_ABSORBER], 0);
    }
}

TEST_F(ThinkTest, LevelHundredPlaysTheSameMatchAsHard)
{
    // A demo board, so that the blue side meets shields, absorbers and beams to answer.
    std::vector<std::string> runs[2];
    const unsigned levels[2] = {3, 100};
    for (int i = 0; i < 2; ++i)
    {
        StartMatch(true, 2024);
        Blue().SetDifficulty(levels[i]);
        for (int step = 0; step < 9000; ++step)
            m_world.Update(m_world.m_stepLength);
        runs[i] = m_builds;
        EXPECT_GE(m_built[2][KIND_ABSORBER] + m_built[2][KIND_SHIELD], 1);
    }
    EXPECT_GE(runs[0].size(), 20u);
    EXPECT_EQ(runs[0], runs[1]);
}

// Blue at each level against a green side that builds one extractor and then sits still.
TEST_F(ThinkTest, EveryLevelBreaksAPassiveGreenSide)
{
    for (unsigned level = 0; level <= 3; ++level)
    {
        SCOPED_TRACE(level);
        StartMatch(false, 7 + level);
        Blue().SetDifficulty(level);
        CEntity* fork = m_world.BuildExtender(1, CVector2(130.0f, 390.0f), MainOf(1));
        ASSERT_NE(fork, nullptr);
        QuietSteps(200);
        SetEnergy(1, CExtractorNode::GetCost());
        ASSERT_NE(m_world.BuildExtractor(1, CVector2(127.5f, 465.0f), fork), nullptr);

        // Up to 16 minutes of game time; Very Easy is done once the extractor is gone.
        int steps = 0;
        while (m_world.m_result == RESULT_UNDECIDED && steps < 60000 &&
               (level > 0 || CountOnBoard(1, KIND_EXTRACTOR) > 0))
        {
            m_world.Update(m_world.m_stepLength);
            ++steps;
        }
        EXPECT_GE(m_built[2][KIND_EXTRACTOR], 2);
        EXPECT_GE(m_built[2][KIND_BEAM], 1);
        if (level <= 1)
        {
            EXPECT_EQ(m_built[2][KIND_ABSORBER], 0);
        }
        if (level == 0)
        {
            // Very Easy never aims at a main node; it only takes the outlying nodes.
            EXPECT_EQ(CountOnBoard(1, KIND_EXTRACTOR), 0);
        }
        else
        {
            EXPECT_EQ(m_world.m_result, RESULT_LOSE) << "steps " << steps;
            EXPECT_EQ(MainOf(1), nullptr);
        }
    }
}

// Both sides played by the computer for several minutes of game time, over a few boards.
TEST_F(ThinkTest, DemoMatchesPlayOutOnSeveralSeeds)
{
    int wins = 0;
    for (unsigned seed : {1u, 2u, 3u})
    {
        SCOPED_TRACE(seed);
        StartMatch(true, seed);
        m_world.m_greenWins = 0;
        m_world.m_blueWins = 0;
        m_mainNodesPlaced = 0;
        for (int step = 0; step < 22500; ++step) // six minutes
            m_world.Update(m_world.m_stepLength);
        for (int team = 1; team <= 2; ++team)
        {
            EXPECT_GE(m_built[team][KIND_EXTRACTOR], 2) << "team " << team;
            EXPECT_GE(m_built[team][KIND_EXTENDER], 2) << "team " << team;
        }
        EXPECT_GE(m_built[1][KIND_BEAM] + m_built[2][KIND_BEAM], 1);
        // At least one match ended and the next began with two fresh main nodes.
        EXPECT_GE(m_mainNodesPlaced, 2);
        wins += m_world.m_greenWins + m_world.m_blueWins;
    }
    EXPECT_GE(wins, 1);
}
} // namespace
