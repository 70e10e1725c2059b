#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/NodeTestSupport.h"
#include "nodes/ResourceNode.h"

using GameWorldQueriesTest = NodeBoardTest;

TEST_F(GameWorldQueriesTest, PowerSourceIsTheFirstInListOrderNotTheNearest)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* far = Place(new CForkNode, 400.0f, 300.0f, 1, main);
    auto* near = Place(new CForkNode, 420.0f, 300.0f, 1, main);
    CVector2 point(460.0f, 300.0f);
    EXPECT_EQ(far, World().FindPowerSource(1, point, true));
    EXPECT_EQ(nullptr, World().FindPowerSource(2, point, true));

    // Exactly at the reach still counts; a pixel beyond does not.
    EXPECT_EQ(main, World().FindPowerSource(1, CVector2(300.0f, 430.0f), true));
    EXPECT_EQ(nullptr, World().FindPowerSource(1, CVector2(300.0f, 431.0f), true));
    EXPECT_EQ(far, World().FindPowerSource(1, CVector2(500.0f, 300.0f), true));
    EXPECT_EQ(near, World().FindPowerSource(1, CVector2(520.0f, 300.0f), true));

    // The main node may be ruled out; a full or cut-off extender offers nothing.
    EXPECT_EQ(far, World().FindPowerSource(1, CVector2(320.0f, 300.0f), false));
    for (int i = 0; i < 3; ++i)
        Place(new CProbeEntity, 400.0f, 340.0f + 20 * i, 1, far);
    EXPECT_EQ(near, World().FindPowerSource(1, point, true));
    near->CutPower();
    EXPECT_EQ(nullptr, World().FindPowerSource(1, point, true));
    EXPECT_EQ(nullptr, World().FindPowerSource(0, point, true));
}

TEST_F(GameWorldQueriesTest, OverlapCountsTouchingButNotSites)
{
    auto* site = Place(new CResourceNode, 200.0f, 200.0f, 0);
    auto* fork = Place(new CForkNode, 300.0f, 200.0f);
    EXPECT_EQ(nullptr, World().FindOverlap(CVector2(200.0f, 200.0f), 15.0f));
    EXPECT_EQ(fork, World().FindOverlap(CVector2(318.0f, 200.0f), 10.0f));
    EXPECT_EQ(nullptr, World().FindOverlap(CVector2(319.0f, 200.0f), 10.0f));
    EXPECT_TRUE(World().IsFree(site->GetPosition(), CExtractorNode::RADIUS));
    EXPECT_FALSE(World().IsFree(CVector2(310.0f, 200.0f), 8.0f));
}

TEST_F(GameWorldQueriesTest, FreeSpaceMustLieInsideTheBoard)
{
    EXPECT_TRUE(World().IsFree(CVector2(10.0f, 10.0f), 10.0f));
    EXPECT_TRUE(World().IsFree(CVector2(935.0f, 620.0f), 10.0f));
    EXPECT_FALSE(World().IsFree(CVector2(9.0f, 300.0f), 10.0f));
    EXPECT_FALSE(World().IsFree(CVector2(300.0f, 9.5f), 10.0f));
    EXPECT_FALSE(World().IsFree(CVector2(936.0f, 300.0f), 10.0f));
    EXPECT_FALSE(World().IsFree(CVector2(300.0f, 621.0f), 10.0f));
}

TEST_F(GameWorldQueriesTest, ResourceSiteMustHoldTheWholeCircle)
{
    auto* taken = Place(new CResourceNode, 100.0f, 100.0f, 0);
    auto* site = Place(new CResourceNode, 106.0f, 108.0f, 0);
    CExtractorNode user;
    taken->Occupy(&user, 15.0f);
    // 10 pixels from the free site's centre: exactly fits.
    EXPECT_EQ(site, World().FindResourceAt(CVector2(100.0f, 100.0f), 15.0f));
    EXPECT_EQ(nullptr, World().FindResourceAt(CVector2(96.0f, 100.0f), 15.0f));
    EXPECT_EQ(nullptr, World().FindResourceAt(CVector2(400.0f, 400.0f), 1.0f));
}

TEST_F(GameWorldQueriesTest, BeamMeetsTheNearestBlockerAlongTheRay)
{
    const CVector2 origin(0.0f, 100.0f);
    const CVector2 right(1.0f, 0.0f);
    float distance = 0.0f;
    EXPECT_EQ(nullptr, World().TraceBeam(origin, right, &distance));
    EXPECT_EQ(-1.0f, distance);

    auto* farther = Place(new CForkNode, 200.0f, 100.0f);
    Place(new CResourceNode, 60.0f, 100.0f, 0);
    Place(new CForkNode, -50.0f, 100.0f); // behind the origin
    auto* nearer = Place(new CForkNode, 120.0f, 104.0f);
    auto* passed = Place(new CForkNode, 90.0f, 109.0f);
    EXPECT_EQ(nearer, World().TraceBeam(origin, right, &distance));
    EXPECT_FLOAT_EQ(120.0f - std::sqrt(64.0f - 16.0f), distance);
    EXPECT_EQ(nearer, World().TraceBeam(origin, right));

    // Tangent: the ray grazes the node and stops at the touching point.
    auto* grazed = Place(new CForkNode, 50.0f, 108.0f);
    EXPECT_EQ(grazed, World().TraceBeam(origin, right, &distance));
    EXPECT_FLOAT_EQ(50.0f, distance);
    EXPECT_NE(passed, World().TraceBeam(origin, right));
    (void)farther;
}

TEST_F(GameWorldQueriesTest, BeamTiesGoToTheEarlierNodeAndInsideGivesANegativeDistance)
{
    auto* first = Place(new CForkNode, 100.0f, 103.0f);
    Place(new CForkNode, 100.0f, 97.0f);
    float distance = 0.0f;
    EXPECT_EQ(first, World().TraceBeam(CVector2(0.0f, 100.0f), CVector2(1.0f, 0.0f), &distance));

    EXPECT_EQ(first, World().TraceBeam(CVector2(95.0f, 103.0f), CVector2(1.0f, 0.0f), &distance));
    EXPECT_FLOAT_EQ(-3.0f, distance);
}

TEST_F(GameWorldQueriesTest, TeamFlowTruncatesPerNode)
{
    auto* a = Place(new CProbeEntity, 100.0f, 100.0f, 1);
    auto* b = Place(new CProbeEntity, 200.0f, 100.0f, 1);
    auto* c = Place(new CProbeEntity, 300.0f, 100.0f, 2);
    a->SetFlow(1999);
    b->SetFlow(-250999);
    c->SetFlow(1000000);
    EXPECT_EQ(1 - 250, World().GetTeamFlow(1));
    EXPECT_EQ(1000, World().GetTeamFlow(2));
    EXPECT_EQ(0, World().GetTeamFlow(0));
}

TEST_F(GameWorldQueriesTest, RangeVisitsEveryTouchingCircleInListOrder)
{
    auto* a = Place(new CForkNode, 100.0f, 100.0f);
    auto* b = Place(new CForkNode, 200.0f, 100.0f);
    auto* site = Place(new CResourceNode, 130.0f, 100.0f, 0);
    std::vector<CEntity*> seen;
    // Touching at 92 + 8 = 100 pixels counts.
    World().ForEachEntityInRange(CVector2(100.0f, 100.0f), 92.0f, [&](CEntity* e) { seen.push_back(e); });
    EXPECT_EQ((std::vector<CEntity*>{a, b, site}), seen);
    seen.clear();
    World().ForEachEntityInRange(CVector2(100.0f, 100.0f), 91.0f, [&](CEntity* e) { seen.push_back(e); });
    EXPECT_EQ((std::vector<CEntity*>{a, site}), seen);
}
