#include <string>
#include <vector>

#include "media/SoundManager.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/EntityRegistry.h"
#include "nodes/MainNode.h"
#include "nodes/ShieldNode.h"
#include "nodes/WeaponBoard.h"

namespace
{
// A fresh match in the engine's world, both sides left to the test (no computer player),
// run through the world's own frame update.
class BattleTest : public CWeaponBoard
{
  protected:
    std::vector<std::string> m_sounds;

    void SetUp() override
    {
        CWeaponBoard::SetUp();
        CGameEngine::Instance().RemoveOption("debug");
        m_world.m_demo = false;
        m_world.NewMatch();
        for (int t = 0; t < CTeam::MAX_TIDS; ++t)
            m_world.GetTeam(t).SetAI(false);
        m_world.m_state = STATE_MATCH;
        SetSoundObserver([this](const std::string& pId) { m_sounds.push_back(pId); });
    }

    void TearDown() override
    {
        SetSoundObserver(nullptr);
        CWeaponBoard::TearDown();
    }

    CMainNode* MainOf(int pTeam) { return m_world.GetTeam(pTeam).GetMainNode(); }

    // Green's emitter in front of its main node, aimed straight at blue's.
    CBeamNode* GreenEmitter()
    {
        m_world.GetTeam(1).AddEnergy(CBeamNode::GetCost());
        CEntity* built =
            m_world.BuildBeamEmitter(1, CVector2(258.0f, 315.0f), MainOf(2)->GetPosition(), MainOf(1));
        return dynamic_cast<CBeamNode*>(built);
    }

    // Runs frames of one step each until the match is decided; the number of steps taken.
    int RunUntilDecided(int pLimit)
    {
        int steps = 0;
        while (m_world.m_result == RESULT_UNDECIDED && steps < pLimit)
        {
            m_world.Update(m_world.m_stepLength);
            ++steps;
        }
        return steps;
    }
};

TEST_F(BattleTest, AnUndefendedMainNodeFallsToOneEmitter)
{
    CBeamNode* beam = GreenEmitter();
    ASSERT_NE(beam, nullptr);
    int beamId = GetEntityId(beam);
    int blueMainId = GetEntityId(MainOf(2));

    // Watch the first steps: the beam reaches the blue main node and warms up.
    m_world.Update(16);
    EXPECT_EQ(beam->GetTarget(), MainOf(2));
    EXPECT_EQ(MainOf(2)->GetDamageTaken(), 17);
    m_world.Update(16);
    EXPECT_EQ(MainOf(2)->GetDamageTaken(), 34);

    // 50,000,000 health: about 15 s of warm-up and 45 s more at full strength.
    int steps = RunUntilDecided(10000);
    EXPECT_EQ(m_world.m_result, RESULT_WIN);
    EXPECT_GT(steps, 3000);
    EXPECT_LT(steps, 4000);
    EXPECT_EQ(MainOf(2), nullptr);
    EXPECT_EQ(GetEntity(blueMainId), nullptr);
    // The emitter outlives its target and still pays for its beam, which now runs off the board.
    ASSERT_EQ(GetEntity(beamId), beam);
    EXPECT_EQ(beam->GetHealth(), CBeamNode::HEALTH);
    m_world.Update(16);
    EXPECT_EQ(beam->GetTarget(), nullptr);
    EXPECT_FLOAT_EQ(beam->GetBeamLength(), 945.0f + 630.0f);
    EXPECT_EQ(beam->GetEnergyFlow(), -500000);
    int ends = 0;
    for (const std::string& s : m_sounds)
        ends += s == "End" ? 1 : 0;
    EXPECT_EQ(ends, 1);
}

TEST_F(BattleTest, AShieldFacingTheBeamHoldsWhileBlueCanPay)
{
    CBeamNode* beam = GreenEmitter();
    ASSERT_NE(beam, nullptr);
    CEntity* shield = m_world.BuildShield(2, CVector2(700.0f, 315.0f), beam->GetPosition(), MainOf(2));
    ASSERT_NE(shield, nullptr);

    RunUntilDecided(2000);
    EXPECT_EQ(m_world.m_result, RESULT_UNDECIDED);
    EXPECT_EQ(beam->GetTarget(), shield);
    EXPECT_EQ(beam->GetWarmUp().GetValue(), CBeamNode::WARM_UP);
    EXPECT_EQ(shield->GetHealth(), CShieldNode::HEALTH);
    EXPECT_EQ(MainOf(2)->GetHealth(), CMainNode::HEALTH);
    // The main node's income covers the blocked beam: +1000 and -500 in thousands per second.
    EXPECT_EQ(m_world.GetTeamFlow(2), 1000 - 500);
}

TEST_F(BattleTest, AnAbsorberFeedsOnTheBeamAndBurnsItsNeighbours)
{
    CBeamNode* beam = GreenEmitter();
    ASSERT_NE(beam, nullptr);
    m_world.GetTeam(2).AddEnergy(CAbsorberNode::GetCost());
    CEntity* absorber = m_world.BuildAbsorber(2, CVector2(700.0f, 315.0f), MainOf(2));
    ASSERT_NE(absorber, nullptr);
    // A blue shield right beside it, out of the beam: the blast burns it down all the same.
    CEntity* shield = m_world.BuildShield(2, CVector2(700.0f, 338.0f), CVector2(700.0f, 600.0f), MainOf(2));
    ASSERT_NE(shield, nullptr);
    int shieldId = GetEntityId(shield);

    // Early on the blast is small and the shield only scorched.
    RunUntilDecided(300);
    ASSERT_EQ(GetEntity(shieldId), shield);
    EXPECT_LT(shield->GetHealth(), CShieldNode::HEALTH);
    EXPECT_EQ(shield->GetDamageKind(), DAMAGE_AREA);
    EXPECT_EQ(shield->GetLastAttacker(), absorber);

    RunUntilDecided(1200);
    EXPECT_EQ(m_world.m_result, RESULT_UNDECIDED);
    EXPECT_EQ(beam->GetTarget(), absorber);
    EXPECT_EQ(absorber->GetHealth(), CAbsorberNode::HEALTH);
    EXPECT_EQ(absorber->GetEnergyFlow(), 500000);
    EXPECT_GT(static_cast<CAbsorberNode*>(absorber)->GetCurrentBlast(), 29.0f);
    EXPECT_EQ(GetEntity(shieldId), nullptr);
    EXPECT_EQ(MainOf(2)->GetHealth(), CMainNode::HEALTH);
}
} // namespace
