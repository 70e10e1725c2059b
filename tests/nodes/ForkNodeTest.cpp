#include "nodes/ForkNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/MainNode.h"
#include "nodes/NodeTestSupport.h"
#include "nodes/ResourceNode.h"

using ForkNodeTest = NodeBoardTest;

TEST_F(ForkNodeTest, HealthIsGrantedOverTheFirst44Steps)
{
    CForkNode fork;
    EXPECT_EQ(1, fork.GetHealth());
    EXPECT_EQ(15000000, fork.GetHealthMax());
    EXPECT_EQ(8.0f, fork.GetRadius());
    fork.Update(16);
    EXPECT_EQ(1, fork.GetHealth());
    fork.Update(16);
    EXPECT_EQ(16001, fork.GetHealth());
    fork.Update(16);
    EXPECT_EQ(48001, fork.GetHealth());
    for (int step = 4; step < 44; ++step)
        fork.Update(16);
    EXPECT_LT(fork.GetHealth(), 15000000);
    fork.Update(16);
    EXPECT_EQ(15000000, fork.GetHealth());
    EXPECT_EQ(0, fork.GetBuildUp().GetValue());

    // Once built up, hurt and later steps grant nothing back.
    fork.TakeDamage(1000, CVector2(), DAMAGE_BEAM, nullptr);
    fork.Update(16);
    EXPECT_EQ(14999000, fork.GetHealth());
}

TEST_F(ForkNodeTest, NeverDecaysEvenWhenGrey)
{
    CForkNode fork;
    for (int step = 0; step < 44; ++step)
        fork.Update(16);
    EXPECT_EQ(0, fork.GetTeam());
    for (int step = 0; step < 2000; ++step)
        fork.Update(16);
    EXPECT_EQ(15000000, fork.GetHealth());
    EXPECT_EQ(0, fork.GetEnergyFlow());
}

TEST_F(ForkNodeTest, PowersThreeNodesOnlyWhileConnected)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* fork = Place(new CForkNode, 380.0f, 300.0f, 1);
    EXPECT_FALSE(fork->CanPowerMore());
    fork->SetParent(main);
    main->AddPowered(fork);
    EXPECT_TRUE(fork->CanPowerMore());
    EXPECT_EQ(100.0f, fork->GetPowerRange());
    CProbeEntity* users[3];
    for (int i = 0; i < 3; ++i)
        users[i] = Place(new CProbeEntity, 420.0f, 260.0f + 40 * i, 1, fork);
    EXPECT_FALSE(fork->CanPowerMore());
    users[1]->Kill();
    EXPECT_TRUE(fork->CanPowerMore());
    EXPECT_EQ(1, fork->GetFreeSlots());

    main->Kill();
    EXPECT_FALSE(fork->CanPowerMore());
}

TEST_F(ForkNodeTest, CutPowerGreysTheWholeSubtree)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* top = Place(new CForkNode, 380.0f, 300.0f, 1, main);
    auto* left = Place(new CForkNode, 460.0f, 260.0f, 1, top);
    auto* right = Place(new CForkNode, 460.0f, 340.0f, 1, top);
    auto* a = Place(new CProbeEntity, 540.0f, 260.0f, 1, left);
    auto* b = Place(new CProbeEntity, 540.0f, 340.0f, 1, right);
    top->CutPower();
    for (CEntity* e : std::initializer_list<CEntity*>{top, left, right, a, b})
        EXPECT_EQ(0, e->GetTeam());
    // Lists stay as they were; the parent is not told.
    EXPECT_EQ(2u, top->GetPowered().size());
    EXPECT_EQ(1u, main->GetPowered().size());
    EXPECT_FALSE(top->CanPowerMore());
}

TEST_F(ForkNodeTest, AGreyExtenderDyingCutsItsSubtreeOnceMore)
{
    // Every draw reads 32767: each cut takes a fifth.
    RandomTable::GetInstance().FillWith({32767});
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* fork = Place(new CForkNode, 380.0f, 300.0f, 1, main);
    auto* leaf = Place(new CProbeEntity, 460.0f, 300.0f, 1, fork);
    for (int step = 0; step < 44; ++step)
        fork->Update(16);
    fork->CutPower();
    EXPECT_EQ(8000000, leaf->GetHealth());
    fork->Kill();
    EXPECT_EQ(6000000, leaf->GetHealth());
    EXPECT_TRUE(leaf->IsAlive());
    // The grey extender had no parent left to free a slot in.
    EXPECT_EQ(1u, main->GetPowered().size());
}

TEST_F(ForkNodeTest, DeathFreesTheParentSlotAndCutsTheChildren)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* fork = Place(new CForkNode, 380.0f, 300.0f, 1, main);
    auto* leaf = Place(new CProbeEntity, 460.0f, 300.0f, 1, fork);
    fork->TakeDamage(1, CVector2(), DAMAGE_BEAM, nullptr);
    EXPECT_FALSE(fork->IsAlive());
    EXPECT_TRUE(main->GetPowered().empty());
    EXPECT_EQ(0, leaf->GetTeam());
}

TEST_F(ForkNodeTest, WorthIsWhatItKeepsAlive)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* fork = Place(new CForkNode, 380.0f, 300.0f, 1, main);
    Place(new CResourceNode, 460.0f, 300.0f, 0);
    auto* extractor = Place(new CExtractorNode, 460.0f, 300.0f, 1, fork);
    extractor->AttachToResource();
    auto* grey = Place(new CExtractorNode, 380.0f, 380.0f, 1, fork);
    grey->SetTeam(0);
    fork->UpdateWorth();
    EXPECT_EQ(1000.0f, fork->GetWorth());

    fork->CutPower();
    fork->UpdateWorth();
    EXPECT_EQ(0.0f, fork->GetWorth());
}

TEST_F(ForkNodeTest, NullUserIsAProgrammingError)
{
    CForkNode fork;
    EXPECT_DEATH(fork.AddPowered(nullptr), "pUser");
    EXPECT_DEATH(fork.RemovePowered(nullptr), "pUser");
}
