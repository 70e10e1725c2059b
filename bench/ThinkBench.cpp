// The cost of one decision of the computer opponent on a busy board: a demo match played
// headless for a while, then the blue side's Think run again and again on that frozen board.
// Every cooldown is kept running, so each build the decision orders is refused and the
// board never changes; that is also the dearest path, since a refusal moves the decision on
// to the next search, and an extender refused at every candidate tries them all.
#include <benchmark/benchmark.h>

#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

namespace
{
CGameWorld& World()
{
    return CGameEngine::Instance().GetWorld();
}

// A demo match after the given number of steps.
void PlayDemo(int pSteps)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    RandomTable::GetInstance().FillFromSeed(31337);
    CGameWorld& world = World();
    world.ClearMatch();
    world.m_demo = true;
    world.NewMatch();
    world.m_state = STATE_MATCH;
    for (int i = 0; i < pSteps; ++i)
        world.Update(world.m_stepLength);
}

void BM_ThinkAllRefused(benchmark::State& pState)
{
    PlayDemo(static_cast<int>(pState.range(0)));
    CTeam& team = World().GetTeam(2);
    CAIPlayer* ai = team.GetAI();
    if (!ai || !team.GetMainNode())
    {
        pState.SkipWithError("the blue side fell before the board filled");
        return;
    }
    for (int slot = 0; slot < CTeam::m_nCooldowns; ++slot)
        team.StartCooldown(slot);
    team.AddEnergy(team.GetEnergyMax());
    ai->Upkeep();
    for (auto _ : pState)
    {
        ai->Think();
        benchmark::DoNotOptimize(ai->m_candidatePoints.data());
    }
    pState.counters["nodes"] = static_cast<double>(World().GetNodes().size());
    pState.counters["candidates"] = static_cast<double>(ai->m_candidatePoints.size());
}
BENCHMARK(BM_ThinkAllRefused)->Arg(1875)->Arg(5625)->Arg(9375)->Unit(benchmark::kMicrosecond);

// Whole demo seconds with both opponents deciding as they please.
void BM_DemoSecond(benchmark::State& pState)
{
    PlayDemo(0);
    for (auto _ : pState)
    {
        for (int i = 0; i < 63; ++i)
            World().Update(World().m_stepLength);
    }
    pState.counters["nodes"] = static_cast<double>(World().GetNodes().size());
}
BENCHMARK(BM_DemoSecond)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
