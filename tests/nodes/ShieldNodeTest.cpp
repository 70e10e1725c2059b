#include <cmath>
#include <vector>

#include "media/Sprite.h"
#include "nodes/BeamNode.h"
#include "nodes/ShieldNode.h"
#include "nodes/WeaponBoard.h"

namespace
{
const CVector2 SHIELD_AT(300.0f, 300.0f);

class ShieldNodeTest : public CWeaponBoard
{
  protected:
    CTargetNode* m_source = nullptr;
    CTargetNode* m_attacker = nullptr;

    void SetUp() override
    {
        CWeaponBoard::SetUp();
        SetEnergy(2, 1000000);
        m_source = Target(2, CVector2(300.0f, 400.0f));
        m_attacker = Target(1, CVector2(100.0f, 100.0f));
    }

    // A blue shield at (300, 300) facing the given angle.
    CShieldNode* Shield(float pFacing, bool pPowered = true)
    {
        CShieldNode* shield = Place(new CShieldNode, 2, SHIELD_AT, pPowered ? m_source : nullptr);
        shield->SetAngle(pFacing);
        return shield;
    }

    // A point on the shield's rim, pRadians away from +x.
    static CVector2 Rim(float pRadians)
    {
        return SHIELD_AT + CVector2(std::cos(pRadians), std::sin(pRadians)) * 10.0f;
    }
};

TEST_F(ShieldNodeTest, BlocksBeamsOnlyWithinOneRadianOfItsFacing)
{
    CShieldNode* shield = Shield(0.0f);
    EXPECT_EQ(shield->GetHealth(), 2000000);

    struct Case
    {
        float radians;
        bool blocked;
    };
    for (Case c : {Case{0.0f, true}, Case{0.99f, true}, Case{-0.99f, true}, Case{1.0f, false},
                   Case{-1.0f, false}, Case{3.14159f, false}})
    {
        SCOPED_TRACE(c.radians);
        int health = shield->GetHealth();
        int blocked = shield->GetBlocked();
        shield->BeginStep();
        shield->TakeDamage(1000, Rim(c.radians), DAMAGE_BEAM, m_attacker);
        if (c.blocked)
        {
            EXPECT_EQ(shield->GetHealth(), health);
            EXPECT_EQ(shield->GetBlocked(), blocked + 1000);
            EXPECT_EQ(shield->GetDamageTaken(), 0);
            EXPECT_EQ(shield->GetLastAttackerId(), 0);
        }
        else
        {
            EXPECT_EQ(shield->GetHealth(), health - 1000);
            EXPECT_EQ(shield->GetBlocked(), blocked);
            EXPECT_EQ(shield->GetDamageKind(), DAMAGE_BEAM);
            EXPECT_EQ(shield->GetLastAttacker(), m_attacker);
        }
    }
}

TEST_F(ShieldNodeTest, AreaDamageAndAnInactiveShieldAreNeverBlocked)
{
    CShieldNode* shield = Shield(0.0f);
    shield->TakeDamage(5000, Rim(0.0f), DAMAGE_AREA, m_attacker);
    EXPECT_EQ(shield->GetHealth(), 2000000 - 5000);
    EXPECT_EQ(shield->GetBlocked(), 0);

    CShieldNode* unpowered = Shield(0.0f, false);
    Step();
    EXPECT_FALSE(unpowered->IsActive());
    EXPECT_EQ(unpowered->GetEnergyFlow(), 0);
    unpowered->TakeDamage(5000, Rim(0.0f), DAMAGE_BEAM, m_attacker);
    EXPECT_EQ(unpowered->GetHealth(), 2000000 - 5000);
}

TEST_F(ShieldNodeTest, PaysForIdlingAndForEachBlockedBeam)
{
    CShieldNode* shield = Shield(0.0f);
    struct Case
    {
        int beams;
        int cost;
    };
    for (Case c : {Case{0, 4000}, Case{1, 8000}, Case{2, 16000}, Case{0, 4000}})
    {
        SCOPED_TRACE(c.beams);
        for (int b = 0; b < c.beams; ++b)
            shield->TakeDamage(16000, Rim(0.1f * b), DAMAGE_BEAM, m_attacker);
        int before = Energy(2);
        Step();
        EXPECT_TRUE(shield->IsActive());
        EXPECT_EQ(Energy(2), before - c.cost);
        EXPECT_EQ(shield->GetEnergyFlow(), -c.cost / 16 * 1000);
        EXPECT_EQ(shield->GetBlocked(), 0);
        EXPECT_EQ(shield->GetHealth(), 2000000);
    }
}

TEST_F(ShieldNodeTest, GoesDownWhenItsSideCannotPay)
{
    CShieldNode* shield = Shield(0.0f);
    SetEnergy(2, 4000);
    Step();
    EXPECT_TRUE(shield->IsActive());
    EXPECT_EQ(Energy(2), 0);

    // Too poor for the next step: it charges nothing and beams get through.
    SetEnergy(2, 3999);
    Step();
    EXPECT_FALSE(shield->IsActive());
    EXPECT_EQ(Energy(2), 3999);
    EXPECT_EQ(shield->GetEnergyFlow(), 0);
    shield->TakeDamage(16000, Rim(0.0f), DAMAGE_BEAM, m_attacker);
    EXPECT_EQ(shield->GetHealth(), 2000000 - 16000);

    // Once it can pay again it blocks again; the damage it let through was not billed.
    SetEnergy(2, 1000000);
    Step();
    EXPECT_TRUE(shield->IsActive());
    EXPECT_EQ(Energy(2), 1000000 - 4000);
}

TEST_F(ShieldNodeTest, StopsAnEmitterAimedAtItsFace)
{
    SetEnergy(1, 20000000);
    SetEnergy(2, 20000000);
    CShieldNode* shield = Shield(180.0f);
    // The beam ends 70 pixels out, just beyond the emitter's self-damage distance.
    CBeamNode* beam = Place(new CBeamNode, 1, CVector2(220.0f, 300.0f), m_attacker);
    beam->SetAngle(0.0f);
    // Full strength after fifteen seconds.
    Steps(940);
    int greenBefore = Energy(1);
    int blueBefore = Energy(2);
    Step();
    EXPECT_EQ(beam->GetTarget(), shield);
    EXPECT_EQ(shield->GetHealth(), 2000000);
    EXPECT_EQ(Energy(1), greenBefore - 8000);
    EXPECT_EQ(Energy(2), blueBefore - 8000);
    EXPECT_EQ(shield->GetEnergyFlow(), -500000);
    EXPECT_FLOAT_EQ(beam->GetBeamLength(), 70.0f);
    EXPECT_EQ(beam->GetWarmUp().GetValue(), 15000);
}

TEST_F(ShieldNodeTest, BlockedBeamsThrowBlueSparksAlongItsFace)
{
    CSprite spark(0.0f, 0.0f, 4.0f, 4.0f, 0, 256.0f, 256.0f);
    OverrideNodeSprite("Spark", &spark);
    std::vector<NodeGraphic> seen;
    SetNodeGraphicObserver([&](const NodeGraphic& g) { seen.push_back(g); });
    // Draws in order: angle, speed, green, blue, lifetime (the first draw reads entry 1).
    RandomTable::GetInstance().FillWith({0, 32767, 32767, 0, 32767, 32767});

    CShieldNode* shield = Shield(90.0f);
    CVector2 at = Rim(1.5707963f);
    shield->TakeDamage(9000, at, DAMAGE_BEAM, m_attacker);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(shield->GetSparkAccumulator(), 1000);
    const NodeGraphic& g = seen[0];
    EXPECT_EQ(g.sprite, &spark);
    EXPECT_EQ(g.position, at);
    EXPECT_NEAR(g.angle, 3.14159265f, 1e-5f);
    EXPECT_NEAR(g.colour.r, 0.1f, 1e-6f);
    EXPECT_NEAR(g.colour.g, 0.1f, 1e-6f);
    EXPECT_NEAR(g.colour.b, 1.0f, 1e-6f);
    EXPECT_EQ(g.colour.a, 0.3f);
    EXPECT_EQ(g.lifetime, 550);
    // The hit came from straight above, so the sparks slide sideways along the face.
    EXPECT_NEAR(g.velocity.x, 0.06f, 1e-3f);
    EXPECT_NEAR(g.velocity.y, 0.0f, 1e-6f);
}

TEST_F(ShieldNodeTest, WorthIsItsCostUntilSomethingGetsThrough)
{
    CShieldNode* shield = Shield(0.0f);
    shield->TakeDamage(16000, Rim(0.0f), DAMAGE_BEAM, m_attacker);
    Step();
    shield->UpdateWorth();
    EXPECT_FLOAT_EQ(shield->GetWorth(), -500.0f);

    shield->TakeDamage(16000, Rim(3.0f), DAMAGE_BEAM, m_attacker);
    Step();
    shield->UpdateWorth();
    EXPECT_EQ(shield->GetWorth(), 0.0f);
}

TEST_F(ShieldNodeTest, LeavesAGhostTurnedLikeItsArt)
{
    CSprite ghost(0.0f, 0.0f, 16.0f, 16.0f, 0, 256.0f, 256.0f);
    OverrideNodeSprite("Shield_Blue", &ghost);
    std::vector<NodeGraphic> seen;
    SetNodeGraphicObserver([&](const NodeGraphic& g) { seen.push_back(g); });
    CShieldNode* shield = Shield(30.0f);
    shield->Kill();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].sprite, &ghost);
    EXPECT_EQ(seen[0].angle, -60.0f);
}
} // namespace
