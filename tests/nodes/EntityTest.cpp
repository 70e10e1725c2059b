#include <cmath>

#include "nodes/EntityRegistry.h"
#include "nodes/MainNode.h"
#include "nodes/NodeTestSupport.h"

namespace
{
const float PI = 3.14159265f;
}

using EntityTest = NodeBoardTest;

TEST_F(EntityTest, SetPositionRoundsToTheNearestPixel)
{
    CProbeEntity e;
    e.SetPosition(CVector2(10.5f, -3.5f));
    EXPECT_EQ(CVector2(11.0f, -3.0f), e.GetPosition());
    e.SetPosition(CVector2(2.49f, -0.6f));
    EXPECT_EQ(CVector2(2.0f, -1.0f), e.GetPosition());
}

TEST_F(EntityTest, ParentResolvesOnlyWhileItLives)
{
    CProbeEntity child;
    EXPECT_FALSE(child.IsConnected());
    {
        CProbeEntity parent;
        child.SetParent(&parent);
        EXPECT_EQ(&parent, child.GetParent());
        EXPECT_TRUE(child.IsConnected());
        parent.Kill();
        EXPECT_EQ(nullptr, child.GetParent());
        EXPECT_FALSE(child.IsConnected());
    }
    child.SetParent(nullptr);
    EXPECT_EQ(0, child.GetParentId());
}

TEST_F(EntityTest, DamageKindsMergeWithinAStep)
{
    CProbeEntity e;
    e.TakeDamage(10, CVector2(1.0f, 2.0f), DAMAGE_BEAM, nullptr);
    e.TakeDamage(10, CVector2(3.0f, 4.0f), DAMAGE_BEAM, nullptr);
    EXPECT_EQ(DAMAGE_BEAM, e.GetDamageKind());
    EXPECT_EQ(20, e.GetDamageTaken());
    EXPECT_EQ(CVector2(3.0f, 4.0f), e.GetLastHitPoint());
    e.TakeDamage(10, CVector2(0.0f, 0.0f), DAMAGE_AREA, nullptr);
    EXPECT_EQ(DAMAGE_MIXED, e.GetDamageKind());

    e.BeginStep();
    EXPECT_EQ(DAMAGE_NONE, e.GetDamageKind());
    EXPECT_EQ(0, e.GetDamageTaken());
    EXPECT_EQ(CVector2(0.0f, 0.0f), e.GetLastHitPoint());
    e.TakeDamage(10, CVector2(0.0f, 0.0f), DAMAGE_BEAM, nullptr);
    // Decay counts as a different kind once something else was recorded.
    e.TakeDamage(10, CVector2(0.0f, 0.0f), DAMAGE_NONE, nullptr);
    EXPECT_EQ(DAMAGE_MIXED, e.GetDamageKind());
    EXPECT_EQ(10000000 - 50, e.GetHealth());
}

TEST_F(EntityTest, LastAttackerIsTheLatestSourceAndForgetsTheDead)
{
    CProbeEntity e;
    auto* shooter = new CProbeEntity;
    e.TakeDamage(1, CVector2(), DAMAGE_BEAM, shooter);
    EXPECT_EQ(shooter, e.GetLastAttacker());
    EXPECT_EQ(GetEntityId(shooter), e.GetLastAttackerId());
    delete shooter;
    EXPECT_EQ(nullptr, e.GetLastAttacker());
    e.TakeDamage(1, CVector2(), DAMAGE_BEAM, nullptr);
    EXPECT_EQ(0, e.GetLastAttackerId());
}

TEST_F(EntityTest, ZeroDamageNeverKills)
{
    CProbeEntity e;
    e.SetHealthValue(1);
    e.TakeDamage(0, CVector2(), DAMAGE_BEAM, nullptr);
    e.SetHealthValue(0);
    e.TakeDamage(0, CVector2(), DAMAGE_BEAM, nullptr);
    EXPECT_TRUE(e.IsAlive());
    EXPECT_EQ(0, e.m_deaths);
    EXPECT_EQ(0, CountSounds("Death"));
}

TEST_F(EntityTest, LethalHitKillsOnceWithOneDeathSound)
{
    auto* e = new CProbeEntity(1000);
    int id = GetEntityId(e);
    e->TakeDamage(1000, CVector2(), DAMAGE_BEAM, nullptr);
    EXPECT_FALSE(e->IsAlive());
    EXPECT_EQ(1, e->m_deaths);
    EXPECT_EQ(1, CountSounds("Death"));
    EXPECT_EQ(nullptr, GetEntity(id));

    // Further hits in the same step and a second kill change nothing.
    e->TakeDamage(500, CVector2(), DAMAGE_BEAM, nullptr);
    e->Kill();
    EXPECT_EQ(1, e->m_deaths);
    EXPECT_EQ(1, CountSounds("Death"));
    delete e;
    EXPECT_EQ(1, CountSounds("Death"));
}

TEST_F(EntityTest, BeamDamageThrowsOneSparkPer4000Units)
{
    // The first draw reads entry 1: direction, angle, speed, green, red, lifetime.
    RandomTable::GetInstance().FillWith({7, 24575, 0, 32767, 16384, 0, 0});
    CProbeEntity e;
    e.TakeDamage(9000, CVector2(40.0f, 50.0f), DAMAGE_BEAM, nullptr);
    ASSERT_EQ(2u, m_graphics.size());
    EXPECT_EQ(1000, e.GetSparkAccumulator());

    const NodeGraphic& spark = m_graphics[0];
    EXPECT_EQ(StandIn(), spark.sprite);
    EXPECT_EQ(CVector2(40.0f, 50.0f), spark.position);
    EXPECT_NEAR(-PI, spark.angle, 1e-4);
    EXPECT_NEAR(0.5f, spark.colour.r, 1e-6);
    EXPECT_NEAR(0.2f, spark.colour.g, 1e-4);
    EXPECT_EQ(spark.colour.g, spark.colour.b);
    EXPECT_FLOAT_EQ(0.3f, spark.colour.a);
    EXPECT_EQ(450, spark.lifetime);
    // Speed grows with the hit: 0.09 * (9000 / 4000) / 4, pointing straight up.
    EXPECT_NEAR(0.0f, spark.velocity.x, 1e-4);
    EXPECT_NEAR(0.09f * 2.25f * 0.25f, spark.velocity.y, 1e-5);

    // The rest carries over into the next hit.
    e.TakeDamage(3001, CVector2(), DAMAGE_AREA, nullptr);
    EXPECT_EQ(3u, m_graphics.size());
    EXPECT_EQ(1, e.GetSparkAccumulator());
}

TEST_F(EntityTest, DecayMakesNoSparksAndMissingSparkSpriteStillDrains)
{
    CProbeEntity e;
    e.TakeDamage(9000, CVector2(), DAMAGE_NONE, nullptr);
    EXPECT_EQ(0, e.GetSparkAccumulator());
    EXPECT_TRUE(m_graphics.empty());

    ForgetNodeSprites();
    OverrideNodeSprite("Spark", nullptr);
    int cursor = RandomTable::GetInstance().GetCursor();
    e.TakeDamage(9000, CVector2(), DAMAGE_BEAM, nullptr);
    EXPECT_EQ(1000, e.GetSparkAccumulator());
    EXPECT_TRUE(m_graphics.empty());
    EXPECT_EQ(cursor, RandomTable::GetInstance().GetCursor());
}

TEST_F(EntityTest, DeathThrowsADiscOfSparksOverTheRadius)
{
    auto* e = new CProbeEntity(10000000, 8.0f);
    e->SetPosition(CVector2(100.0f, 200.0f));
    e->Kill();
    // One in the centre, then rings at 2, 4 and 6.
    ASSERT_EQ(40u, m_graphics.size());
    EXPECT_EQ(CVector2(100.0f, 200.0f), m_graphics[0].position);
    for (const NodeGraphic& g : m_graphics)
    {
        float rho = (g.position - CVector2(100.0f, 200.0f)).Length();
        EXPECT_LT(rho, 6.01f);
        EXPECT_FLOAT_EQ(0.6f, g.colour.a);
        float speed = g.velocity.Length();
        EXPECT_GE(speed, 0.0099f);
        EXPECT_LE(speed, 0.0901f);
        EXPECT_GE(g.lifetime, 450);
        EXPECT_LE(g.lifetime, 600);
    }
    delete e;
    EXPECT_EQ(40u, m_graphics.size());

    // A radius of 2 leaves only the centre spark.
    CProbeEntity small(100, 2.0f);
    small.Kill();
    EXPECT_EQ(41u, m_graphics.size());

    // Without the sprite there is no disc, and nothing is drawn from the random stream.
    ForgetNodeSprites();
    OverrideNodeSprite("Spark", nullptr);
    int cursor = RandomTable::GetInstance().GetCursor();
    CProbeEntity unseen(100, 8.0f);
    unseen.Kill();
    EXPECT_EQ(41u, m_graphics.size());
    EXPECT_EQ(cursor, RandomTable::GetInstance().GetCursor());
}

TEST_F(EntityTest, DeathFreesTheParentsSlot)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* e = Place(new CProbeEntity, 350.0f, 300.0f, 1, main);
    EXPECT_EQ(CMainNode::MAX_POWERED - 1, main->GetFreeSlots());
    e->Kill();
    EXPECT_EQ(CMainNode::MAX_POWERED, main->GetFreeSlots());
    EXPECT_TRUE(main->GetPowered().empty());
}

TEST_F(EntityTest, DestroyingALiveNodeRunsOnlyTheBaseDeath)
{
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* other = Place(new CProbeEntity, 350.0f, 300.0f, 1, main);
    World().m_nodes.pop_back();
    World().m_nodes.pop_back();
    // The main node's own death would cut what it powers; being destroyed does not.
    delete main;
    EXPECT_EQ(1, other->GetTeam());
    EXPECT_FALSE(m_graphics.empty());
    delete other;
}

TEST_F(EntityTest, UnownedNodesDecayAwayInTwentySeconds)
{
    CProbeEntity grey(2000000);
    grey.Update(16);
    EXPECT_EQ(2000000 - 1600, grey.GetHealth());
    EXPECT_EQ(DAMAGE_NONE, grey.GetDamageKind());
    int elapsed = 16;
    while (grey.IsAlive() && elapsed < 30000)
    {
        grey.Update(16);
        elapsed += 16;
    }
    EXPECT_EQ(20000, elapsed);
    EXPECT_EQ(1, grey.m_deaths);
    EXPECT_EQ(1, CountSounds("Death"));

    CProbeEntity owned(2000000);
    owned.SetTeam(2);
    owned.Update(16);
    EXPECT_EQ(2000000, owned.GetHealth());
}

TEST_F(EntityTest, CutPowerGreysTheNodeAndTakesAWholeShareOfHealth)
{
    // Draw 1 reads 32767 (a 20 % cut), draw 2 reads 0 (nothing), draw 3 reads 16384 (10 %).
    RandomTable::GetInstance().FillWith({0, 32767, 0, 16384});
    auto* main = Place(new CMainNode, 300.0f, 300.0f);
    auto* e = Place(new CProbeEntity, 350.0f, 300.0f, 1, main);
    e->CutPower();
    EXPECT_EQ(0, e->GetTeam());
    EXPECT_EQ(0, e->GetParentId());
    EXPECT_EQ(8000000, e->GetHealth());
    // The old parent is not told; its caller looks after its list.
    EXPECT_EQ(1u, main->GetPowered().size());
    EXPECT_TRUE(m_graphics.empty());
    e->CutPower();
    EXPECT_EQ(8000000, e->GetHealth());
    e->CutPower();
    EXPECT_EQ(7000000, e->GetHealth());
}

TEST_F(EntityTest, PowerLinkRunsStraightCrossesAt45DegreesAndRunsStraightAgain)
{
    CVector2 strip[8];
    CEntity::PowerLinkStrip(CVector2(0.0f, 0.0f), CVector2(10.0f, 50.0f), strip);
    const CVector2 vertical[8] = {{-2, 0}, {2, 0}, {-2, 20}, {2, 20}, {8, 30}, {12, 30}, {8, 50}, {12, 50}};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(vertical[i], strip[i]) << i;

    CEntity::PowerLinkStrip(CVector2(0.0f, 0.0f), CVector2(-50.0f, 10.0f), strip);
    const CVector2 horizontal[8] = {{0, -2},  {0, 2},    {-20, -2}, {-20, 2},
                                    {-30, 8}, {-30, 12}, {-50, 8},  {-50, 12}};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(horizontal[i], strip[i]) << i;

    // Downwards and to the right, mostly vertical: the middle leg is still diagonal.
    CEntity::PowerLinkStrip(CVector2(5.0f, 5.0f), CVector2(35.0f, -75.0f), strip);
    CVector2 leg = strip[4] - strip[2];
    EXPECT_FLOAT_EQ(std::fabs(leg.x), std::fabs(leg.y));
    EXPECT_EQ(CVector2(33.0f, -75.0f), strip[6]);
}

TEST_F(EntityTest, SparksBecomeEffectsOnTheBoard)
{
    auto* e = Place(new CProbeEntity(4000000, 8.0f), 100.0f, 100.0f);
    size_t before = World().GetEffects().size();
    e->TakeDamage(4000000, CVector2(104.0f, 100.0f), DAMAGE_BEAM, nullptr);
    // The death disc of 40, then 999 sparks for the hit itself.
    ASSERT_EQ(before + 40 + 999, World().GetEffects().size());
    const CGraphic* last = World().GetEffects().back();
    EXPECT_EQ(CVector2(104.0f, 100.0f), last->GetPosition());
    EXPECT_EQ(StandIn(), last->GetSprite());
    EXPECT_FLOAT_EQ(0.3f, last->GetColour().a);
}
