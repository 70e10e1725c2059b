#include <SDL/SDL_keysym.h>

#include "nodes/BeamNode.h"
#include "nodes/MainNode.h"
#include "ui/SummaryPanel.h"
#include "world/ScreenMath.h"
#include "world/WorldTestSupport.h"

namespace
{
class MatchStatsTest : public WorldTest
{
  protected:
    static const CMatchStats& Stats() { return World().m_matchStats; }
    static CMainNode* Main(int pTeam) { return World().GetTeam(pTeam).GetMainNode(); }
    static void Destroy(CEntity* pNode)
    {
        pNode->TakeDamage(pNode->GetHealth(), CVector2(0.0f, 0.0f), DAMAGE_NONE, nullptr);
    }
    // A watched match nobody plays: nothing happens on the board unless the test does it.
    static void StartIdleWatchedMatch()
    {
        World().StartWatchedMatch();
        World().GetTeam(1).SetAI(false);
        World().GetTeam(2).SetAI(false);
    }
};
} // namespace

// Green builds an extender, an extractor on the site below it, an absorber and a shield from
// its main node; blue one extender. A 16 ms step earns 16,000 at the extractor and costs
// 4,000 at the idle shield and 4,000 at the idle absorber.
TEST_F(MatchStatsTest, ScriptedMatchIsCountedAsWorkedOutByHand)
{
    World().GetTeam(2).SetAI(false);
    World().GetTeam(1).AddEnergy(20000000);
    CEntity* extender = World().BuildExtender(1, CVector2(158.0f, 215.0f), Main(1));
    ASSERT_NE(nullptr, extender);
    ASSERT_NE(nullptr, World().BuildExtractor(1, CVector2(128.0f, 165.0f), extender));
    ASSERT_NE(nullptr, World().BuildAbsorber(1, CVector2(88.0f, 315.0f), Main(1)));
    ASSERT_NE(nullptr, World().BuildShield(1, CVector2(158.0f, 395.0f), CVector2(158.0f, 500.0f), Main(1)));
    ASSERT_NE(nullptr, World().BuildExtender(2, CVector2(688.0f, 315.0f), Main(2)));
    Steps(100);

    const int built[2][CMatchStats::KINDS] = {{1, 0, 1, 1, 1, 0}, {1, 0, 0, 0, 0, 0}};
    for (int kind = 0; kind < CMatchStats::KINDS; ++kind)
    {
        EXPECT_EQ(built[0][kind], Stats().GetBuilt(1, kind)) << kind;
        EXPECT_EQ(built[1][kind], Stats().GetBuilt(2, kind)) << kind;
    }
    EXPECT_EQ(26000000, Stats().GetSpent(1, CMatchStats::SPEND_BUILDING));
    EXPECT_EQ(3000000, Stats().GetSpent(2, CMatchStats::SPEND_BUILDING));
    EXPECT_EQ(100 * 16000, Stats().GetEarned(1, CMatchStats::EARN_EXTRACTORS));
    EXPECT_EQ(100 * 8000, Stats().GetSpent(1, CMatchStats::SPEND_RUNNING));
    EXPECT_EQ(0, Stats().GetEarnedTotal(2) + Stats().GetSpent(2, CMatchStats::SPEND_RUNNING));
    // A sample in the first step and in the first step of the next second (63 x 16 ms).
    // After step 1 green holds 30 - 26 million plus 32,000 earned less 8,000 spent.
    ASSERT_EQ(2u, Stats().GetSamples().size());
    const CMatchStats::Sample& first = Stats().GetSamples()[0];
    EXPECT_EQ(1, first.step);
    EXPECT_EQ(4024000, first.energy[0]);
    EXPECT_EQ(7016000, first.energy[1]);
    EXPECT_EQ(5, first.nodes[0]);
    EXPECT_EQ(2, first.nodes[1]);
    EXPECT_EQ(63, Stats().GetSamples()[1].step);

    // Losing the extender cuts the extractor off at once; the extender itself goes with the
    // next step. The grey extractor earns nothing more.
    Destroy(extender);
    Steps(1);
    EXPECT_EQ(1, Stats().GetLost(1, KIND_EXTENDER));
    EXPECT_EQ(1, Stats().GetLost(1, KIND_EXTRACTOR));
    EXPECT_EQ(3, Stats().GetStanding(1));
    EXPECT_EQ(100 * 16000, Stats().GetEarnedTotal(1));

    // Blue's fall ends the match and the counting, with a last sample, and opens the summary.
    Destroy(Main(2));
    Steps(1);
    ASSERT_EQ(RESULT_WIN, World().m_result);
    EXPECT_TRUE(Stats().HasEnded());
    EXPECT_TRUE(World().m_summaryOpen);
    EXPECT_EQ(1, Stats().GetLost(2, KIND_MAIN));
    EXPECT_EQ(1, Stats().GetLost(2, KIND_EXTENDER));
    EXPECT_EQ(2, Stats().GetLostTotal(2));
    EXPECT_EQ(0, Stats().GetStanding(2));
    EXPECT_EQ(5, Stats().GetLargestNetwork(1));
    EXPECT_EQ(2, Stats().GetLargestNetwork(2));
    EXPECT_EQ(102 * 8000, Stats().GetSpent(1, CMatchStats::SPEND_RUNNING));
    ASSERT_EQ(3u, Stats().GetSamples().size());
    EXPECT_EQ(102, Stats().GetSamples().back().step);
    EXPECT_EQ(3, Stats().GetSamples().back().nodes[0]);
    EXPECT_EQ(0, Stats().GetSamples().back().nodes[1]);
    // The main nodes' health in thousandths; blue's extender stood when its main fell, green's
    // extractor was cut off while green's main stood.
    EXPECT_EQ(1000, Stats().GetSamples().back().mainHealth[0]);
    EXPECT_EQ(0, Stats().GetSamples().back().mainHealth[1]);
    EXPECT_EQ(1, Stats().GetStandingAtFall(2));
    EXPECT_EQ(0, Stats().GetLossesBy(2, CMatchStats::CAUSE_CUT_OFF));
    EXPECT_EQ(0, Stats().GetStandingAtFall(1));
    EXPECT_EQ(1, Stats().GetLossesBy(1, CMatchStats::CAUSE_CUT_OFF));

    // The board plays on behind the banner; the figures stay those of the match.
    Steps(200);
    ASSERT_NE(nullptr, World().BuildExtender(1, CVector2(258.0f, 315.0f), Main(1)));
    Steps(10);
    EXPECT_EQ(1, Stats().GetBuilt(1, KIND_EXTENDER));
    EXPECT_EQ(26000000, Stats().GetSpent(1, CMatchStats::SPEND_BUILDING));
    EXPECT_EQ(102 * 8000, Stats().GetSpent(1, CMatchStats::SPEND_RUNNING));
    EXPECT_EQ(3u, Stats().GetSamples().size());
    EXPECT_EQ(102, Stats().GetLastStep());
}

TEST_F(MatchStatsTest, WatchedMatchStopsUndecidedAtFifteenMinutes)
{
    StartIdleWatchedMatch();
    Steps(CGameWorld::WATCH_CAP_STEPS + 40);
    EXPECT_EQ(CGameWorld::WATCH_CAP_STEPS, World().m_matchSteps);
    EXPECT_TRUE(World().IsMatchOver());
    EXPECT_EQ(RESULT_UNDECIDED, World().m_result);
    EXPECT_TRUE(World().m_summaryOpen);
    // A sample for every second from 0 to 900, the last in the cap's own step.
    EXPECT_EQ(901u, Stats().GetSamples().size());
    EXPECT_EQ(CGameWorld::WATCH_CAP_STEPS, Stats().GetSamples().back().step);
    // Escape leaves it for the menu, where it cannot be resumed.
    World().OnKey(SDLK_ESCAPE, 0, true);
    EXPECT_EQ(STATE_MENU, World().m_state);
    EXPECT_FALSE(World().IsMenuRowEnabled(1, true));
}

TEST_F(MatchStatsTest, SummaryKeyWorksInEveryMatchButTheMenusDemo)
{
    struct Case
    {
        int menuRow; // -1: a watched match
        bool shows;
    };
    for (const Case& c : {Case{0, false}, Case{3, true}, Case{-1, true}})
    {
        if (c.menuRow < 0)
        {
            StartIdleWatchedMatch();
        }
        else
        {
            World().m_state = STATE_MENU;
            World().m_difficultyHover = c.menuRow;
            World().MenuSelect();
        }
        ASSERT_EQ(STATE_MATCH, World().m_state) << c.menuRow;
        EXPECT_EQ(c.shows, World().ShowsResult()) << c.menuRow;
        World().OnKey(SDLK_s, 0, true);
        EXPECT_EQ(c.shows, World().m_summaryOpen) << c.menuRow;
        World().OnKey(SDLK_s, 0, true);
        EXPECT_FALSE(World().m_summaryOpen) << c.menuRow;
    }
}

// What the screens tell of a match, where they once told it wrong: the aim's warning of an
// emitter burning itself, decay that counted the nodes fallen with their main node, an energy
// graph topped above the fullest stock, and a watched match's clock running on after its end.
TEST_F(MatchStatsTest, ScreensTellTheMatchAsItWent)
{
    StartIdleWatchedMatch();
    // Aimed west at green's main node from just inside and just outside the burning distance.
    const CVector2 main = Main(1)->GetPosition();
    const float rim = main.x + Main(1)->GetRadius() + CBeamNode::SELF_DAMAGE_DISTANCE;
    for (float dx : {-1.0f, 1.0f})
    {
        const CVector2 at(rim + dx, main.y);
        EXPECT_EQ(dx < 0.0f, World().AimBurnsEmitter(at, at - CVector2(50.0f, 0.0f))) << dx;
    }
    EXPECT_FALSE(World().AimBurnsEmitter(main + CVector2(60.0f, 0.0f), main + CVector2(200.0f, 0.0f)));

    World().GetTeam(1).AddEnergy(CTeam::ENERGY_MAX);
    CEntity* extender = World().BuildExtender(1, CVector2(158.0f, 215.0f), Main(1));
    ASSERT_NE(nullptr, extender);
    ASSERT_NE(nullptr, World().BuildExtractor(1, CVector2(128.0f, 165.0f), extender));
    ASSERT_NE(nullptr, World().BuildExtender(2, CVector2(688.0f, 315.0f), Main(2)));
    World().GetTeam(1).AddEnergy(CTeam::ENERGY_MAX);
    Steps(70);
    EXPECT_EQ(CTeam::ENERGY_MAX, Stats().GetSamples().back().energy[0]);
    EXPECT_FLOAT_EQ(static_cast<float>(CTeam::ENERGY_MAX) / ScreenMath::ENERGY_POINT,
                    CSummaryPanel::EnergyPlotTop());

    // Green's extractor decays after its cut; blue's extender falls with its main node.
    Destroy(extender);
    Destroy(Main(2));
    Steps(2);
    ASSERT_TRUE(World().IsDecided());
    EXPECT_GT(Stats().GetDamage(1, CMatchStats::CAUSE_CUT_OFF), 0);
    EXPECT_EQ(0, Stats().GetDamage(2, CMatchStats::CAUSE_CUT_OFF));
    const int end = World().ClockSteps();
    Steps(200);
    EXPECT_GT(World().m_matchSteps, end);
    EXPECT_EQ(end, World().ClockSteps());
}
