#include "world/Team.h"

#include <cmath>

#include <gtest/gtest.h>

#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "nodes/MainNode.h"

TEST(TeamTest, FreshTeamHasOneExtractorOfEnergyNoMainNodeAndReadyCooldowns)
{
    CTeam team;
    EXPECT_EQ(0, team.GetId());
    team.Init(2);
    EXPECT_EQ(2, team.GetId());
    EXPECT_EQ(10000000, team.GetEnergy());
    EXPECT_EQ(30000000, team.GetEnergyMax());
    EXPECT_EQ(nullptr, team.GetMainNode());
    EXPECT_EQ(nullptr, team.GetAI());
    for (int i = 0; i < CTeam::m_nCooldowns; ++i)
    {
        EXPECT_TRUE(team.IsCooldownReady(i)) << i;
        EXPECT_FLOAT_EQ(0.0f, team.GetCooldownFraction(i)) << i;
    }
}

TEST(TeamTest, EnergyIsClampedToTheStockLimits)
{
    CTeam team;
    team.Init(1);
    team.AddEnergy(25000000);
    EXPECT_EQ(30000000, team.GetEnergy());
    team.Init(1);
    team.AddEnergy(-15000000);
    EXPECT_EQ(0, team.GetEnergy());
    team.AddEnergy(1234);
    EXPECT_EQ(1234, team.GetEnergy());
}

TEST(TeamTest, CooldownFractionRunsDownAsItTicks)
{
    CTeam team;
    team.Init(1);
    team.StartCooldown(1);
    EXPECT_FALSE(team.IsCooldownReady(1));
    EXPECT_FLOAT_EQ(1.0f, team.GetCooldownFraction(1));
    EXPECT_TRUE(team.IsCooldownReady(0)) << "only the started slot runs";
    team.TickCooldowns(4000);
    EXPECT_FLOAT_EQ(0.5f, team.GetCooldownFraction(1));
    team.TickCooldowns(4000);
    EXPECT_TRUE(team.IsCooldownReady(1));
    team.TickCooldowns(16);
    EXPECT_TRUE(team.IsCooldownReady(1));
    EXPECT_FLOAT_EQ(0.0f, team.GetCooldownFraction(1));
}

TEST(TeamTest, EachCooldownIsReadyAfterItsDurationInWholeSteps)
{
    const int durations[CTeam::m_nCooldowns] = {2000, 8000, 1000, 3000, 6000};
    for (int slot = 0; slot < CTeam::m_nCooldowns; ++slot)
    {
        CTeam team;
        team.Init(1);
        team.StartCooldown(slot);
        int steps = 0;
        while (!team.IsCooldownReady(slot) && steps < 10000)
        {
            team.TickCooldowns(16);
            ++steps;
        }
        EXPECT_EQ(static_cast<int>(std::ceil(durations[slot] / 16.0)), steps) << "slot " << slot;
    }
}

TEST(TeamTest, InitReturnsATeamToItsStartAndDropsItsOpponent)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    CTeam team;
    team.Init(1);
    CMainNode* node = new CMainNode;
    team.SetMainNode(node);
    team.SetAI(true);
    team.StartCooldown(4);
    team.AddEnergy(-team.GetEnergy());

    team.Init(2);
    EXPECT_EQ(2, team.GetId());
    EXPECT_EQ(nullptr, team.GetAI());
    EXPECT_EQ(nullptr, team.GetMainNode());
    EXPECT_TRUE(team.IsCooldownReady(4));
    EXPECT_EQ(10000000, team.GetEnergy());
    delete node;
}

TEST(TeamTest, SetAIOwnsExactlyOneOpponent)
{
    CTeam team;
    team.Init(2);
    team.SetAI(false);
    EXPECT_EQ(nullptr, team.GetAI());
    team.SetAI(true);
    CAIPlayer* first = team.GetAI();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(&team, first->GetTeam());
    team.SetAI(true);
    EXPECT_EQ(first, team.GetAI()) << "switching on twice keeps the opponent";
    team.SetAI(false);
    EXPECT_EQ(nullptr, team.GetAI());
}

TEST(TeamTest, MainNodeReadsAsNoneOnceDestroyed)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    CTeam team;
    team.Init(1);
    CMainNode* node = new CMainNode;
    team.SetMainNode(node);
    EXPECT_EQ(node, team.GetMainNode());
    int id = team.GetMainNodeId();
    EXPECT_NE(0, id);
    delete node;
    EXPECT_EQ(nullptr, team.GetMainNode());
    EXPECT_EQ(id, team.GetMainNodeId()) << "the id is kept; only the lookup fails";
}

TEST(TeamTest, ColoursByTeamId)
{
    EXPECT_EQ(CColor(0.5f, 0.5f, 0.5f, 1.0f), CTeam::ColourOf(0));
    EXPECT_EQ(CColor(0.0f, 0.5f, 0.2f, 1.0f), CTeam::ColourOf(1));
    EXPECT_EQ(CColor(0.0f, 0.4f, 0.7f, 1.0f), CTeam::ColourOf(2));
    EXPECT_EQ(CColor(0.5f, 0.5f, 0.5f, 1.0f), CTeam::ColourOf(7));
    CTeam team;
    team.Init(2);
    EXPECT_EQ(CColor(0.0f, 0.4f, 0.7f, 1.0f), team.GetColour());
}

TEST(TeamDeathTest, BadArgumentsEndTheProgram)
{
    CTeam team;
    EXPECT_DEATH(team.Init(3), "pTeamId < MAX_TIDS");
    EXPECT_DEATH(team.SetMainNode(nullptr), "pNode");
    EXPECT_DEATH(team.StartCooldown(5), "pIndex < m_nCooldowns");
    EXPECT_DEATH(team.IsCooldownReady(5), "pIndex < m_nCooldowns");
    EXPECT_DEATH(team.GetCooldownFraction(5), "pIndex < m_nCooldowns");
    EXPECT_DEATH(team.StartCooldown(-1), "pIndex >= 0");
}
