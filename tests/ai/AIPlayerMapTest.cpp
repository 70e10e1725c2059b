#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/MainNode.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

namespace
{
enum StubFlag
{
    ABSORBS = 1,
    NO_BLOCK = 2,
    MAIN = 4,
    DAMAGED = 8,
    POWERS = 16,
    FREE_SITE = 32,
    HALF_HEALTH = 64,
};

// A node with exactly the properties the scan reads.
class CStubNode : public CEntity
{
  public:
    CStubNode(int pTeam, float pWorth, int pFlags = 0) : m_flags(pFlags)
    {
        m_team = pTeam;
        m_worth = pWorth;
        m_absorbsBeams = pFlags & ABSORBS;
        m_blocksBeams = !(pFlags & NO_BLOCK);
        m_mainNode = pFlags & MAIN;
        m_damageTaken = (pFlags & DAMAGED) ? 1 : 0;
        m_health.Reset(100);
        m_health.SetValue((pFlags & HALF_HEALTH) ? 50 : 100);
    }
    void Draw() override {}
    bool CanPowerMore() const override { return m_flags & POWERS; }
    bool IsAvailable() const override { return m_flags & FREE_SITE; }
    int m_flags;
};

template <class T> bool Has(const std::vector<T*>& pList, const CEntity* pNode)
{
    return std::find(pList.begin(), pList.end(), pNode) != pList.end();
}

// A fresh match; blue's opponent is watched at every upkeep and kept from building by an
// empty purse.
class PowerMapTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        RandomTable::GetInstance().FillFromSeed(99);
        m_world.m_demo = false;
        m_world.ClearMatch();
        m_world.NewMatch();
        m_ai = m_world.GetTeam(2).GetAI();
        m_main = m_world.GetTeam(2).GetMainNode();
        SetAIObserver(
            [this](const char* pCall, const CAIPlayer* pPlayer, CEntity*)
            {
                if (pPlayer == m_ai && std::string(pCall) == "Upkeep" && !ListsHoldOnlyBoardNodes())
                    ++m_staleUpkeeps;
                if (pPlayer == m_ai && std::string(pCall) == "Think" && m_onThink)
                    m_onThink();
            });
    }

    void TearDown() override
    {
        SetAIObserver(nullptr);
        m_world.ClearMatch();
    }

    CEntity* Extender(float pX, float pY, CEntity* pSource)
    {
        m_world.GetTeam(2).AddEnergy(CTeam::ENERGY_MAX);
        m_world.GetTeam(2).TickCooldowns(10000);
        return m_world.BuildExtender(2, CVector2(pX, pY), pSource);
    }

    void Step()
    {
        m_world.GetTeam(2).AddEnergy(-m_world.GetTeam(2).GetEnergy());
        m_world.RunMatchStep();
    }

    // The provider lists are the ones that must drop a node whatever team it ended on.
    bool ListsHoldOnlyBoardNodes() const
    {
        std::vector<CEntity*> listed(m_ai->m_openProviders);
        listed.insert(listed.end(), m_ai->m_fullProviders.begin(), m_ai->m_fullProviders.end());
        return std::all_of(listed.begin(), listed.end(),
                           [&](CEntity* pNode) { return Has(m_world.GetNodes(), pNode); });
    }

    // Cells that do not name the nearest-reaching open provider.
    int WrongCells() const
    {
        int wrong = 0;
        for (int x = 0; x < m_ai->m_powerMapWidth; ++x)
        {
            for (int y = 0; y < m_ai->m_powerMapHeight; ++y)
            {
                const PowerCell& cell = m_ai->CellAt(x, y);
                float best = 1e9f;
                for (CEntity* p : m_ai->m_openProviders)
                    best = std::min(best, (m_ai->CellCentre(x, y) - p->GetPosition()).Length() -
                                              p->GetPowerRange());
                if (!Has(m_ai->m_openProviders, cell.node) || std::abs(cell.value - best) > 1e-3f)
                    ++wrong;
            }
        }
        return wrong;
    }

    CGameWorld& m_world = TheWorld();
    CAIPlayer* m_ai = nullptr;
    CEntity* m_main = nullptr;
    int m_staleUpkeeps = 0;
    std::function<void()> m_onThink;
};
} // namespace

TEST_F(PowerMapTest, GridCellsStampsAndTheSharedOutsideCell)
{
    CAIPlayer ai(&m_world.GetTeam(2));
    ASSERT_EQ(118, ai.m_powerMapWidth);
    ASSERT_EQ(78, ai.m_powerMapHeight);
    EXPECT_EQ(CVector2(8.0f, 8.0f), ai.CellCentre(0, 0));
    // Column 0 spans -4 < x < 12, every other column 8 pixels; rows likewise.
    EXPECT_EQ(&ai.CellAt(0, 5), &ai.CellAtPoint(CVector2(-3.9f, 48.0f)));
    EXPECT_EQ(&ai.CellAt(0, 5), &ai.CellAtPoint(CVector2(11.9f, 48.0f)));
    EXPECT_EQ(&ai.CellAt(1, 0), &ai.CellAtPoint(CVector2(12.0f, -3.9f)));
    EXPECT_EQ(&ai.CellAt(117, 77), &ai.CellAtPoint(CVector2(947.9f, 627.9f)));

    // Off the grid: one shared cell that stays empty whatever a caller wrote into it.
    PowerCell& outside = ai.CellAtPoint(CVector2(948.0f, 48.0f));
    outside = PowerCell{250.0f, m_main};
    for (const CVector2& p : {CVector2(-4.0f, 48.0f), CVector2(48.0f, 628.0f)})
    {
        EXPECT_EQ(&outside, &ai.CellAtPoint(p));
        EXPECT_EQ(nullptr, outside.node);
        EXPECT_EQ(0, CAIPlayer::Hops(outside));
    }
    const float values[] = {0.5f, 100.0f, 100.5f, -50.0f, -150.0f};
    const int hops[] = {1, 1, 2, 0, -1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(hops[i], CAIPlayer::Hops(PowerCell{values[i], nullptr})) << values[i];

    // Mirror images about the centre of cell (10, 10) at (88, 88): the first stamped keeps it.
    CStubNode a(2, 0.0f), b(2, 0.0f);
    a.SetPosition(CVector2(68.0f, 88.0f));
    b.SetPosition(CVector2(108.0f, 88.0f));
    ai.StampProvider(&a);
    ai.StampProvider(&b);
    EXPECT_EQ(&a, ai.CellAt(10, 10).node);
    EXPECT_EQ(&b, ai.CellAt(11, 10).node);
    EXPECT_FLOAT_EQ(20.0f, ai.CellAt(10, 10).value);
    ai.ClearProvider(&a);
    EXPECT_EQ(nullptr, ai.CellAt(0, 0).node);
    ai.m_openProviders = {&b};
    ai.RebuildPowerMap();
    EXPECT_FALSE(ai.m_powerMapDirty);
    EXPECT_EQ(&b, ai.CellAt(0, 0).node);
    EXPECT_NEAR(std::hypot(100.0f, 80.0f), ai.CellAt(0, 0).value, 1e-3f);
}

TEST_F(PowerMapTest, AFullExtenderLeavesTheMapAndReturnsWhenAChildGoes)
{
    ASSERT_EQ(m_main, m_ai->m_mainNode);
    EXPECT_EQ(0, WrongCells());
    CEntity* e = Extender(688, 315, m_main);
    CEntity* c1 = Extender(688, 395, e);
    CEntity* c2 = Extender(688, 235, e);
    CEntity* c3 = Extender(608, 315, e);
    ASSERT_TRUE(e && c1 && c2 && c3);
    EXPECT_FALSE(Has(m_ai->m_openProviders, e)) << "its last slot is taken";
    EXPECT_EQ(std::vector<CEntity*>({e}), m_ai->m_fullProviders);
    EXPECT_TRUE(m_ai->m_powerMapDirty);
    Step();
    EXPECT_EQ(0, WrongCells()) << "its cells are refilled from the others";

    c1->Kill();
    Step();
    EXPECT_TRUE(Has(m_ai->m_openProviders, e)) << "a freed slot brings it back";
    EXPECT_TRUE(m_ai->m_fullProviders.empty());
    EXPECT_EQ(0, WrongCells());

    // Full again; a child goes and the same step's decision refills the slot before the upkeep.
    ASSERT_NE(nullptr, Extender(640, 380, e));
    c2->Kill();
    CEntity* c4 = nullptr;
    m_onThink = [&]
    {
        c4 = Extender(740, 360, e);
        m_world.GetTeam(2).AddEnergy(-CTeam::ENERGY_MAX);
    };
    m_world.m_thinkAccumulator = m_world.m_thinkPeriod;
    Step();
    m_onThink = nullptr;
    ASSERT_NE(nullptr, c4);
    EXPECT_EQ(std::vector<CEntity*>({e}), m_ai->m_fullProviders) << "listed once";

    // The extender dies, and a child it cut off (grey by then) dies in the same step.
    e->Kill();
    EXPECT_EQ(0, c3->GetTeam());
    c3->Kill();
    Step();
    EXPECT_EQ(0, m_staleUpkeeps) << "no list may keep a deleted node";
    EXPECT_TRUE(m_ai->m_fullProviders.empty());
    EXPECT_EQ(std::vector<CEntity*>({m_main}), m_ai->m_openProviders) << "cut-off providers are purged";
    EXPECT_EQ(0, WrongCells());
}

TEST_F(PowerMapTest, SitesFollowTheirExtractorsAndAGreyUserIsNoticed)
{
    EXPECT_EQ(10u, m_ai->m_freeResources.size());
    CEntity* e = Extender(800, 400, m_main);
    ASSERT_NE(nullptr, e);
    m_world.GetTeam(2).AddEnergy(CTeam::ENERGY_MAX);
    CExtractorNode* x = static_cast<CExtractorNode*>(m_world.BuildExtractor(2, CVector2(818, 465), e));
    ASSERT_TRUE(x && x->GetResource());
    CEntity* site = x->GetResource();
    EXPECT_EQ(std::vector<CEntity*>({site}), m_ai->m_usedResources);
    EXPECT_FALSE(Has(m_ai->m_freeResources, site));
    EXPECT_EQ(1u, m_ai->m_extractorsBuilt);
    Step();
    EXPECT_FALSE(m_ai->m_greyUserSeen);

    e->Kill();
    ASSERT_TRUE(x->IsAlive() && x->GetTeam() == 0) << "cut off";
    Step();
    EXPECT_TRUE(m_ai->m_greyUserSeen);

    x->Kill();
    Step();
    EXPECT_FALSE(m_ai->m_greyUserSeen);
    EXPECT_TRUE(m_ai->m_usedResources.empty());
    EXPECT_TRUE(Has(m_ai->m_freeResources, site)) << "the site is free again";
    EXPECT_EQ(1u, m_ai->m_extractorsBuilt);

    // Sites never die in play; one taken off the board anyway must not stay listed.
    site->Kill();
    Step();
    EXPECT_FALSE(Has(m_ai->m_freeResources, site));
    EXPECT_EQ(9u, m_ai->m_freeResources.size());
}

TEST_F(PowerMapTest, ScanListsAndTargetChoice)
{
    m_world.ClearMatch();
    const struct
    {
        int team;
        float worth;
        int flags;
    } stubs[] = {{1, 501, FREE_SITE}, {1, 500, 0},        {2, -501, 0},      {2, -900, DAMAGED},
                 {1, 900, ABSORBS},   {1, 900, NO_BLOCK}, {1, 900, DAMAGED}, {0, 900, 0},
                 {2, 0, POWERS},      {1, 0, POWERS},     {0, 0, FREE_SITE}};
    std::vector<CEntity*> n;
    for (const auto& stub : stubs)
    {
        n.push_back(new CStubNode(stub.team, stub.worth, stub.flags));
        m_world.AddEntity(n.back());
    }
    m_ai->ScanBoard();
    const CScanResult& scan = m_ai->m_scan;
    EXPECT_EQ(2, scan.team);
    // Own nodes count as a loss, and only while nobody is hitting them already.
    EXPECT_EQ(std::vector<CEntity*>({n[0], n[2], n[6]}), scan.m_enemyList);
    EXPECT_EQ(std::vector<CEntity*>({n[8]}), scan.m_pwrSrcList);
    EXPECT_EQ(std::vector<CEntity*>({n[0], n[10]}), scan.m_resList);

    CStubNode healthy(1, 600.0f), wounded(1, 580.0f, HALF_HEALTH), tie(1, 605.0f), ownLoss(2, -590.0f);
    CStubNode main(1, 2000.0f, MAIN), ownGain(2, 3000.0f);
    CScanResult pick;
    pick.team = 2;
    pick.m_enemyList = {&healthy, &wounded, &tie, &ownLoss, &main, &ownGain};
    RandomTable::GetInstance().FillWith({16384}); // no jitter
    const int before = RandomTable::GetInstance().GetCursor();
    EXPECT_EQ(&main, pick.PickTarget(true));
    EXPECT_EQ(6, RandomTable::GetInstance().GetCursor() - before) << "one draw per node";
    EXPECT_EQ(&wounded, pick.PickTarget(false)) << "580 + 25 for half health; 605 does not beat it";
    pick.m_enemyList = {&ownGain};
    EXPECT_EQ(nullptr, pick.PickTarget(true));
    // The jitter spans -10 to +10: the first node draws the top, the second the bottom.
    CStubNode near(1, 619.0f), far(1, 621.0f);
    for (CStubNode* second : {&near, &far})
    {
        RandomTable::GetInstance().FillWith({0, 32767});
        pick.m_enemyList = {&healthy, second};
        EXPECT_EQ(second == &far ? second : &healthy, pick.PickTarget(false)) << second->GetWorth();
    }
}

TEST(PowerMapDeathTest, CellAndListAccessIsChecked)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    CAIPlayer ai(&TheWorld().GetTeam(2));
    EXPECT_DEATH(ai.CellAt(-1, 0), "pX >= 0");
    EXPECT_DEATH(ai.CellAt(0, -1), "pY >= 0");
    EXPECT_DEATH(ai.CellAt(118, 0), "pX < m_powerMapWidth");
    EXPECT_DEATH(ai.CellAt(0, 78), "pY < m_powerMapHeight");
    EXPECT_DEATH(ai.InitPowerMap(), "!m_powerMap");
    EXPECT_DEATH(
        {
            ai.m_powerMap = nullptr;
            ai.CellAt(0, 0);
        },
        "m_powerMap");
    EXPECT_DEATH(ai.m_scan.GetEnemy(0), "pResultNum < m_enemyList.size\\(\\)");
    EXPECT_DEATH(ai.m_scan.GetResource(0), "pResultNum < m_resList.size\\(\\)");
    EXPECT_DEATH(ai.m_scan.GetPowerSource(0), "pResultNum < m_pwrSrcList.size\\(\\)");
}
