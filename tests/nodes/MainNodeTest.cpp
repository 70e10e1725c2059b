#include "nodes/MainNode.h"
#include "nodes/EntityRegistry.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/NodeTestSupport.h"
#include "nodes/ResourceNode.h"

using MainNodeTest = NodeBoardTest;

TEST_F(MainNodeTest, EarnsItsTeamAnIncomeEveryStep)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f, 2);
    EXPECT_TRUE(main->IsMainNode());
    EXPECT_TRUE(main->IsPowerSource());
    EXPECT_TRUE(main->CanPowerMore());
    EXPECT_EQ(130.0f, main->GetPowerRange());
    EXPECT_EQ(30.0f, main->GetRadius());
    EXPECT_EQ(50000000, main->GetHealth());
    EXPECT_EQ(0, main->GetEnergyFlow());

    EmptyStock(2);
    EmptyStock(1);
    main->Update(16);
    EXPECT_EQ(1000000, main->GetEnergyFlow());
    EXPECT_EQ(16000, World().GetTeam(2).GetEnergy());
    EXPECT_EQ(0, World().GetTeam(1).GetEnergy());
    EXPECT_EQ(50000000, main->GetHealth());
    main->BeginStep();
    EXPECT_EQ(0, main->GetEnergyFlow());
}

TEST_F(MainNodeTest, PoweredListSwapsTheLastEntryIntoAGap)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    CProbeEntity* nodes[3];
    for (int i = 0; i < 3; ++i)
        nodes[i] = Place(new CProbeEntity, 350.0f, 300.0f + 20 * i, 1, main);
    EXPECT_EQ(CMainNode::MAX_POWERED - 3, main->GetFreeSlots());
    main->RemovePowered(nodes[0]);
    ASSERT_EQ(2u, main->GetPowered().size());
    EXPECT_EQ(GetEntityId(nodes[2]), main->GetPowered()[0]);
    EXPECT_EQ(GetEntityId(nodes[1]), main->GetPowered()[1]);
    EXPECT_EQ(CMainNode::MAX_POWERED - 2, main->GetFreeSlots());

    // A node it does not power frees no slot.
    CProbeEntity stranger;
    main->RemovePowered(&stranger);
    EXPECT_EQ(CMainNode::MAX_POWERED - 2, main->GetFreeSlots());
}

TEST_F(MainNodeTest, WorthRisesAsItIsHurt)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    main->UpdateWorth();
    EXPECT_EQ(1000.0f, main->GetWorth());
    main->TakeDamage(37500000, CVector2(), DAMAGE_NONE, nullptr);
    main->UpdateWorth();
    EXPECT_EQ(2500.0f, main->GetWorth());
}

TEST_F(MainNodeTest, WorthUpdateReachesTheWholeTree)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* fork = Place(new CForkNode, 380.0f, 300.0f, 1, main);
    auto* extractor = Place(new CExtractorNode, 460.0f, 300.0f, 1, fork);
    // Standing on a site: worth 1000 once refreshed.
    auto* site = Place(new CResourceNode, 460.0f, 300.0f, 0);
    extractor->AttachToResource();
    ASSERT_EQ(site, extractor->GetResource());
    main->UpdateWorth();
    EXPECT_EQ(1000.0f, extractor->GetWorth());
    EXPECT_EQ(1000.0f, fork->GetWorth());
}

TEST_F(MainNodeTest, DeathGreysTheWholeNetwork)
{
    UseSprite("CPU_Green");
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* fork = Place(new CForkNode, 380.0f, 300.0f, 1, main);
    auto* direct = Place(new CProbeEntity, 300.0f, 380.0f, 1, main);
    auto* far = Place(new CProbeEntity, 460.0f, 300.0f, 1, fork);
    auto* blue = Place(new CProbeEntity, 600.0f, 600.0f, 2);
    for (int step = 0; step < 44; ++step)
        fork->Update(16);

    main->TakeDamage(50000000, CVector2(300.0f, 330.0f), DAMAGE_BEAM, blue);
    EXPECT_FALSE(main->IsAlive());
    EXPECT_EQ(1, CountSounds("Death"));
    for (CEntity* e :
         {static_cast<CEntity*>(fork), static_cast<CEntity*>(direct), static_cast<CEntity*>(far)})
    {
        EXPECT_EQ(0, e->GetTeam());
        EXPECT_FALSE(e->IsConnected());
    }
    EXPECT_EQ(2, blue->GetTeam());
    EXPECT_TRUE(main->GetPowered().empty());
    EXPECT_EQ(CMainNode::MAX_POWERED, main->GetFreeSlots());

    // The ghost comes first, then the spark disc.
    ASSERT_FALSE(m_graphics.empty());
    EXPECT_EQ(CVector2(300.0f, 300.0f), m_graphics[0].position);
    EXPECT_EQ(1000, m_graphics[0].lifetime);
    EXPECT_EQ(CColor(1.0f, 1.0f, 1.0f, 1.0f), m_graphics[0].colour);
    EXPECT_EQ(CVector2(0.0f, 0.0f), m_graphics[0].velocity);
    EXPECT_FLOAT_EQ(0.6f, m_graphics[1].colour.a);
}

TEST_F(MainNodeTest, NullUserIsAProgrammingError)
{
    CMainNode main;
    EXPECT_DEATH(main.AddPowered(nullptr), "pUser");
    EXPECT_DEATH(main.RemovePowered(nullptr), "pUser");
}
