#include <cmath>

#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ShieldNode.h"
#include "nodes/WeaponBoard.h"

namespace
{
const CVector2 ABSORBER_AT(400.0f, 300.0f);
const int FULL_BEAM = 16000; // one full-strength beam over a 16 ms step

class AbsorberNodeTest : public CWeaponBoard
{
  protected:
    CTargetNode* m_source = nullptr;
    CTargetNode* m_attacker = nullptr;

    void SetUp() override
    {
        CWeaponBoard::SetUp();
        SetEnergy(2, 1000000);
        m_source = Target(2, CVector2(400.0f, 500.0f));
        m_attacker = Target(1, CVector2(100.0f, 100.0f));
    }

    CAbsorberNode* Absorber(CVector2 pAt = ABSORBER_AT, bool pPowered = true)
    {
        return Place(new CAbsorberNode, 2, pAt, pPowered ? m_source : nullptr);
    }

    // What a beam hitting the absorber from the left delivers before its update.
    void Beam(CAbsorberNode* pAbsorber, int pAmount = FULL_BEAM)
    {
        pAbsorber->TakeDamage(pAmount, pAbsorber->GetPosition() - CVector2(10.0f, 0.0f), DAMAGE_BEAM,
                              m_attacker);
    }
};

TEST_F(AbsorberNodeTest, SwallowsABeamAndTurnsHalfOfItIntoEnergy)
{
    CAbsorberNode* absorber = Absorber();
    EXPECT_EQ(absorber->GetHealth(), 5000000);
    EXPECT_TRUE(absorber->AbsorbsBeams());

    Beam(absorber);
    EXPECT_EQ(absorber->GetAbsorbed(), FULL_BEAM);
    EXPECT_EQ(absorber->GetHits(), 1);
    Step();
    EXPECT_EQ(absorber->GetHealth(), 5000000);
    EXPECT_EQ(Energy(2), 1000000 + 8000);
    EXPECT_EQ(absorber->GetEnergyFlow(), 500000);
    EXPECT_FLOAT_EQ(absorber->GetCurrentBlast(), 1.5f);
    EXPECT_EQ(absorber->GetAbsorbed(), 0);
    EXPECT_EQ(absorber->GetHits(), 0);

    // The radius closes in on 30 pixels per beam and never overshoots.
    float last = absorber->GetCurrentBlast();
    for (int i = 0; i < 150; ++i)
    {
        Beam(absorber);
        Step();
        ASSERT_GT(absorber->GetCurrentBlast(), last);
        last = absorber->GetCurrentBlast();
    }
    EXPECT_GT(last, 29.9f);
    EXPECT_LE(last, 30.0f);
    EXPECT_EQ(absorber->GetHealth(), 5000000);
}

TEST_F(AbsorberNodeTest, WithoutPowerABeamHurtsIt)
{
    CAbsorberNode* absorber = Absorber(ABSORBER_AT, false);
    Beam(absorber);
    EXPECT_EQ(absorber->GetHealth(), 5000000 - FULL_BEAM);
    EXPECT_EQ(absorber->GetAbsorbed(), 0);
    EXPECT_EQ(absorber->GetLastAttacker(), m_attacker);
    int before = Energy(2);
    Step();
    EXPECT_LE(Energy(2), before);
    EXPECT_EQ(absorber->GetCurrentBlast(), 0.0f);
}

TEST_F(AbsorberNodeTest, OtherDamageHurtsButStillFeedsTheBlast)
{
    CAbsorberNode* absorber = Absorber();
    absorber->TakeDamage(1000, ABSORBER_AT, DAMAGE_AREA, m_attacker);
    absorber->TakeDamage(999, ABSORBER_AT, DAMAGE_NONE, nullptr);
    EXPECT_EQ(absorber->GetHealth(), 5000000 - 1999);
    EXPECT_EQ(absorber->GetAbsorbed(), 950 + 949);
    EXPECT_EQ(absorber->GetHits(), 2);
    EXPECT_EQ(absorber->GetDamageKind(), DAMAGE_MIXED);
}

TEST_F(AbsorberNodeTest, IdlingCostsUntilTheBlastHasDiedDown)
{
    CAbsorberNode* absorber = Absorber();
    Step();
    EXPECT_EQ(Energy(2), 1000000 - 4000);
    EXPECT_EQ(absorber->GetEnergyFlow(), -250000);
    absorber->UpdateWorth();
    EXPECT_FLOAT_EQ(absorber->GetWorth(), -249.0f);
    EXPECT_FLOAT_EQ(absorber->GetBlastRadius(2), 60.0f);

    for (int i = 0; i < 100; ++i)
    {
        Beam(absorber);
        Step();
    }
    // Discharging: free while the radius is above 2 pixels, paying again from there on.
    int steps = 0;
    int before = Energy(2);
    while (absorber->GetCurrentBlast() > 2.0f)
    {
        before = Energy(2);
        Step();
        ++steps;
        if (absorber->GetCurrentBlast() > 2.0f)
        {
            ASSERT_EQ(Energy(2), before);
            ASSERT_EQ(absorber->GetEnergyFlow(), 0);
        }
    }
    EXPECT_GT(steps, 40);
    EXPECT_EQ(Energy(2), before - 4000);
    EXPECT_EQ(absorber->GetEnergyFlow(), -250000);
}

TEST_F(AbsorberNodeTest, BlastHitsEverythingTouchingItsReachOnTheNearRim)
{
    CAbsorberNode* absorber = Absorber();
    // Reach after one beam: 10 + 1.5 pixels, so a radius-10 neighbour counts up to 21.5 away.
    CTargetNode* touching = Target(1, ABSORBER_AT + CVector2(21.0f, 0.0f));
    CTargetNode* clear = Target(1, ABSORBER_AT + CVector2(0.0f, -22.0f));
    CShieldNode* shield = Place(new CShieldNode, 2, ABSORBER_AT + CVector2(-20.0f, 0.0f), m_source);
    shield->SetAngle(0.0f); // facing the absorber: area damage still gets through
    Beam(absorber);
    Step();

    // 16,000 scaled by 1.5 / 30.
    EXPECT_EQ(touching->GetDamageTaken(), 800);
    EXPECT_EQ(touching->GetDamageKind(), DAMAGE_AREA);
    EXPECT_EQ(touching->GetLastAttacker(), absorber);
    EXPECT_NEAR(touching->GetLastHitPoint().x, ABSORBER_AT.x + 11.0f, 0.05f);
    EXPECT_NEAR(touching->GetLastHitPoint().y, ABSORBER_AT.y, 1e-4f);
    EXPECT_EQ(shield->GetHealth(), 2000000 - 800);
    EXPECT_EQ(clear->GetDamageTaken(), 0);
    EXPECT_EQ(absorber->GetHealth(), 5000000);
}

TEST_F(AbsorberNodeTest, BlastDamageFollowsTheRadiusUpToOneFullBeam)
{
    CAbsorberNode* absorber = Absorber();
    CTargetNode* neighbour = Target(1, ABSORBER_AT + CVector2(15.0f, 0.0f));
    // Two beams drive the radius past 30, where the blast deals its full 1000 per millisecond.
    for (int i = 0; i < 40; ++i)
    {
        Beam(absorber);
        Beam(absorber);
        Step();
    }
    ASSERT_GE(absorber->GetCurrentBlast(), 30.0f);
    EXPECT_EQ(neighbour->GetDamageTaken(), 16000);

    // Left alone it keeps discharging: full damage while the radius is 30 or more, then
    // scaled down with the shrinking radius.
    for (int i = 0; i < 100; ++i)
    {
        Step();
        float blast = absorber->GetCurrentBlast();
        if (blast >= 30.0f)
        {
            ASSERT_EQ(neighbour->GetDamageTaken(), 16000);
            continue;
        }
        EXPECT_EQ(neighbour->GetDamageTaken(), static_cast<int>(16000 * blast / 30.0f));
        EXPECT_LT(neighbour->GetDamageTaken(), 16000);
        EXPECT_GT(neighbour->GetDamageTaken(), 15000);
        break;
    }
}

TEST_F(AbsorberNodeTest, NeighbouringAbsorbersPassTheEnergyOn)
{
    CAbsorberNode* first = Absorber();
    CAbsorberNode* second = Absorber(ABSORBER_AT + CVector2(20.0f, 0.0f));
    // The second is updated first each step, so it feels the first one's blast a step later.
    Beam(first);
    Step();
    EXPECT_EQ(second->GetDamageTaken(), 800);
    EXPECT_EQ(second->GetHealth(), 5000000 - 800);
    EXPECT_EQ(second->GetAbsorbed(), 760);
    EXPECT_EQ(second->GetHits(), 1);

    int before = Energy(2);
    Beam(first);
    Step();
    EXPECT_GT(second->GetCurrentBlast(), 0.0f);
    // Its small blast reached the first absorber, which swallows 95 % of that too.
    int back = first->GetDamageTaken();
    EXPECT_GT(back, 0);
    EXPECT_LT(back, 40);
    // Half of everything absorbed comes back as energy: 760 by the second, the beam and
    // the returned blast by the first.
    EXPECT_EQ(Energy(2), before + 380 + (FULL_BEAM + back * 95 / 100) / 2);
    EXPECT_EQ(first->GetHealth(), 5000000 - back);
    EXPECT_EQ(first->GetDamageKind(), DAMAGE_AREA);
}

TEST_F(AbsorberNodeTest, ReportsItsBlastToThePlanner)
{
    EXPECT_EQ(CAbsorberNode::BlastRadiusFor(1000000), 30.0f);
    EXPECT_EQ(CAbsorberNode::BlastRadiusFor(999999), 29.0f);
    EXPECT_EQ(CAbsorberNode::BlastRadiusFor(500000), 15.0f);

    CAbsorberNode* absorber = Absorber();
    Beam(absorber);
    Beam(absorber);
    // Before the update the two hits count as two beams' worth.
    EXPECT_FLOAT_EQ(absorber->GetBlastRadius(0), 60.0f);
    EXPECT_FLOAT_EQ(absorber->GetBlastRadius(1), 90.0f);
    Step();

    int kind = -1;
    // Blast 3, own radius 10, probe radius 5: reaches 18 pixels out.
    ASSERT_FLOAT_EQ(absorber->GetCurrentBlast(), 3.0f);
    EXPECT_EQ(absorber->GetDamageAt(ABSORBER_AT + CVector2(0.0f, 18.0f), 5.0f, &kind, 0), 1000);
    EXPECT_EQ(kind, DAMAGE_AREA);
    EXPECT_EQ(absorber->GetDamageAt(ABSORBER_AT + CVector2(0.0f, 18.5f), 5.0f, &kind, 0), 0);
    EXPECT_EQ(kind, DAMAGE_NONE);
    EXPECT_EQ(absorber->GetDamageAt(ABSORBER_AT + CVector2(0.0f, 48.0f), 5.0f, &kind, 1), 1000);
}

TEST_F(AbsorberNodeTest, AnEmptyStepChangesNothing)
{
    // A zero-length update must neither divide by zero nor bill anything.
    CAbsorberNode* absorber = Absorber();
    CShieldNode* shield = Place(new CShieldNode, 2, CVector2(200.0f, 200.0f), m_source);
    Beam(absorber);
    int before = Energy(2);
    absorber->Update(0);
    shield->Update(0);
    EXPECT_EQ(Energy(2), before);
    EXPECT_EQ(absorber->GetCurrentBlast(), 0.0f);
    EXPECT_EQ(absorber->GetAbsorbed(), FULL_BEAM);
}
} // namespace
