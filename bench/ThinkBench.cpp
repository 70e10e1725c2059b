// The cost of one decision of the computer opponent on a busy board: a demo match played
// headless for a while, then the blue side's Think run again and again on that frozen board.
// Every cooldown is kept running, so each build the decision orders is refused and the
// board never changes; that is also the dearest path, since a refusal moves the decision on
// to the next search, and an extender refused at every candidate tries them all.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "ai/AIPlayer.h"
#include "arena/ArenaMatch.h"
#include "engine/GameEngine.h"
#include "nodes/NodeMedia.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

namespace
{
CGameWorld& World()
{
    return TheWorld();
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

// Stretches of seeded matches where the decisions have been slowest: long Normal and Hard
// matches where a beam search fails at every candidate twice a second because the target
// cannot be reached. Played untimed up to the first step, then every step that holds a
// decision is timed on its own. Each iteration replays the same stretch, and a step counts at
// its fastest replay, so a step the machine happened to preempt does not pass for a slow one
// (raw_worst_ms keeps the slowest single timing).
struct SlowStretch
{
    unsigned seed;
    unsigned green;
    unsigned blue;
    int firstStep;
    int lastStep;
};
const SlowStretch SLOW_STRETCHES[] = {
    {1059, 2, 3, 47000, 53000},
    {1049, 2, 2, 52000, 56000},
    {1046, 2, 2, 42000, 46000},
    // Early in a match, where the slowest decisions left are.
    {1046, 2, 2, 2000, 5000},
    // The Expert matches (against Normal and Hard) whose decisions were slowest, each step at
    // its fastest of five replays.
    {188, 4, 2, 5000, 9000},
    {51, 4, 3, 6000, 10000},
};

void TimeDecisionSteps(benchmark::State& pState, const SlowStretch& stretch)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    std::string error;
    if (!LoadStandInSprites("Data/resources.xml", error))
    {
        pState.SkipWithError(error.c_str());
        return;
    }
    ArenaMatchSetup setup;
    setup.seed = stretch.seed;
    setup.greenLevel = stretch.green;
    setup.blueLevel = stretch.blue;
    CGameWorld& world = World();
    std::vector<double> stepMs;
    double rawWorst = 0.0;
    size_t nodes = 0;
    for (auto _ : pState)
    {
        size_t decision = 0;
        pState.PauseTiming();
        StartArenaMatch(setup);
        while (world.m_matchSteps < stretch.firstStep && world.m_result == RESULT_UNDECIDED)
            world.RunMatchStep();
        pState.ResumeTiming();
        while (world.m_matchSteps < stretch.lastStep && world.m_result == RESULT_UNDECIDED)
        {
            const bool decides = world.m_thinkAccumulator + world.m_stepLength >= world.m_thinkPeriod;
            const auto start = std::chrono::steady_clock::now();
            world.RunMatchStep();
            const auto end = std::chrono::steady_clock::now();
            if (!decides)
                continue;
            const double ms = std::chrono::duration<double, std::milli>(end - start).count();
            rawWorst = std::max(rawWorst, ms);
            if (decision == stepMs.size())
                stepMs.push_back(ms);
            else
                stepMs[decision] = std::min(stepMs[decision], ms);
            ++decision;
        }
        nodes = world.m_nodes.size();
        world.ClearMatch();
    }
    if (stepMs.empty())
    {
        pState.SkipWithError("the match ended before the stretch");
        return;
    }
    std::sort(stepMs.begin(), stepMs.end());
    pState.counters["worst_ms"] = stepMs.back();
    pState.counters["median_ms"] = stepMs[stepMs.size() / 2];
    pState.counters["over_2ms"] =
        static_cast<double>(stepMs.end() - std::upper_bound(stepMs.begin(), stepMs.end(), 2.0));
    pState.counters["raw_worst_ms"] = rawWorst;
    pState.counters["decisions"] = static_cast<double>(stepMs.size());
    pState.counters["nodes"] = static_cast<double>(nodes);
    ForgetNodeSprites();
}

void BM_SlowDecisionSteps(benchmark::State& pState)
{
    TimeDecisionSteps(pState, SLOW_STRETCHES[pState.range(0)]);
}
BENCHMARK(BM_SlowDecisionSteps)->DenseRange(0, 5)->Iterations(3)->Unit(benchmark::kMillisecond);

// Every level past the first five, green against Hard and blue against Normal (seed 1), over
// their whole matches up to the 15-minute cap.
void BM_LevelDecisionSteps(benchmark::State& pState)
{
    const unsigned level = static_cast<unsigned>(pState.range(0));
    const bool green = pState.range(1) != 0;
    TimeDecisionSteps(pState, {1, green ? level : LEVEL_NORMAL, green ? LEVEL_HARD : level, 0, 56250});
}
BENCHMARK(BM_LevelDecisionSteps)
    ->ArgsProduct({benchmark::CreateDenseRange(5, LEVEL_COUNT - 1, 1), {1, 0}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
