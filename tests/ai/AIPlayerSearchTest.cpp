#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "ai/AIPlayer.h"
#include "ai/FollowUpCones.h"
#include "engine/GameEngine.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

namespace
{

// A node of settable worth, for the worth sums.
class CWorthNode : public CEntity
{
  public:
    explicit CWorthNode(float pWorth)
    {
        m_radius = 8.0f;
        m_worth = pWorth;
    }
    void SetWorth(float pWorth) { m_worth = pWorth; }
    void Draw() override {}
};

float Distance(const CVector2& pA, const CVector2& pB)
{
    return (pA - pB).Length();
}

// A match board as NewMatch lays it out: ten resource sites and both main nodes. Blue's
// opponent knows the board; a second, unnotified opponent of blue has nothing stamped, so
// every hop count it reads is 0.
class SearchTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        RandomTable::GetInstance().FillFromSeed(4242);
        World().ClearMatch();
        World().NewMatch();
        for (int team = 1; team <= 2; ++team)
            World().GetTeam(team).AddEnergy(CTeam::ENERGY_MAX);
        m_ai = World().GetTeam(2).GetAI();
        ASSERT_NE(m_ai, nullptr);
        m_ai->Upkeep();
        m_ai->ScanBoard();
        m_blank.reset(new CAIPlayer(&World().GetTeam(2)));
    }
    void TearDown() override
    {
        m_blank.reset();
        World().ClearMatch();
    }

    static CGameWorld& World() { return TheWorld(); }
    static CEntity* Main(int pTeam) { return World().GetTeam(pTeam).GetMainNode(); }

    template <class T> static T* Add(T* pNode, int pTeam, const CVector2& pAt)
    {
        pNode->SetPosition(pAt);
        pNode->SetTeam(pTeam);
        World().AddEntity(pNode);
        return pNode;
    }

    // A green emitter powered from the green main node, traced once so its length is known.
    static CBeamNode* Beam(const CVector2& pAt, float pAngle)
    {
        CBeamNode* beam = Add(new CBeamNode, 1, pAt);
        beam->SetAngle(pAngle);
        beam->SetParent(Main(1));
        beam->Update(16);
        return beam;
    }

    static CEntity* SiteAt(const CVector2& pAt)
    {
        for (CEntity* node : World().GetNodes())
        {
            if (node->IsAvailable() && Distance(node->GetPosition(), pAt) < 1.0f)
                return node;
        }
        return nullptr;
    }

    CAIPlayer* m_ai = nullptr;
    std::unique_ptr<CAIPlayer> m_blank;
};

TEST_F(SearchTest, HitAndWorthSumsCountWhatReachesAPlace)
{
    CBeamNode* beam = Beam(CVector2(380, 240), 0.0f);
    CAbsorberNode* absorber = Add(new CAbsorberNode, 1, CVector2(480, 270));
    absorber->TakeDamage(0, absorber->GetPosition(), DAMAGE_BEAM, beam); // one charge: blast 30
    int beamOnly = -1;
    EXPECT_EQ(m_ai->HitSum(CVector2(480, 240), 10.0f, nullptr, &beamOnly), 1001000);
    EXPECT_EQ(beamOnly, 1000000);
    // The excluded absorber is measured one charge short and no longer reaches.
    EXPECT_EQ(m_ai->HitSum(CVector2(480, 240), 10.0f, absorber, &beamOnly), 1000000);
    EXPECT_EQ(beamOnly, 1000000);

    // Own worth counts, enemy worth counts negated, grey and the ignored node not at all.
    const CVector2 p(470, 420);
    Add(new CWorthNode(5.0f), 2, CVector2(480, 420));
    Add(new CWorthNode(-3.0f), 1, CVector2(460, 420));
    Add(new CWorthNode(7.0f), 1, CVector2(470, 430));
    Add(new CWorthNode(9.0f), 0, CVector2(470, 410));
    CWorthNode* ignored = Add(new CWorthNode(100.0f), 2, CVector2(475, 425));
    Add(new CWorthNode(11.0f), 2, CVector2(470, 460)); // out of range
    EXPECT_FLOAT_EQ(m_ai->WorthSum(p, 20.0f, 2, ignored), 8.0f);
    EXPECT_FLOAT_EQ(m_ai->WorthSum(p, 20.0f, 2, nullptr), 108.0f);
}

TEST_F(SearchTest, OnBeamSearchesRejectAPlaceAnAbsorberReaches)
{
    Add(new CForkNode, 1, CVector2(600, 240));
    CBeamNode* beam = Beam(CVector2(380, 240), 0.0f);
    ASSERT_NE(beam->GetTarget(), nullptr);
    ASSERT_FLOAT_EQ(beam->GetBeamLength(), 212.0f);

    CSpot shield = m_ai->FindShieldSpotOnBeam(beam);
    CSpot absorb = m_ai->FindAbsorberSpotOnBeam(beam);
    ASSERT_EQ(shield.node, beam);
    ASSERT_EQ(absorb.node, beam);
    EXPECT_EQ(shield.hits, 1000000);
    EXPECT_EQ(absorb.hits, 1000000);

    // A charged absorber 30 pixels off the beam reaches both places without blocking them.
    CAbsorberNode* absorber = Add(new CAbsorberNode, 1, CVector2(580, 270));
    absorber->TakeDamage(0, absorber->GetPosition(), DAMAGE_BEAM, beam);
    int beamOnly = 0;
    EXPECT_EQ(m_ai->HitSum(shield.pos, 10.0f, nullptr, &beamOnly), 1001000);
    EXPECT_EQ(beamOnly, 1000000);
    EXPECT_EQ(m_ai->HitSum(absorb.pos, 10.0f, nullptr, nullptr), 1001000);

    CSpot shieldAgain = m_ai->FindShieldSpotOnBeam(beam);
    CSpot absorbAgain = m_ai->FindAbsorberSpotOnBeam(beam);
    for (const CSpot& spot : {shieldAgain, absorbAgain})
    {
        ASSERT_EQ(spot.node, beam);
        EXPECT_GT(Distance(spot.pos, absorber->GetPosition()), 50.0f);
        EXPECT_EQ(spot.hits, 1000000);
    }
}

TEST_F(SearchTest, AbsorberOnBeamKeepsItsBlastOffOwnValue)
{
    Add(new CForkNode, 1, CVector2(600, 240));
    CBeamNode* beam = Beam(CVector2(380, 240), 0.0f);
    CSpot spot = m_ai->FindAbsorberSpotOnBeam(beam);
    ASSERT_EQ(spot.node, beam);

    // Within the blast of one beam (1.1 x 30 + 10, plus its own radius) but not in the way.
    CWorthNode* valued = Add(new CWorthNode(5.0f), 1, spot.pos + CVector2(0, 30));
    EXPECT_EQ(m_ai->FindAbsorberSpotOnBeam(beam).pos, spot.pos);
    valued->SetTeam(2);
    CSpot moved = m_ai->FindAbsorberSpotOnBeam(beam);
    ASSERT_EQ(moved.node, beam);
    EXPECT_GT(Distance(moved.pos, valued->GetPosition()), 51.0f);
}

TEST_F(SearchTest, AbsorberOnBeamNeedsRoomAlongTheBeam)
{
    Add(new CForkNode, 1, CVector2(420, 240));
    CBeamNode* beam = Beam(CVector2(380, 240), 0.0f);
    ASSERT_LT(beam->GetBeamLength(), 51.0f);
    CSpot spot = m_ai->FindAbsorberSpotOnBeam(beam);
    EXPECT_TRUE(spot.node == nullptr && spot.pos == CVector2() && spot.score == 0.0f && spot.hits == 0);
    EXPECT_TRUE(m_ai->m_candidates.empty());
    EXPECT_DEATH(m_ai->FindAbsorberSpotOnBeam(nullptr), "pDmgSrc");
    EXPECT_DEATH(m_ai->FindAbsorberSpotNear(nullptr), "pNode");
}

TEST_F(SearchTest, WithoutPowerTheSecondaryTermsDecide)
{
    // An enemy beam: every hop count is 0, so the shield goes as far from the emitter as
    // there is free room before the target (t = 198; at t = 208 the target is too close).
    Add(new CForkNode, 1, CVector2(600, 240));
    CBeamNode* beam = Beam(CVector2(380, 240), 0.0f);
    CSpot shield = m_blank->FindShieldSpotOnBeam(beam);
    ASSERT_EQ(shield.node, beam);
    EXPECT_EQ(shield.pos.x, 578.0f);
    EXPECT_FLOAT_EQ(shield.score, -198.0f);

    // Around a node all scores tie: the first place pushed, angle 0 on the first ring, is
    // the heap's root and passes.
    CEntity* target = Main(1);
    CSpot ring = m_blank->FindAbsorberSpotNear(target);
    ASSERT_EQ(ring.node, target);
    EXPECT_EQ(ring.pos, target->GetPosition() + CVector2(30 + 11, 0));
    EXPECT_EQ(ring.score, 0.0f);
    EXPECT_EQ(ring.hits, 0);
}

TEST_F(SearchTest, ExtractorSpotTakesBeamsOnlyWhenEveryPlaceHasThem)
{
    CEntity* north = SiteAt(CVector2(473, 515));
    CEntity* south = SiteAt(CVector2(473, 115));
    ASSERT_NE(north, nullptr);
    ASSERT_NE(south, nullptr);
    m_blank->m_freeResources = {north, south};
    // One jitter per site: north -40, south +40.
    auto search = [&]
    {
        RandomTable::GetInstance().FillWith({0, 0, 32767});
        CSpot spot = m_blank->FindExtractorSpot();
        EXPECT_EQ(RandomTable::GetInstance().GetCursor(), 2);
        return spot;
    };

    CSpot spot = search();
    EXPECT_EQ(spot.node, north);
    EXPECT_EQ(spot.pos, north->GetPosition());
    EXPECT_FLOAT_EQ(spot.score, -41.0f);
    EXPECT_EQ(spot.hits, 0);

    Beam(CVector2(380, 515), 0.0f);
    spot = search();
    EXPECT_EQ(spot.node, south);
    EXPECT_EQ(spot.pos, south->GetPosition());
    EXPECT_EQ(spot.hits, 0);

    // Beams everywhere: the place with the fewest, the first one popped among equals.
    Beam(CVector2(380, 115), 0.0f);
    Beam(CVector2(560, 115), 180.0f);
    spot = search();
    EXPECT_EQ(spot.node, north);
    EXPECT_EQ(spot.pos, north->GetPosition());
    EXPECT_EQ(spot.hits, 1000000);

    // Three across the north, two across the south: fewer beams beat a better score.
    Beam(CVector2(560, 515), 180.0f);
    Beam(CVector2(380, 520), 0.0f);
    spot = search();
    EXPECT_EQ(spot.node, south);
    EXPECT_EQ(spot.pos, south->GetPosition());
    EXPECT_EQ(spot.hits, 2000000);
}

TEST_F(SearchTest, BeamSpotFollowsTheJitterAndNeedsAClearShot)
{
    CEntity* target = Main(1); // radius 30 at (158, 315)
    // Three draws per grid point, 40 rows per column: every point jitters to +40 except
    // (320, 320), drawn jy -8 then jx +8 and -40, and (480, 160), unshifted and -39.
    std::vector<int> entries(3 * 60 * 40 + 1, 32767);
    const int first = 20 * 40 + 20;
    entries[3 * first + 1] = 0;
    entries[3 * first + 2] = 32767;
    entries[3 * first + 3] = 0;
    const int second = 30 * 40 + 10;
    entries[3 * second + 1] = 16384;
    entries[3 * second + 2] = 16384;
    entries[3 * second + 3] = 405;
    auto search = [&](float pMinDistance)
    {
        RandomTable::GetInstance().FillWith(entries);
        return m_blank->FindBeamSpot(target, pMinDistance);
    };

    CSpot spot = search(0.0f);
    EXPECT_EQ(spot.node, target);
    EXPECT_EQ(spot.pos, CVector2(328, 312));
    EXPECT_FLOAT_EQ(spot.score, -40.0f);
    EXPECT_EQ(spot.hits, 0);
    EXPECT_EQ(m_blank->m_candidates.size(), 2400u);

    // Repeating the search reuses the records it gave back.
    const std::size_t made = CandidatePool::GetInstance().GetMadeCount();
    EXPECT_EQ(search(0.0f).pos, CVector2(328, 312));
    EXPECT_EQ(CandidatePool::GetInstance().GetMadeCount(), made);

    // Too close for the minimum distance, or something else in the line of fire.
    EXPECT_EQ(search(200.0f).pos, CVector2(480, 160));
    Add(new CForkNode, 0, CVector2(240, 313));
    spot = search(0.0f);
    EXPECT_EQ(spot.pos, CVector2(480, 160));
    EXPECT_FLOAT_EQ(spot.score, -39.0f);
}

TEST_F(SearchTest, ExpertAimsWhereTheBeamGoesOnIntoAFoe)
{
    // The jitter of the test above: (328, 312) scores -40, (480, 160) -39. Past the green main
    // node, on the line from (480, 160) only, stands a node of the team and worth of each case.
    std::vector<int> entries(3 * 60 * 40 + 1, 32767);
    entries[2461] = entries[2463] = 0;
    entries[3631] = entries[3632] = 16384;
    entries[3633] = 405;
    CWorthNode* node = Add(new CWorthNode(0.0f), 0, CVector2(104, 341));
    auto aimFrom = [&](unsigned pLevel, int pTeam, float pWorth)
    {
        node->SetTeam(pTeam);
        node->SetWorth(pWorth);
        m_blank->SetDifficulty(pLevel);
        RandomTable::GetInstance().FillWith(entries);
        return m_blank->FindBeamSpot(Main(1), 0.0f).pos.x;
    };
    EXPECT_EQ(aimFrom(LEVEL_EXPERT, 1, 1000), 480);
    EXPECT_EQ(aimFrom(LEVEL_EXPERT, 1, 0), 328);
    EXPECT_EQ(aimFrom(LEVEL_EXPERT, 2, 1000), 328);
    EXPECT_EQ(aimFrom(LEVEL_HARD, 1, 1000), 328);
}

TEST_F(SearchTest, FollowUpConesNeverMissALineThatGoesOnIntoAFoe)
{
    // Green nodes near and far behind the green main node, one of no worth, and a blue one;
    // the three worth hitting subtend about 20, 8 and 4 degrees.
    const CVector2 centre = Main(1)->GetPosition();
    Add(new CWorthNode(500), 1, centre + CVector2(45, 0));
    Add(new CWorthNode(1000), 1, centre + CVector2(-90, 60));
    Add(new CWorthNode(1000), 1, centre + CVector2(0, -250));
    Add(new CWorthNode(0), 1, centre + CVector2(-60, -60));
    Add(new CWorthNode(1000), 2, centre + CVector2(70, 70));
    const CFollowUpCones cones(Main(1), 2, World().GetNodes());
    int goesOn = 0, mayGoOn = 0;
    for (int i = 0; i < 2880; ++i)
    {
        const CVector2 from = centre + CVector2(std::cos(i / 458.4f), std::sin(i / 458.4f)) * 120.0f;
        const bool goes = cones.GoesOn(from);
        EXPECT_TRUE(!goes || cones.MayGoOn(from)) << i;
        goesOn += goes;
        mayGoOn += cones.MayGoOn(from);
    }
    EXPECT_GT(goesOn, 30 * 8);
    EXPECT_LT(mayGoOn, 45 * 8);
}

TEST_F(SearchTest, ExtendTowardNeverMovesTheNetworkBackwards)
{
    CEntity* main = Main(2); // radius 30, range 130, at (788, 315)
    const CVector2 centre = main->GetPosition();
    auto extenders = []
    {
        std::vector<CEntity*> out;
        for (CEntity* node : World().GetNodes())
        {
            if (dynamic_cast<CForkNode*>(node))
                out.push_back(node);
        }
        return out;
    };

    // Every place nearer the goal lies inside the clearance: nothing is built.
    const CVector2 goal = centre + CVector2(0, 40);
    const int energy = World().GetTeam(2).GetEnergy();
    m_ai->ExtendToward(goal, 40.0f);
    EXPECT_TRUE(extenders().empty());
    EXPECT_EQ(World().GetTeam(2).GetEnergy(), energy);
    m_ai->ExtendToward(centre, 0.0f);
    EXPECT_TRUE(extenders().empty());

    m_ai->ExtendToward(goal, 10.0f);
    ASSERT_EQ(extenders().size(), 1u);
    CEntity* built = extenders()[0];
    EXPECT_GT(Distance(built->GetPosition(), goal), 18.0f);
    EXPECT_LE(Distance(built->GetPosition(), goal), 40.0f);
    EXPECT_EQ(built->GetParent(), main);
    EXPECT_EQ(built->GetTeam(), 2);

    // A far goal: the outermost ring's point nearest to it.
    World().GetTeam(2).TickCooldowns(10000);
    m_ai->Upkeep();
    m_ai->ScanBoard();
    const CVector2 distant(300, 315);
    m_ai->ExtendToward(distant, 8.0f);
    ASSERT_EQ(extenders().size(), 2u);
    CEntity* second = extenders()[1];
    EXPECT_NEAR(Distance(second->GetPosition(), distant), Distance(centre, distant) - 127.0f, 1.5f);
}

} // namespace
