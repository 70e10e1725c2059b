#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/ShieldNode.h"
#include "world/WorldTestSupport.h"

namespace
{
// The player's main node stands at (158, 315) with a reach of 130; the site at (128, 465)
// lies beyond it.
class BuildTest : public WorldTest
{
  protected:
    static CTeam& Team(int pId) { return World().GetTeam(pId); }
    static CMainNode* Main(int pTeam) { return Team(pTeam).GetMainNode(); }
    static void SetEnergy(int pTeam, int pEnergy)
    {
        Team(pTeam).AddEnergy(-Team(pTeam).GetEnergy());
        Team(pTeam).AddEnergy(pEnergy);
    }
    static void ReadyAll(int pTeam) { Team(pTeam).TickCooldowns(100000); }
};
} // namespace

TEST_F(BuildTest, AnExtenderIsChargedLinkedAndAnnounced)
{
    size_t before = World().m_nodes.size();
    CEntity* node = World().BuildExtender(1, CVector2(240.4f, 315.6f), nullptr);
    ASSERT_NE(nullptr, node);
    EXPECT_NE(nullptr, dynamic_cast<CForkNode*>(node));
    ASSERT_EQ(before + 1, World().m_nodes.size());
    EXPECT_EQ(node, World().m_nodes.back());
    EXPECT_EQ(CVector2(240.0f, 316.0f), node->GetPosition());
    EXPECT_EQ(1, node->GetTeam());
    EXPECT_EQ(Main(1), node->GetParent()) << "the main node powers it when no source is given";
    EXPECT_EQ(CMainNode::MAX_POWERED - 1, Main(1)->GetFreeSlots());
    EXPECT_EQ(10000000 - 3000000, Team(1).GetEnergy());
    EXPECT_FLOAT_EQ(1.0f, Team(1).GetCooldownFraction(TOOL_EXTENDER));
    EXPECT_TRUE(Team(1).IsCooldownReady(TOOL_BEAM));
    EXPECT_EQ(Strings({"OnExtenderBuilt@2", "sound:BuildSuccess"}), m_log);
    EXPECT_EQ("", World().m_message);
}

TEST_F(BuildTest, RefusalsComeInTheirOrderAndCostNothing)
{
    struct Case
    {
        const char* what;
        CVector2 point;
        bool coolingDown;
        int energy;
        const char* message;
    };
    const CVector2 onMain(158.0f, 315.0f);
    const CVector2 outOfReach(470.0f, 315.0f);
    const CVector2 inReach(230.0f, 315.0f);
    const Case cases[] = {
        {"cooldown first", onMain, true, 0, "Not ready yet: 3 s"},
        {"then space", onMain, false, 0, "Location occupied"},
        {"then the source, silently", outOfReach, false, 0, ""},
        {"then energy", inReach, false, 9999999, "Insufficient energy"},
        {"then the site", inReach, false, 10000000, "Too far from resource"},
    };
    for (const Case& c : cases)
    {
        ReadyAll(1);
        if (c.coolingDown)
            Team(1).StartCooldown(TOOL_EXTRACTOR);
        SetEnergy(1, c.energy);
        World().m_message.clear();
        m_log.clear();
        size_t before = World().m_nodes.size();

        EXPECT_EQ(nullptr, World().BuildExtractor(1, c.point, nullptr)) << c.what;
        EXPECT_EQ(c.message, World().m_message) << c.what;
        EXPECT_EQ(c.energy, Team(1).GetEnergy()) << c.what;
        EXPECT_EQ(c.coolingDown, !Team(1).IsCooldownReady(TOOL_EXTRACTOR)) << c.what;
        if (c.coolingDown)
        {
            EXPECT_FLOAT_EQ(1.0f, Team(1).GetCooldownFraction(TOOL_EXTRACTOR)) << c.what;
        }
        EXPECT_EQ(before, World().m_nodes.size()) << c.what;
        EXPECT_TRUE(m_log.empty()) << c.what;
        EXPECT_EQ(CMainNode::MAX_POWERED, Main(1)->GetFreeSlots()) << c.what;
    }
}

// A watcher's board stays clear of green's refusals, and the next match is played again.
TEST_F(BuildTest, AWatchedMatchShowsNoRefusalsUntilItIsCleared)
{
    const CVector2 inReach(230.0f, 315.0f);
    for (bool watching : {true, false})
    {
        World().m_watchingOnly = true;
        if (!watching)
        {
            World().ClearMatch();
            World().NewMatch();
        }
        ReadyAll(1);
        SetEnergy(1, 0);
        World().m_message.clear();
        EXPECT_EQ(nullptr, World().BuildExtractor(1, inReach, nullptr));
        EXPECT_EQ(watching ? "" : "Insufficient energy", World().m_message) << watching;
    }
}

TEST_F(BuildTest, RefusedEverywhereOnlyWhenEveryPlaceWouldBeRefusedQuietly)
{
    struct Case
    {
        const char* what;
        int team;
        bool demo;
        bool coolingDown;
        int energy;
        bool refused;
    };
    const int cost = CForkNode::GetCost();
    const Case cases[] = {
        {"cooldown running", 2, false, true, 10000000, true},
        {"energy one short", 2, false, false, cost - 1, true},
        {"ready with exactly the cost", 2, false, false, cost, false},
        {"the player's refusal shows a message", 1, false, true, 10000000, false},
        {"but not in a demo", 1, true, true, 10000000, true},
    };
    for (const Case& c : cases)
    {
        ReadyAll(c.team);
        if (c.coolingDown)
            Team(c.team).StartCooldown(TOOL_EXTENDER);
        SetEnergy(c.team, c.energy);
        World().m_demo = c.demo;
        EXPECT_EQ(c.refused, World().IsRefusedEverywhere(c.team, TOOL_EXTENDER)) << c.what;
        // Next to the main node, where only the cooldown or the energy can refuse.
        const CVector2 nextToMain = Main(c.team)->GetPosition() + CVector2(70.0f, 0.0f);
        World().m_message.clear();
        const bool built = World().BuildExtender(c.team, nextToMain, nullptr) != nullptr;
        EXPECT_EQ(!c.coolingDown && c.energy >= cost, built) << c.what;
        if (c.refused)
        {
            EXPECT_EQ("", World().m_message) << c.what;
        }
    }
    World().m_demo = false;
}

TEST_F(BuildTest, AnExtractorWithExactlyItsCostTakesTheSite)
{
    CEntity* extender = World().BuildExtender(1, CVector2(150.0f, 400.0f), Main(1));
    ASSERT_NE(nullptr, extender);
    SetEnergy(1, 10000000);
    CEntity* site = World().FindResourceAt(CVector2(128.0f, 465.0f), 15.0f);
    ASSERT_NE(nullptr, site);
    m_log.clear();

    CEntity* node = World().BuildExtractor(1, CVector2(130.0f, 460.0f), nullptr);
    ASSERT_NE(nullptr, node);
    EXPECT_EQ(extender, node->GetParent()) << "the first source in list order that reaches";
    EXPECT_EQ(0, Team(1).GetEnergy());
    EXPECT_FALSE(site->IsAvailable());
    EXPECT_EQ(site, static_cast<CExtractorNode*>(node)->GetResource());
    EXPECT_EQ(Strings({"OnExtractorBuilt@2", "sound:BuildSuccess"}), m_log);
}

TEST_F(BuildTest, OnlyThePlayerOutsideTheDemoIsToldWhy)
{
    Team(2).StartCooldown(TOOL_EXTENDER);
    EXPECT_EQ(nullptr, World().BuildExtender(2, CVector2(700.0f, 315.0f), nullptr));
    SetEnergy(2, 0);
    ReadyAll(2);
    EXPECT_EQ(nullptr, World().BuildExtender(2, CVector2(700.0f, 315.0f), nullptr));
    EXPECT_EQ(nullptr, World().BuildExtender(2, CVector2(788.0f, 315.0f), nullptr));
    EXPECT_EQ("", World().m_message);

    World().m_demo = true;
    EXPECT_EQ(nullptr, World().BuildExtender(1, CVector2(158.0f, 315.0f), nullptr));
    EXPECT_EQ("", World().m_message);
    EXPECT_EQ(0, Count("sound:BuildFail"));

    // The opponent's successes sound like anyone's.
    World().m_demo = false;
    SetEnergy(2, 30000000);
    EXPECT_NE(nullptr, World().BuildExtender(2, CVector2(700.0f, 315.0f), nullptr));
    EXPECT_EQ(1, Count("sound:BuildSuccess"));
}

TEST_F(BuildTest, AnOwnSourceOutOfReachOrFullIsNamedAForeignOneRefusedWithoutAWord)
{
    SetEnergy(1, 30000000);
    EXPECT_EQ(nullptr, World().BuildExtender(1, CVector2(700.0f, 315.0f), Main(2)))
        << "another team's source";
    EXPECT_EQ("", World().m_message);
    CEntity* far = World().BuildExtender(1, CVector2(158.0f, 420.0f), Main(1));
    ASSERT_NE(nullptr, far);
    ReadyAll(1);
    EXPECT_EQ(nullptr, World().BuildExtender(1, CVector2(158.0f, 200.0f), far)) << "out of its reach";
    EXPECT_EQ("Too far from extender", World().m_message);

    // An extender with its three slots taken powers nothing more.
    for (int i = 0; i < 3; ++i)
    {
        ReadyAll(1);
        ASSERT_NE(nullptr, World().BuildShield(1, CVector2(120.0f + 40.0f * i, 470.0f), CVector2(0, 0), far))
            << i;
    }
    ReadyAll(1);
    EXPECT_EQ(nullptr, World().BuildExtender(1, CVector2(100.0f, 400.0f), far));
    EXPECT_EQ("Extender full: it powers 3 nodes already", World().m_message);
    EXPECT_FALSE(World().CanPlace(1, CVector2(100.0f, 400.0f), 8.0f, 0, far, true));
    EXPECT_TRUE(World().CanPlace(1, CVector2(100.0f, 400.0f), 8.0f, 0, far, false));
}

TEST_F(BuildTest, EmittersAndShieldsFaceTheirAimPoint)
{
    struct Case
    {
        CVector2 at;
        CVector2 aim;
        float degrees;
    };
    const Case cases[] = {
        {{250, 315}, {250, 415}, 90.0f}, {{220, 380}, {120, 380}, 180.0f}, {{220, 250}, {220, 150}, -90.0f},
        {{100, 380}, {200, 480}, 45.0f}, {{100, 250}, {0, 150}, 225.0f},   {{90, 315}, {80, 325}, 135.0f},
    };
    for (const Case& c : cases)
    {
        SetEnergy(1, 30000000);
        ReadyAll(1);
        CEntity* beam = World().BuildBeamEmitter(1, c.at, c.aim, Main(1));
        ASSERT_NE(nullptr, beam) << c.at.x << "," << c.at.y;
        EXPECT_NEAR(c.degrees, static_cast<CBeamNode*>(beam)->GetAngle(), 1e-3f);
    }
    ReadyAll(1);
    CEntity* shield = World().BuildShield(1, CVector2(158.0f, 220.0f), CVector2(258.0f, 120.0f), Main(1));
    ASSERT_NE(nullptr, shield);
    EXPECT_NEAR(-45.0f, static_cast<CShieldNode*>(shield)->GetAngle(), 1e-3f);

    // Aimed at its own spot, an emitter keeps the angle it was made with.
    SetEnergy(1, 30000000);
    ReadyAll(1);
    CBeamNode fresh;
    CEntity* beam = World().BuildBeamEmitter(1, CVector2(158.0f, 400.0f), CVector2(158.0f, 400.0f), nullptr);
    ASSERT_NE(nullptr, beam);
    EXPECT_EQ(fresh.GetAngle(), static_cast<CBeamNode*>(beam)->GetAngle());
}

TEST_F(BuildTest, EachKindIsAnnouncedToEveryOpponentInTeamOrder)
{
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        Team(id).SetAI(true);
    SetEnergy(1, 30000000);
    ASSERT_NE(nullptr,
              World().BuildBeamEmitter(1, CVector2(250.0f, 315.0f), CVector2(300.0f, 315.0f), nullptr));
    SetEnergy(1, 30000000);
    ASSERT_NE(nullptr, World().BuildShield(1, CVector2(158.0f, 400.0f), CVector2(158.0f, 500.0f), nullptr));
    ASSERT_NE(nullptr, World().BuildAbsorber(1, CVector2(158.0f, 230.0f), nullptr));
    EXPECT_EQ(Strings({"OnBeamBuilt@0", "OnBeamBuilt@1", "OnBeamBuilt@2", "sound:BuildSuccess",
                       "OnShieldBuilt@0", "OnShieldBuilt@1", "OnShieldBuilt@2", "sound:BuildSuccess",
                       "OnAbsorberBuilt@0", "OnAbsorberBuilt@1", "OnAbsorberBuilt@2", "sound:BuildSuccess"}),
              m_log);
    EXPECT_EQ(30000000 - 3000000 - 10000000, Team(1).GetEnergy());
    EXPECT_FALSE(Team(1).IsCooldownReady(TOOL_BEAM));
    EXPECT_FALSE(Team(1).IsCooldownReady(TOOL_SHIELD));
    EXPECT_FALSE(Team(1).IsCooldownReady(TOOL_ABSORBER));
    EXPECT_TRUE(Team(1).IsCooldownReady(TOOL_EXTENDER));
}

TEST_F(BuildTest, PlacementMayTouchTheEdgeButNotAnotherNode)
{
    CGameWorld& w = World();
    EXPECT_TRUE(w.CanPlace(1, CVector2(8.0f, 300.0f), 8.0f, 0, nullptr, false));
    EXPECT_TRUE(w.CanPlace(1, CVector2(937.0f, 622.0f), 8.0f, 0, nullptr, false));
    EXPECT_EQ("", w.m_message);
    EXPECT_FALSE(w.CanPlace(1, CVector2(7.9f, 300.0f), 8.0f, 0, nullptr, false));
    EXPECT_EQ("Too close to the edge", w.m_message);
    w.m_message.clear();
    EXPECT_FALSE(w.CanPlace(1, CVector2(196.0f, 315.0f), 8.0f, 0, nullptr, false))
        << "touching the main node";
    EXPECT_EQ("Location occupied", w.m_message);
    EXPECT_TRUE(w.CanPlace(1, CVector2(196.5f, 315.0f), 8.0f, 0, nullptr, false));
    EXPECT_TRUE(w.CanPlace(1, CVector2(128.0f, 465.0f), 8.0f, 0, nullptr, false)) << "sites do not block";
    EXPECT_TRUE(w.CanPlace(1, CVector2(288.0f, 315.0f), 8.0f, 0, Main(1), true)) << "exactly at the reach";
    EXPECT_FALSE(w.CanPlace(1, CVector2(288.5f, 315.0f), 8.0f, 0, Main(1), true));
}

TEST_F(BuildTest, BuildingForAnUnknownTeamEndsTheProgram)
{
    EXPECT_DEATH(World().BuildExtender(3, CVector2(100.0f, 100.0f), nullptr), "pTeam < CTeam::MAX_TIDS");
    EXPECT_DEATH(World().BuildShield(5, CVector2(100.0f, 100.0f), CVector2(0, 0), nullptr),
                 "pTeam < CTeam::MAX_TIDS");
}
