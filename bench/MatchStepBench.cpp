// The cost of one match step on a crowded board: green emitters firing at full strength into
// blue shields and absorbers, with chains of extenders filling the rest of the board. Every
// shield and absorber has one beam on it, so shields block and spark, absorbers earn and
// blast. Headless: no window, no computer players; a stand-in "Spark" sprite lets the
// effects pile up as they would in play.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "engine/GameEngine.h"
#include "media/Sprite.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/NodeMedia.h"
#include "nodes/RandomTable.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"

namespace
{
// A cell holds an emitter and its target, or a row of extenders. Cells are far enough apart
// that no blast reaches into a neighbouring cell, so nothing on the board ever dies.
const float CELL_WIDTH = 140.0f;
const float CELL_HEIGHT = 52.0f;
const int COLUMNS = 6;
const float TARGET_OFFSET = 90.0f; // beam length 80: beyond the self-damage distance
const int FILLERS_PER_CELL = 8;
const int WARM_UP_STEPS = 940;
const int REBUILD_EVERY = 4096;

CGameWorld& World()
{
    return TheWorld();
}

CVector2 CellOrigin(int pCell)
{
    return CVector2(20.0f + CELL_WIDTH * static_cast<float>(pCell % COLUMNS),
                    20.0f + CELL_HEIGHT * static_cast<float>(pCell / COLUMNS));
}

// Keeps the cells clear of the main nodes: an absorber's blast must not wear one down.
bool CellIsClear(int pCell)
{
    CVector2 origin = CellOrigin(pCell);
    for (int team = 1; team <= 2; ++team)
    {
        CVector2 centre = World().GetTeam(team).GetMainNode()->GetPosition();
        float nearestX = std::min(std::max(centre.x, origin.x - 10.0f), origin.x + CELL_WIDTH);
        if ((CVector2(nearestX, origin.y) - centre).LengthSq() < 100.0f * 100.0f)
            return false;
    }
    return true;
}

int NextClearCell(int pCell)
{
    while (!CellIsClear(pCell))
        ++pCell;
    return pCell;
}

template <class T> T* Put(T* pNode, int pTeam, const CVector2& pAt, CEntity* pParent)
{
    pNode->SetPosition(pAt);
    pNode->SetTeam(pTeam);
    pNode->SetParent(pParent);
    pParent->AddPowered(pNode);
    World().AddEntity(pNode);
    return pNode;
}

void TopUpEnergy()
{
    World().GetTeam(1).AddEnergy(CTeam::ENERGY_MAX);
    World().GetTeam(2).AddEnergy(CTeam::ENERGY_MAX);
}

// A fresh match with about pNodes nodes, two fifteenths of them weapons, warmed up.
size_t BuildBoard(int pNodes)
{
    CGameWorld& world = World();
    world.ClearMatch();
    world.m_demo = false;
    world.NewMatch();
    for (int t = 0; t < CTeam::MAX_TIDS; ++t)
        world.GetTeam(t).SetAI(false);
    world.m_state = STATE_MATCH;
    CEntity* green = world.GetTeam(1).GetMainNode();
    CEntity* blue = world.GetTeam(2).GetMainNode();

    const int pairs = pNodes * 40 / 300;
    int cell = 0;
    for (int i = 0; i < pairs; ++i, ++cell)
    {
        cell = NextClearCell(cell);
        CVector2 at = CellOrigin(cell);
        CBeamNode* beam = Put(new CBeamNode, 1, at, green);
        beam->SetAngle(0.0f);
        CVector2 targetAt = at + CVector2(TARGET_OFFSET, 0.0f);
        if (i % 2 == 0)
            Put(new CShieldNode, 2, targetAt, blue)->SetAngle(180.0f);
        else
            Put(new CAbsorberNode, 2, targetAt, blue);
    }

    // Extenders in chains, each powered by the one before it.
    int fillers = pNodes - static_cast<int>(world.m_nodes.size());
    CEntity* parent = nullptr;
    for (int i = 0; i < fillers; ++i)
    {
        if (i % FILLERS_PER_CELL == 0)
        {
            if (i > 0)
                ++cell;
            cell = NextClearCell(cell);
            parent = (cell % 2 == 0) ? green : blue;
        }
        CVector2 at =
            CellOrigin(cell) + CVector2(10.0f + 15.0f * static_cast<float>(i % FILLERS_PER_CELL), 0.0f);
        parent = Put(new CForkNode, parent->GetTeam(), at, parent);
    }

    for (int i = 0; i < WARM_UP_STEPS; ++i)
    {
        TopUpEnergy();
        world.RunMatchStep();
    }
    return world.m_nodes.size();
}

// Every emitter at full strength on its own target, every target busy.
bool BoardIsBusy()
{
    for (CEntity* node : World().m_nodes)
    {
        if (CBeamNode* beam = dynamic_cast<CBeamNode*>(node))
        {
            CEntity* target = beam->GetTarget();
            if (!beam->IsActive() || beam->GetWarmUp().GetValue() != CBeamNode::WARM_UP || !target ||
                target->GetTeam() != 2 || target->IsMainNode())
                return false;
        }
        else if (CShieldNode* shield = dynamic_cast<CShieldNode*>(node))
        {
            if (!shield->IsActive() || shield->GetEnergyFlow() != -500000)
                return false;
        }
        else if (CAbsorberNode* absorber = dynamic_cast<CAbsorberNode*>(node))
        {
            if (absorber->GetEnergyFlow() != 500000 || absorber->GetCurrentBlast() < 29.0f)
                return false;
        }
    }
    return true;
}

void BM_MatchStep(benchmark::State& pState)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    RandomTable::GetInstance().FillFromSeed(42);
    static CSprite spark(0.0f, 0.0f, 8.0f, 8.0f, 0, 256.0f, 256.0f);
    ForgetNodeSprites();
    OverrideNodeSprite("Spark", &spark);

    const int nodes = static_cast<int>(pState.range(0));
    size_t expected = BuildBoard(nodes);
    if (!BoardIsBusy())
    {
        pState.SkipWithError("the board did not come to its busy state");
        return;
    }
    int sinceBuild = 0;
    CGameWorld& world = World();
    for (auto _ : pState)
    {
        if (world.m_nodes.size() != expected || ++sinceBuild == REBUILD_EVERY)
        {
            pState.PauseTiming();
            expected = BuildBoard(nodes);
            sinceBuild = 0;
            pState.ResumeTiming();
        }
        TopUpEnergy();
        world.RunMatchStep();
    }
    if (!BoardIsBusy())
        pState.SkipWithError("the board lost its busy state while measured");
    pState.counters["nodes"] = static_cast<double>(world.m_nodes.size());
    pState.counters["effects"] = static_cast<double>(world.m_effects.size());
    world.ClearMatch();
    ForgetNodeSprites();
}
} // namespace

BENCHMARK(BM_MatchStep)->Arg(100)->Arg(300)->Arg(1000)->Arg(3000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
