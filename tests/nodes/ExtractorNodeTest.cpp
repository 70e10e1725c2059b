#include "nodes/ExtractorNode.h"
#include "nodes/MainNode.h"
#include "nodes/NodeTestSupport.h"
#include "nodes/ResourceNode.h"

using ExtractorNodeTest = NodeBoardTest;

namespace
{
void ExpectTint(const CResourceNode& pSite, float pR, float pG, float pB)
{
    float tint[3];
    pSite.GetTint(tint);
    EXPECT_NEAR(pR, tint[0], 1e-6);
    EXPECT_NEAR(pG, tint[1], 1e-6);
    EXPECT_NEAR(pB, tint[2], 1e-6);
}
} // namespace

TEST_F(ExtractorNodeTest, AttachesOnlyWhenTheWholeBodyFitsOnAFreeSite)
{
    auto* site = Place(new CResourceNode, 200.0f, 200.0f, 0);
    auto* near = Place(new CExtractorNode, 210.0f, 200.0f);
    auto* off = Place(new CExtractorNode, 200.0f, 211.0f);
    off->AttachToResource();
    EXPECT_FALSE(off->HasResource());
    EXPECT_TRUE(site->IsAvailable());

    near->AttachToResource();
    EXPECT_EQ(site, near->GetResource());
    EXPECT_FALSE(site->IsAvailable());
    EXPECT_EQ(near, site->GetUser());

    // A taken site is no longer offered.
    auto* second = Place(new CExtractorNode, 200.0f, 200.0f);
    second->AttachToResource();
    EXPECT_FALSE(second->HasResource());
}

TEST_F(ExtractorNodeTest, EarnsWhileOnASiteAndConnected)
{
    auto* main = Place(new CMainNode, 100.0f, 100.0f);
    Place(new CResourceNode, 200.0f, 100.0f, 0);
    auto* extractor = Place(new CExtractorNode, 200.0f, 100.0f, 1, main);
    auto* bare = Place(new CExtractorNode, 100.0f, 200.0f, 1, main);
    extractor->AttachToResource();
    bare->AttachToResource();
    EXPECT_FALSE(bare->HasResource());

    EmptyStock(1);
    extractor->Update(16);
    bare->Update(16);
    EXPECT_EQ(16000, World().GetTeam(1).GetEnergy());
    EXPECT_EQ(1000000, extractor->GetEnergyFlow());
    EXPECT_EQ(0, bare->GetEnergyFlow());
    extractor->UpdateWorth();
    bare->UpdateWorth();
    EXPECT_EQ(1000.0f, extractor->GetWorth());
    EXPECT_EQ(0.0f, bare->GetWorth());

    extractor->CutPower();
    extractor->BeginStep();
    EmptyStock(1);
    EmptyStock(0);
    int health = extractor->GetHealth();
    extractor->Update(16);
    extractor->UpdateWorth();
    EXPECT_EQ(0, World().GetTeam(1).GetEnergy());
    EXPECT_EQ(0, World().GetTeam(0).GetEnergy());
    EXPECT_EQ(0, extractor->GetEnergyFlow());
    EXPECT_EQ(0.0f, extractor->GetWorth());
    // Grey and decaying: 500 per millisecond.
    EXPECT_EQ(health - 8000, extractor->GetHealth());
}

TEST_F(ExtractorNodeTest, DeathFreesTheSite)
{
    UseSprite("Extr_Blue");
    auto* main = Place(new CMainNode, 100.0f, 100.0f, 2);
    auto* site = Place(new CResourceNode, 200.0f, 100.0f, 0);
    auto* extractor = Place(new CExtractorNode, 205.0f, 100.0f, 2, main);
    extractor->AttachToResource();
    extractor->TakeDamage(10000000, CVector2(205.0f, 110.0f), DAMAGE_BEAM, nullptr);
    EXPECT_FALSE(extractor->IsAlive());
    EXPECT_TRUE(site->IsAvailable());
    EXPECT_EQ(nullptr, site->GetUser());
    EXPECT_TRUE(main->GetPowered().empty());
    // The ghost is the first effect of the death.
    bool ghost = false;
    for (const NodeGraphic& g : m_graphics)
        ghost = ghost || (g.lifetime == 1000 && g.position == CVector2(205.0f, 100.0f));
    EXPECT_TRUE(ghost);
}

TEST_F(ExtractorNodeTest, SiteColourFollowsItsOccupancy)
{
    auto* site = Place(new CResourceNode, 200.0f, 100.0f, 0);
    EXPECT_FALSE(site->BlocksBeams());
    EXPECT_EQ(25.0f, site->GetRadius());
    site->Update(16);
    ExpectTint(*site, 0.5f, 0.7f, 0.5f);

    CExtractorNode user;
    site->Occupy(&user, CExtractorNode::RADIUS);
    for (int ms = 0; ms < 500; ms += 100)
        site->Update(100);
    ExpectTint(*site, 0.45f, 0.6f, 0.45f);
    for (int ms = 0; ms < 600; ms += 100)
        site->Update(100);
    EXPECT_EQ(1000, site->GetOccupancy().GetValue());
    ExpectTint(*site, 0.4f, 0.5f, 0.4f);

    site->Release(&user);
    site->Update(250);
    EXPECT_EQ(750, site->GetOccupancy().GetValue());
    site->Update(5000);
    EXPECT_EQ(0, site->GetOccupancy().GetValue());
}

TEST_F(ExtractorNodeTest, SitesIgnoreAllHarmAndNeverDecay)
{
    CResourceNode site;
    site.TakeDamage(20000000, CVector2(5.0f, 5.0f), DAMAGE_BEAM, &site);
    site.Update(30000);
    EXPECT_TRUE(site.IsAlive());
    EXPECT_EQ(10000000, site.GetHealth());
    EXPECT_EQ(0, site.GetDamageTaken());
    EXPECT_EQ(DAMAGE_NONE, site.GetDamageKind());
    EXPECT_EQ(0, site.GetSparkAccumulator());
    EXPECT_EQ(0, site.GetLastAttackerId());
    EXPECT_TRUE(m_graphics.empty());
    EXPECT_EQ(0, site.GetTeam());
}

TEST_F(ExtractorNodeTest, SiteSlotMisuseIsAProgrammingError)
{
    CResourceNode site;
    CExtractorNode user;
    EXPECT_DEATH(site.Occupy(nullptr, 15.0f), "pUser");
    EXPECT_DEATH(site.Release(nullptr), "pUser");
    site.Occupy(&user, 15.0f);
    EXPECT_DEATH(site.Occupy(&user, 15.0f), "m_freeSlots");
}
