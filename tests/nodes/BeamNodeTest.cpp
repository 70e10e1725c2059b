#include <cmath>
#include <vector>

#include "media/Sprite.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ResourceNode.h"
#include "nodes/ShieldNode.h"
#include "nodes/WeaponBoard.h"

namespace
{
class BeamNodeTest : public CWeaponBoard
{
  protected:
    CTargetNode* m_source = nullptr;

    void SetUp() override
    {
        CWeaponBoard::SetUp();
        SetEnergy(1, 20000000);
        m_source = Target(1, CVector2(100.0f, 200.0f));
    }

    // A green emitter at (100, 300) firing along +x, powered unless told otherwise.
    CBeamNode* Emitter(float pAngle = 0.0f, bool pPowered = true)
    {
        CBeamNode* beam = Place(new CBeamNode, 1, CVector2(100.0f, 300.0f), pPowered ? m_source : nullptr);
        beam->SetAngle(pAngle);
        return beam;
    }
};

TEST_F(BeamNodeTest, DamageGrowsOverFifteenSecondsOfFiring)
{
    CBeamNode* beam = Emitter();
    CTargetNode* foe = Target(2, CVector2(300.0f, 300.0f), 30.0f);
    EXPECT_EQ(beam->GetHealth(), 2000000);

    Step();
    EXPECT_TRUE(beam->IsActive());
    EXPECT_EQ(foe->GetDamageTaken(), 17);
    EXPECT_EQ(foe->GetDamageKind(), DAMAGE_BEAM);
    EXPECT_EQ(foe->GetLastAttacker(), beam);
    EXPECT_EQ(foe->GetLastHitPoint(), CVector2(270.0f, 300.0f));
    EXPECT_EQ(beam->GetTarget(), foe);
    EXPECT_FLOAT_EQ(beam->GetBeamLength(), 170.0f);
    Step();
    EXPECT_EQ(foe->GetDamageTaken(), 34);

    // 937 steps leave the warm-up 8 ms short; the next one completes it.
    Steps(935);
    EXPECT_EQ(foe->GetDamageTaken(), 15991);
    Step();
    EXPECT_EQ(foe->GetDamageTaken(), 16000);
    Steps(5);
    EXPECT_EQ(foe->GetDamageTaken(), 16000);
    EXPECT_EQ(beam->GetDamageTaken(), 0);
}

TEST_F(BeamNodeTest, PaysEightThousandPerStepAndNeedsAllOfIt)
{
    CBeamNode* beam = Emitter();
    Target(2, CVector2(300.0f, 300.0f));

    SetEnergy(1, 7999);
    Step();
    EXPECT_FALSE(beam->IsActive());
    EXPECT_EQ(Energy(1), 7999);
    EXPECT_EQ(beam->GetEnergyFlow(), 0);
    EXPECT_EQ(beam->GetWarmUp().GetValue(), 0);
    EXPECT_EQ(beam->GetTarget(), nullptr);

    SetEnergy(1, 8000);
    Step();
    EXPECT_TRUE(beam->IsActive());
    EXPECT_EQ(Energy(1), 0);
    EXPECT_EQ(beam->GetEnergyFlow(), -500000);
    EXPECT_EQ(beam->GetWarmUp().GetValue(), 16);

    // A step it cannot pay for loses the whole warm-up.
    Step();
    EXPECT_FALSE(beam->IsActive());
    EXPECT_EQ(beam->GetWarmUp().GetValue(), 0);
}

TEST_F(BeamNodeTest, WithoutPowerItNeverFires)
{
    CBeamNode* beam = Emitter(0.0f, false);
    CTargetNode* foe = Target(2, CVector2(300.0f, 300.0f));
    Steps(10);
    EXPECT_FALSE(beam->IsActive());
    EXPECT_EQ(beam->GetWarmUp().GetValue(), 0);
    EXPECT_EQ(foe->GetHealth(), foe->GetHealthMax());
    EXPECT_EQ(Energy(1), 20000000);

    // Losing the parent mid-fire stops it at once.
    CBeamNode* powered = Emitter(90.0f);
    Steps(3);
    EXPECT_TRUE(powered->IsActive());
    m_source->Kill();
    Step();
    EXPECT_FALSE(powered->IsActive());
    EXPECT_EQ(powered->GetWarmUp().GetValue(), 0);
}

TEST_F(BeamNodeTest, BurnsItselfOnlyWithinSixtyEightPixels)
{
    struct Case
    {
        float targetX; // target radius 10, so the near edge is 10 pixels closer
        bool burns;
    };
    for (Case c : {Case{170.0f, true}, Case{178.0f, true}, Case{179.0f, false}})
    {
        ClearBoard();
        m_source = Target(1, CVector2(100.0f, 200.0f));
        CBeamNode* beam = Emitter();
        CTargetNode* foe = Target(2, CVector2(c.targetX, 300.0f));
        Step();
        SCOPED_TRACE(c.targetX);
        EXPECT_FLOAT_EQ(beam->GetBeamLength(), c.targetX - 10.0f - 100.0f);
        EXPECT_EQ(foe->GetDamageTaken(), 17);
        EXPECT_EQ(beam->GetDamageTaken(), c.burns ? 34 : 0);
        if (c.burns)
        {
            EXPECT_EQ(beam->GetDamageKind(), DAMAGE_AREA);
            EXPECT_EQ(beam->GetLastHitPoint(), CVector2(108.0f, 300.0f));
            EXPECT_EQ(beam->GetLastAttacker(), beam);
        }
    }
}

TEST_F(BeamNodeTest, HitsTheNodeWhoseCentreIsNearerAlongTheBeam)
{
    CBeamNode* beam = Emitter();
    // The big circle is entered first (at x = 190) but its centre lies further on.
    CTargetNode* big = Target(2, CVector2(230.0f, 300.0f), 40.0f);
    CTargetNode* small = Target(2, CVector2(210.0f, 302.0f), 4.0f);
    Step();
    EXPECT_EQ(beam->GetTarget(), small);
    EXPECT_EQ(small->GetDamageTaken(), 17);
    EXPECT_EQ(big->GetDamageTaken(), 0);
    EXPECT_NEAR(beam->GetBeamLength(), 210.0f - std::sqrt(12.0f) - 100.0f, 1e-3f);
}

TEST_F(BeamNodeTest, PassesOverResourceSites)
{
    CBeamNode* beam = Emitter();
    CResourceNode* site = Place(new CResourceNode, 0, CVector2(200.0f, 300.0f));
    CTargetNode* foe = Target(2, CVector2(400.0f, 300.0f));
    Step();
    EXPECT_EQ(beam->GetTarget(), foe);
    EXPECT_FLOAT_EQ(beam->GetBeamLength(), 290.0f);
    EXPECT_EQ(foe->GetDamageTaken(), 17);
    EXPECT_TRUE(site->IsAlive());
}

TEST_F(BeamNodeTest, MissingEverythingStillCostsEnergy)
{
    CBeamNode* beam = Emitter(180.0f + 45.0f);
    // Behind the emitter: never in the way.
    CTargetNode* behind = Target(2, CVector2(150.0f, 350.0f));
    Step();
    EXPECT_TRUE(beam->IsActive());
    EXPECT_EQ(beam->GetTarget(), nullptr);
    EXPECT_FLOAT_EQ(beam->GetBeamLength(), 945.0f + 630.0f);
    EXPECT_EQ(Energy(1), 20000000 - 8000);
    EXPECT_EQ(beam->GetEnergyFlow(), -500000);
    EXPECT_EQ(behind->GetDamageTaken(), 0);
}

TEST_F(BeamNodeTest, WorthWeighsWhatTheBeamHits)
{
    CBeamNode* beam = Emitter();
    CTargetNode* target = Target(2, CVector2(300.0f, 300.0f));
    target->SetWorth(100.0f);
    beam->UpdateWorth();
    EXPECT_EQ(beam->GetWorth(), 0.0f);

    Step();
    beam->UpdateWorth();
    EXPECT_FLOAT_EQ(beam->GetWorth(), -500.0f + 100.0f + 1.0f);

    // A friend hit counts against it.
    target->SetTeam(1);
    beam->UpdateWorth();
    EXPECT_FLOAT_EQ(beam->GetWorth(), -500.0f - 100.0f + 1.0f);
    // A grey target is worth nothing either way.
    target->SetTeam(0);
    beam->UpdateWorth();
    EXPECT_FLOAT_EQ(beam->GetWorth(), -500.0f + 1.0f);
}

TEST_F(BeamNodeTest, FeedingAFoesAbsorberCountsAgainstIt)
{
    CBeamNode* beam = Emitter();
    CTargetNode* source = Target(2, CVector2(300.0f, 400.0f));
    CAbsorberNode* absorber = Place(new CAbsorberNode, 2, CVector2(300.0f, 300.0f), source);
    Step();
    ASSERT_EQ(beam->GetTarget(), absorber);
    absorber->UpdateWorth();
    float w = absorber->GetWorth();
    ASSERT_NE(w, 0.0f);
    beam->UpdateWorth();
    EXPECT_FLOAT_EQ(beam->GetWorth(), -500.0f - w + 1.0f);
}

TEST_F(BeamNodeTest, IsWastedOnlyOnAFoesAbsorberOrOnAShieldThatBlocksIt)
{
    struct Case
    {
        const char* what;
        int team;
        bool absorber;
        float shieldFacing;
        bool wasted;
    };
    const Case cases[] = {{"a foe's absorber", 2, true, 0.0f, true},
                          {"a foe's shield facing the beam", 2, false, 180.0f, true},
                          {"a foe's shield turned away", 2, false, 0.0f, false},
                          {"an own shield facing the beam", 1, false, 180.0f, false}};
    for (const Case& c : cases)
    {
        CBeamNode* beam = Emitter();
        CTargetNode* source = Target(c.team, CVector2(300.0f, 400.0f));
        if (c.absorber)
            Place(new CAbsorberNode, c.team, CVector2(300.0f, 300.0f), source);
        else
            Place(new CShieldNode, c.team, CVector2(300.0f, 300.0f), source)->SetAngle(c.shieldFacing);
        Step();
        EXPECT_EQ(c.wasted, beam->IsWasted()) << c.what;
        ClearBoard();
        SetUp();
    }
}

TEST_F(BeamNodeTest, ReportsDangerOnlyAlongTheTracedBeam)
{
    CBeamNode* beam = Emitter();
    Target(2, CVector2(300.0f, 300.0f));
    Step();
    ASSERT_FLOAT_EQ(beam->GetBeamLength(), 190.0f);

    int kind = -1;
    EXPECT_EQ(beam->GetDamageAt(CVector2(200.0f, 300.0f), 5.0f, &kind, 0), 1000000);
    EXPECT_EQ(kind, DAMAGE_BEAM);
    // Grazing from the side counts; just clear of it does not.
    EXPECT_EQ(beam->GetDamageAt(CVector2(200.0f, 305.0f), 5.0f, &kind, 0), 1000000);
    EXPECT_EQ(beam->GetDamageAt(CVector2(200.0f, 306.0f), 5.0f, &kind, 0), 0);
    EXPECT_EQ(kind, DAMAGE_NONE);
    // Too close to the emitter's own front, or past the end of the beam.
    EXPECT_EQ(beam->GetDamageAt(CVector2(110.0f, 300.0f), 5.0f, &kind, 0), 0);
    EXPECT_EQ(beam->GetDamageAt(CVector2(303.0f, 300.0f), 5.0f, &kind, 0), 1000000);
    EXPECT_EQ(beam->GetDamageAt(CVector2(304.0f, 300.0f), 5.0f, &kind, 0), 0);
    EXPECT_EQ(kind, DAMAGE_NONE);
}

TEST_F(BeamNodeTest, LeavesAGhostAtItsAimAngle)
{
    CSprite ghost(0.0f, 0.0f, 16.0f, 16.0f, 0, 256.0f, 256.0f);
    OverrideNodeSprite("Beamgun_Green", &ghost);
    std::vector<NodeGraphic> seen;
    SetNodeGraphicObserver([&](const NodeGraphic& g) { seen.push_back(g); });

    CBeamNode* beam = Emitter(30.0f);
    beam->Kill();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].sprite, &ghost);
    EXPECT_EQ(seen[0].angle, 30.0f);
    EXPECT_EQ(seen[0].lifetime, 1000);
    EXPECT_EQ(seen[0].position, CVector2(100.0f, 300.0f));
    EXPECT_EQ(seen[0].velocity, CVector2(0.0f, 0.0f));
}
} // namespace
