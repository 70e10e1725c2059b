#include <gtest/gtest.h>

#include <vector>

#include "arena/ArenaMatch.h"
#include "engine/GameEngine.h"
#include "nodes/NodeMedia.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
class ArenaMatchTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        std::string error;
        ASSERT_TRUE(LoadStandInSprites("Data/resources.xml", error)) << error;
    }
    void TearDown() override
    {
        ForgetNodeSprites();
        World().ClearMatch();
        CGameWorld& world = World();
        world.m_keepEffects = true;
        world.m_hasMatchSeed = false;
        world.m_demo = world.m_demoUntilDecided = world.m_showsResult = false;
        world.m_capSteps = 0;
        world.m_demoLevels[0] = 2;
        world.m_demoLevels[1] = 100;
    }

    // The hash after every step of a match cut off at pSteps.
    static std::vector<uint64_t> Trail(unsigned pSeed, unsigned pGreen, unsigned pBlue, int pSteps)
    {
        ArenaMatchSetup setup;
        setup.seed = pSeed;
        setup.greenLevel = pGreen;
        setup.blueLevel = pBlue;
        setup.capSteps = pSteps;
        std::vector<uint64_t> trail;
        ArenaMatchResult result = PlayArenaMatch(setup, [&](int, uint64_t pHash) { trail.push_back(pHash); });
        EXPECT_EQ(result.hash, trail.back());
        return trail;
    }

    static CGameWorld& World() { return TheWorld(); }
};
} // namespace

TEST_F(ArenaMatchTest, SameSeedAndLevelsReplayStepForStepWhateverRanBefore)
{
    const std::vector<uint64_t> first = Trail(4242, 2, 3, 4000);
    ASSERT_EQ(4000u, first.size());
    // Other matches in between leave the registry's ids and the random cursor elsewhere.
    Trail(17, 0, 1, 1500);
    Trail(4243, 3, 3, 2500);
    EXPECT_EQ(first, Trail(4242, 2, 3, 4000));

    // Another seed, or the same seed with other levels, is another match.
    EXPECT_NE(first, Trail(4243, 2, 3, 4000));
    std::vector<uint64_t> otherLevels = Trail(4242, 0, 3, 4000);
    EXPECT_NE(first.back(), otherLevels.back());
}

TEST_F(ArenaMatchTest, MatchEndsWhenASideFallsAndCountsWhatEachSideBuilt)
{
    ArenaMatchSetup setup;
    setup.seed = 1;
    setup.greenLevel = 2;
    setup.blueLevel = 2;
    // The summary's counts, step by step: a loss or a build that a hook missed or counted twice
    // shows as a side whose standing nodes part from those it has on the board.
    int countsAstray = 0;
    int lost[3] = {};
    long long earned[3] = {};
    auto followCounts = [&](int, uint64_t)
    {
        const CMatchStats& stats = World().m_matchStats;
        int standing[3] = {};
        for (const CEntity* node : World().GetNodes())
            standing[node->GetTeam()] += NodeKindOf(node) < CMatchStats::KINDS ? 1 : 0;
        for (int team = 1; team <= 2; ++team)
        {
            countsAstray += stats.GetStanding(team) != standing[team];
            for (int tool = 0; tool < CTeam::m_nCooldowns; ++tool)
                countsAstray += stats.GetBuilt(team, tool) != World().GetTeam(team).GetBuilt(tool);
            lost[team] = stats.GetLostTotal(team);
            earned[team] = stats.GetEarnedTotal(team);
        }
    };
    ArenaMatchResult result = PlayArenaMatch(setup, followCounts);
    ASSERT_NE(WINNER_NONE, result.winner) << "seed 1 at Normal against Normal is decided well before the cap";
    EXPECT_EQ(0, countsAstray);
    const int loser = result.winner == WINNER_GREEN ? 2 : 1;
    EXPECT_GT(lost[loser], 1) << "the main node and the network it powered";
    for (int team = 1; team <= 2; ++team)
    {
        EXPECT_EQ(lost[team], result.lost[team]);
        EXPECT_EQ(earned[team], result.earned[team]);
        EXPECT_GT(result.earned[team], 0);
    }
    EXPECT_LT(result.steps, setup.capSteps);
    int built[3] = {};
    for (int team = 0; team < 3; ++team)
        for (int tool = 0; tool < CTeam::m_nCooldowns; ++tool)
            built[team] += result.built[team][tool];
    EXPECT_EQ(0, built[0]);
    EXPECT_GT(built[1], 10);
    EXPECT_GT(built[2], 10);
    // Every side that played built extractors on the sites.
    EXPECT_GT(result.built[1][TOOL_EXTRACTOR], 0);
    EXPECT_GT(result.built[2][TOOL_EXTRACTOR], 0);
    EXPECT_TRUE(World().GetNodes().empty()) << "the board is cleared after the match";

    // A cap of a few steps leaves the match undecided.
    setup.capSteps = 30;
    result = PlayArenaMatch(setup);
    EXPECT_EQ(WINNER_NONE, result.winner);
    EXPECT_EQ(30, result.steps);
}

TEST_F(ArenaMatchTest, HashSeesEveryPartOfTheState)
{
    ArenaMatchSetup setup;
    setup.seed = 9;
    StartArenaMatch(setup);
    for (int i = 0; i < 2000; ++i)
        World().RunMatchStep();
    const uint64_t before = HashMatchState(World());
    EXPECT_EQ(before, HashMatchState(World()));

    CEntity* node = World().m_nodes.back();
    const CVector2 at = node->GetPosition();
    struct Change
    {
        const char* what;
        std::function<void()> apply;
        std::function<void()> undo;
    };
    const Change changes[] = {
        {"position", [&] { node->SetPosition(at + CVector2(1.0f, 0.0f)); }, [&] { node->SetPosition(at); }},
        {"team", [&] { node->SetTeam(3 - node->GetTeam()); }, [&] { node->SetTeam(3 - node->GetTeam()); }},
        {"health", [&] { node->TakeDamage(1, at, DAMAGE_NONE, nullptr); }, nullptr},
        {"energy", [&] { World().GetTeam(1).AddEnergy(-1); }, nullptr},
        {"random cursor", [&] { RandomTable::GetInstance().Draw(); }, nullptr},
        {"node order", [&] { std::swap(World().m_nodes[0], World().m_nodes[1]); },
         [&] { std::swap(World().m_nodes[0], World().m_nodes[1]); }},
    };
    uint64_t last = before;
    for (const Change& change : changes)
    {
        change.apply();
        const uint64_t now = HashMatchState(World());
        EXPECT_NE(last, now) << change.what;
        if (change.undo)
        {
            change.undo();
            EXPECT_EQ(last, HashMatchState(World())) << change.what;
        }
        else
        {
            last = now;
        }
    }
    World().ClearMatch();
}
