#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "ai/AIPlayer.h"
#include "ai/HazardFilter.h"
#include "arena/ArenaMatch.h"
#include "engine/GameEngine.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ForkNode.h"
#include "nodes/NodeMedia.h"
#include "nodes/ResourceNode.h"
#include "world/GameWorld.h"

// The indexed board queries against the plain list scans they replace, on boards from real
// matches and on contrived ones full of ties, shared borders and far-off nodes.

namespace
{
CGameWorld& World()
{
    return TheWorld();
}

// --- the list scans, as the queries were written before the index ---

CEntity* ScanOverlap(const CVector2& pPoint, float pRadius)
{
    for (CEntity* e : World().m_nodes)
    {
        if (!e->BlocksBeams())
            continue;
        float reach = e->GetRadius() + pRadius;
        if ((pPoint - e->GetPosition()).LengthSq() <= reach * reach)
            return e;
    }
    return nullptr;
}

std::vector<CEntity*> ScanRange(const CVector2& pPoint, float pRange)
{
    std::vector<CEntity*> found;
    for (CEntity* e : World().m_nodes)
    {
        float reach = e->GetRadius() + pRange;
        if (reach * reach >= (pPoint - e->GetPosition()).LengthSq())
            found.push_back(e);
    }
    return found;
}

CEntity* ScanBeam(const CVector2& pOrigin, const CVector2& pDir, float* pDistance)
{
    CEntity* best = nullptr;
    float bestT = 0.0f;
    float bestS = 0.0f;
    for (CEntity* e : World().m_nodes)
    {
        if (!e->BlocksBeams())
            continue;
        CVector2 v = e->GetPosition() - pOrigin;
        float t = v.Dot(pDir);
        if (t < 0.0f)
            continue;
        CVector2 q = v - pDir * t;
        float s = q.LengthSq();
        float r = e->GetRadius();
        if (r * r < s)
            continue;
        if (best && bestT <= t)
            continue;
        best = e;
        bestT = t;
        bestS = s;
    }
    *pDistance = best ? bestT - std::sqrt(best->GetRadius() * best->GetRadius() - bestS) : -1.0f;
    return best;
}

int ScanHitSum(const CVector2& pPoint, float pRadius, CEntity* pExcluded, int* pBeamOnly)
{
    int total = 0;
    *pBeamOnly = 0;
    for (CEntity* e : World().m_nodes)
    {
        int kind = DAMAGE_NONE;
        int damage = e->GetDamageAt(pPoint, pRadius, &kind, e == pExcluded ? -1 : 0);
        total += damage;
        if (kind == DAMAGE_BEAM)
            *pBeamOnly += damage;
    }
    return total;
}

// Every query at many points: random ones over and beyond the board, node centres, and points
// just off a node's rim; rays in random directions, along the axes, with no direction, and
// aimed at nodes the way the opponent aims them.
void ExpectSameAsScans(unsigned pSeed, const std::string& pBoard)
{
    std::mt19937 random(pSeed);
    std::uniform_real_distribution<float> x(-60.0f, World().GetBoardWidth() + 60.0f);
    std::uniform_real_distribution<float> y(-60.0f, World().GetBoardHeight() + 60.0f);
    std::uniform_real_distribution<float> angle(0.0f, 6.2831855f);
    const std::vector<CEntity*>& nodes = World().m_nodes;
    ASSERT_FALSE(nodes.empty());
    std::uniform_int_distribution<size_t> pick(0, nodes.size() - 1);
    const float radii[] = {0.0f, 5.0f, 12.0f, 30.0f, 95.0f};
    for (int i = 0; i < 4000; ++i)
    {
        SCOPED_TRACE(pBoard + " point " + std::to_string(i));
        CEntity* node = nodes[pick(random)];
        CVector2 p(x(random), y(random));
        if (i % 4 == 1)
            p = node->GetPosition();
        else if (i % 4 == 2)
            p = node->GetPosition() + CVector2(node->GetRadius() + static_cast<float>(i % 3), 0.0f);
        const float r = radii[i % 5];

        ASSERT_EQ(ScanOverlap(p, r), World().FindOverlap(p, r));
        std::vector<CEntity*> inRange;
        World().ForEachEntityInRange(p, r, [&](CEntity* pNode) { inRange.push_back(pNode); });
        ASSERT_EQ(ScanRange(p, r), inRange);

        const float a = angle(random);
        const CVector2 toNode = node->GetPosition() - p;
        const CVector2 dirs[] = {CVector2(std::cos(a), std::sin(a)), CVector2(1.0f, 0.0f),
                                 CVector2(0.0f, -1.0f), CVector2(0.0f, 0.0f),
                                 toNode * FastInvSqrt(toNode.LengthSq())};
        for (const CVector2& dir : dirs)
        {
            float expectedDistance = 0.0f;
            float distance = 0.0f;
            CEntity* expected = ScanBeam(p, dir, &expectedDistance);
            ASSERT_EQ(expected, World().TraceBeam(p, dir, &distance)) << dir.x << "," << dir.y;
            ASSERT_EQ(expectedDistance, distance);
            ASSERT_EQ(expected == node, World().IsFirstOnBeam(p, dir, node)) << dir.x << "," << dir.y;
        }

        CEntity* excluded = i % 2 ? node : nullptr;
        int expectedBeamOnly = 0;
        int beamOnly = -1;
        const int expectedSum = ScanHitSum(p, r, excluded, &expectedBeamOnly);
        ASSERT_EQ(expectedSum, CHazardFilter(r, excluded).HitSum(p, &beamOnly));
        ASSERT_EQ(expectedBeamOnly, beamOnly);
    }
}

class BoardIndexTest : public ::testing::Test
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
        World().ClearMatch();
        ForgetNodeSprites();
    }
};

TEST_F(BoardIndexTest, QueriesOnMatchBoardsAnswerAsTheListScans)
{
    // Boards as long Normal-against-Hard matches leave them, crowded and firing; each
    // checkpoint has had nodes built and destroyed since the last.
    ArenaMatchSetup setup;
    setup.seed = 1059;
    StartArenaMatch(setup);
    for (int checkpoint : {3000, 12000, 30000})
    {
        while (World().m_matchSteps < checkpoint)
            World().RunMatchStep();
        ExpectSameAsScans(static_cast<unsigned>(checkpoint), "step " + std::to_string(checkpoint));
    }
}

TEST_F(BoardIndexTest, TiesBordersAndFarNodesAnswerAsTheListScans)
{
    ArenaMatchSetup setup;
    StartArenaMatch(setup);
    CGameWorld& world = World();
    auto put = [&](CEntity* pNode, const CVector2& pAt)
    {
        pNode->SetPosition(pAt);
        pNode->SetTeam(1);
        world.AddEntity(pNode);
        return pNode;
    };
    // Two nodes on one spot (the first in the list wins a tie), rows on bucket borders and
    // along one line, a site under a node, emitters and absorbers, and nodes far off the board.
    for (int copy = 0; copy < 2; ++copy)
        put(new CForkNode, CVector2(320.0f, 64.0f));
    for (int i = 0; i < 12; ++i)
    {
        put(new CForkNode, CVector2(32.0f * static_cast<float>(i), 128.0f));
        put(new CForkNode, CVector2(64.0f, 160.0f + 32.0f * static_cast<float>(i)));
    }
    put(new CResourceNode, CVector2(500.0f, 500.0f));
    put(new CForkNode, CVector2(500.0f, 500.0f));
    static_cast<CBeamNode*>(put(new CBeamNode, CVector2(200.0f, 300.0f)))->SetAngle(0.0f);
    static_cast<CBeamNode*>(put(new CBeamNode, CVector2(700.0f, 100.0f)))->SetAngle(135.0f);
    put(new CAbsorberNode, CVector2(450.0f, 300.0f));
    put(new CForkNode, CVector2(6000.0f, -4000.0f));
    put(new CForkNode, CVector2(-3000.0f, 300.0f));
    for (int i = 0; i < 3; ++i)
        world.RunMatchStep();
    ExpectSameAsScans(7, "contrived");

    // The index follows removals: the last node moves into the hole.
    world.m_nodes[3]->Kill();
    world.m_nodes[world.m_nodes.size() / 2]->Kill();
    world.RunMatchStep();
    ExpectSameAsScans(8, "after removals");
}
} // namespace
