#include <functional>

#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ForkNode.h"
#include "nodes/WeaponBoard.h"
#include "ui/LossLine.h"

namespace
{
const CVector2 VICTIM_AT(400.0f, 300.0f);

// Both sides' sources on an empty board; the match's figures count from here.
class DamageCauseTest : public CWeaponBoard
{
  protected:
    CTargetNode* m_greenSource = nullptr;
    CTargetNode* m_blueSource = nullptr;

    void SetUp() override
    {
        CWeaponBoard::SetUp();
        SetEnergy(1, CTeam::ENERGY_MAX);
        SetEnergy(2, CTeam::ENERGY_MAX);
        m_greenSource = Target(1, CVector2(400.0f, 600.0f));
        m_blueSource = Target(2, CVector2(100.0f, 600.0f));
        m_world.m_matchStats.Reset(m_world.m_nodes, 16);
    }
    CTargetNode* SourceOf(int pTeam) { return pTeam == 1 ? m_greenSource : m_blueSource; }
};
} // namespace

// Each cause from a board built for it: the extender under test falls, the leaf it powers
// is cut off in the same moment, and the figures and the line say what did it.
TEST_F(DamageCauseTest, EachCauseIsRecordedWithTheLoss)
{
    struct Case
    {
        const char* name;
        int attackerTeam;
        bool absorber; // a blast fed by a beam each step, else a beam emitter
        int cause;
        const char* line;
    };
    const Case cases[] = {
        {"enemy beam", 2, false, CMatchStats::CAUSE_ENEMY_BEAM,
         "Extender destroyed by blue's beam; node cut off from power"},
        {"own beam", 1, false, CMatchStats::CAUSE_OWN_BEAM,
         "Extender destroyed by your own beam; node cut off from power"},
        {"enemy blast", 2, true, CMatchStats::CAUSE_ENEMY_BLAST,
         "Extender destroyed by blue's absorber's blast; node cut off from power"},
        {"own blast", 1, true, CMatchStats::CAUSE_OWN_BLAST,
         "Extender destroyed by your own absorber's blast; node cut off from power"},
    };
    for (const Case& c : cases)
    {
        SetUp();
        CForkNode* victim = Place(new CForkNode, 1, VICTIM_AT, m_greenSource);
        // The leaf stands off the line of fire and out of the blast's reach.
        CTargetNode* leaf = Place(new CTargetNode, 1, VICTIM_AT + CVector2(0.0f, -90.0f), victim);
        CEntity* attacker = nullptr;
        if (c.absorber)
        {
            attacker = Place(new CAbsorberNode, c.attackerTeam, VICTIM_AT + CVector2(-25.0f, 0.0f),
                             SourceOf(c.attackerTeam));
        }
        else
        {
            CBeamNode* beam = Place(new CBeamNode, c.attackerTeam, VICTIM_AT + CVector2(-200.0f, 0.0f),
                                    SourceOf(c.attackerTeam));
            beam->SetAngle(0.0f);
            attacker = beam;
        }
        CTargetNode* feeder = Target(2, CVector2(50.0f, 50.0f));
        int steps = 0;
        for (; victim->IsAlive() && steps < 5000; ++steps)
        {
            if (c.absorber)
                attacker->TakeDamage(16000, attacker->GetPosition(), DAMAGE_BEAM, feeder);
            Step();
        }
        ASSERT_FALSE(victim->IsAlive()) << c.name;
        const CMatchStats& stats = m_world.m_matchStats;
        ASSERT_EQ(2u, stats.GetLosses().size()) << c.name;
        const CMatchStats::Loss& destroyed = stats.GetLosses()[0];
        EXPECT_EQ(KIND_EXTENDER, destroyed.kind) << c.name;
        EXPECT_EQ(c.cause, destroyed.cause) << c.name;
        EXPECT_EQ(VICTIM_AT.x, destroyed.at.x) << c.name;
        EXPECT_EQ(CMatchStats::CAUSE_CUT_OFF, stats.GetLosses()[1].cause) << c.name;
        EXPECT_EQ(0, leaf->GetTeam()) << c.name;
        // The extender's health went to the cause alone; the leaf's, untouched until then, to
        // decay.
        for (int cause = 0; cause < CMatchStats::CAUSE_CUT_OFF; ++cause)
            EXPECT_EQ(cause == c.cause, stats.GetDamage(1, cause) > 0) << c.name << cause;
        EXPECT_EQ(leaf->GetHealthMax(), stats.GetDamage(1, CMatchStats::CAUSE_CUT_OFF)) << c.name;
        EXPECT_EQ(1, stats.GetLossesBy(1, c.cause)) << c.name;
        EXPECT_EQ(1, stats.GetLossesBy(1, CMatchStats::CAUSE_CUT_OFF)) << c.name;
        EXPECT_EQ(c.line, CLossLine::Describe(stats.GetLosses(), 1, destroyed.step)) << c.name;
        // Blue lost nothing, so blue is told nothing.
        EXPECT_EQ("", CLossLine::Describe(stats.GetLosses(), 2, 0)) << c.name;
        TearDown();
    }
}

// Losses of one moment are told in one line, grouped by cause and counted by kind.
TEST(LossLineText, GroupsByCauseAndCountsKinds)
{
    using L = CMatchStats::Loss;
    const CVector2 at(0.0f, 0.0f);
    const std::vector<L> losses = {
        {10, 1, KIND_SHIELD, CMatchStats::CAUSE_OWN_BLAST, at, false},
        {10, 1, KIND_BEAM, CMatchStats::CAUSE_OWN_BLAST, at, false},
        {10, 2, KIND_BEAM, CMatchStats::CAUSE_ENEMY_BEAM, at, false},
        {11, 1, KIND_BEAM, CMatchStats::CAUSE_OWN_BLAST, at, false},
        {12, 1, KIND_MAIN, CMatchStats::CAUSE_ENEMY_BEAM, at, false},
        {12, 1, KIND_EXTENDER, CMatchStats::CAUSE_CUT_OFF, at, true},
        {12, 1, KIND_ABSORBER, CMatchStats::CAUSE_CUT_OFF, at, true},
    };
    EXPECT_EQ("2 beam emitters and shield destroyed by your own absorber's blast; main node destroyed by "
              "blue's beam; 2 nodes fell with it",
              CLossLine::Describe(losses, 1, 10));
    EXPECT_EQ("Main node destroyed by blue's beam; 2 nodes fell with it", CLossLine::Describe(losses, 1, 12));
    EXPECT_EQ("Beam emitter destroyed by green's beam", CLossLine::Describe(losses, 2, 0));
}
