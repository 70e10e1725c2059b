#include "world/Team.h"

#include <cmath>

#include <gtest/gtest.h>

#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "nodes/MainNode.h"

TEST(TeamTest, InitGivesOneExtractorOfEnergyAndReadyCooldownsAndDropsTheRest)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    CTeam team;
    EXPECT_EQ(10000000, team.GetEnergy());
    CMainNode node;
    team.SetMainNode(&node);
    team.SetAI(true);
    team.StartCooldown(4);
    team.AddEnergy(-team.GetEnergy());

    team.Init(2);
    EXPECT_EQ(2, team.GetId());
    EXPECT_EQ(10000000, team.GetEnergy());
    EXPECT_EQ(30000000, team.GetEnergyMax());
    EXPECT_EQ(nullptr, team.GetMainNode());
    EXPECT_EQ(nullptr, team.GetAI());
    for (int i = 0; i < CTeam::m_nCooldowns; ++i)
        EXPECT_TRUE(team.IsCooldownReady(i)) << i;
}

TEST(TeamTest, EnergyClampsAndCooldownsRunDownInWholeSteps)
{
    CTeam team;
    team.Init(1);
    team.AddEnergy(25000000);
    EXPECT_EQ(30000000, team.GetEnergy());
    team.AddEnergy(-45000000);
    EXPECT_EQ(0, team.GetEnergy());

    team.StartCooldown(1);
    EXPECT_FLOAT_EQ(1.0f, team.GetCooldownFraction(1));
    EXPECT_TRUE(team.IsCooldownReady(0)) << "only the started slot runs";
    team.TickCooldowns(4000);
    EXPECT_FLOAT_EQ(0.5f, team.GetCooldownFraction(1));
    team.TickCooldowns(4000);
    EXPECT_TRUE(team.IsCooldownReady(1));

    const int durations[CTeam::m_nCooldowns] = {2000, 8000, 1000, 3000, 6000};
    for (int slot = 0; slot < CTeam::m_nCooldowns; ++slot)
    {
        team.StartCooldown(slot);
        int steps = 0;
        for (; !team.IsCooldownReady(slot) && steps < 1000; ++steps)
            team.TickCooldowns(16);
        EXPECT_EQ(static_cast<int>(std::ceil(durations[slot] / 16.0)), steps) << "slot " << slot;
    }
}

TEST(TeamTest, TheOpponentIsOwnedAndTheMainNodeIsKeptByIdOnly)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    CTeam team;
    team.Init(2);
    team.SetAI(true);
    CAIPlayer* first = team.GetAI();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(&team, first->GetTeam());
    team.SetAI(true);
    EXPECT_EQ(first, team.GetAI()) << "switching on twice keeps the opponent";
    team.SetAI(false);
    EXPECT_EQ(nullptr, team.GetAI());

    CMainNode* node = new CMainNode;
    team.SetMainNode(node);
    EXPECT_EQ(node, team.GetMainNode());
    delete node;
    EXPECT_EQ(nullptr, team.GetMainNode());
    EXPECT_NE(0, team.GetMainNodeId()) << "the id is kept; only the lookup fails";
}

TEST(TeamTest, ColoursByTeamId)
{
    EXPECT_EQ(CColor(0.5f, 0.5f, 0.5f, 1.0f), CTeam::ColourOf(0));
    EXPECT_EQ(CColor(0.0f, 0.5f, 0.2f, 1.0f), CTeam::ColourOf(1));
    EXPECT_EQ(CColor(0.0f, 0.4f, 0.7f, 1.0f), CTeam::ColourOf(2));
    EXPECT_EQ(CColor(0.5f, 0.5f, 0.5f, 1.0f), CTeam::ColourOf(7));
}

TEST(TeamDeathTest, BadArgumentsEndTheProgram)
{
    CTeam team;
    EXPECT_DEATH(team.Init(3), "pTeamId < MAX_TIDS");
    EXPECT_DEATH(team.SetMainNode(nullptr), "pNode");
    EXPECT_DEATH(team.StartCooldown(5), "pIndex < m_nCooldowns");
    EXPECT_DEATH(team.GetCooldownFraction(5), "pIndex < m_nCooldowns");
    EXPECT_DEATH(team.IsCooldownReady(-1), "pIndex >= 0");
}
