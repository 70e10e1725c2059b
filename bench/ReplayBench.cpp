// Verifying a replay: how many game seconds a second of one core checks, and how large the
// file is. The match is between two computer sides of the level given (two "Very Easy" sides
// rarely finish each other within the 15 minutes it lasts at most), with a build command
// handed in for green every two seconds, more than a person gives, so that the size is an
// upper bound. Run from the repository root.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "arena/ArenaMatch.h"
#include "engine/GameEngine.h"
#include "replay/ReplayReader.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayVerify.h"
#include "world/GameWorld.h"

namespace
{
const int FIFTEEN_MINUTES = 15 * 60 * 1000 / 16;
const int COMMAND_EVERY = 125;

// Records the match into a scratch folder and reads it back; the file's size in pSize.
CReplay RecordMatch(unsigned pLevel, size_t& pSize)
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    std::string error;
    if (!LoadStandInSprites("Data/resources.xml", error))
        std::fprintf(stderr, "%s\n", error.c_str());
    CGameWorld& world = TheWorld();
    CReplayRecorder recorder("/tmp/ampwarden-replay-bench");
    recorder.Attach(world);
    world.m_keepEffects = false;
    world.m_demoLevels[0] = world.m_demoLevels[1] = pLevel;
    world.SetMatchSeed(1);
    world.StartWatchedMatch();
    std::mt19937 pick(7);
    while (world.m_matchSteps < FIFTEEN_MINUTES && world.m_result == RESULT_UNDECIDED)
    {
        if (world.m_matchSteps % COMMAND_EVERY == 0)
        {
            const std::vector<CEntity*>& nodes = world.GetNodes();
            CEntity* source = nodes[pick() % nodes.size()];
            CMatchCommand command;
            command.step = world.m_matchSteps;
            command.team = 1;
            command.tool = static_cast<int>(pick() % 5);
            command.point = source->GetPosition() + CVector2(static_cast<float>(pick() % 121) - 60.0f,
                                                             static_cast<float>(pick() % 121) - 60.0f);
            command.point.x = std::min(std::max(command.point.x, 0.0f), 945.0f);
            command.point.y = std::min(std::max(command.point.y, 0.0f), 630.0f);
            command.aim = command.point;
            command.node = world.MatchIdOf(source);
            world.SubmitCommand(command);
        }
        world.RunMatchStep();
    }
    recorder.Detach(world);
    world.RemoveObserver(&recorder);
    world.ClearMatch();
    std::stringstream text;
    text << std::ifstream(recorder.GetPath()).rdbuf();
    pSize = text.str().size();
    std::remove(recorder.GetPath().c_str());
    CReplay replay;
    if (!ParseReplay(text.str(), CReplayExpect(), replay, error))
        std::fprintf(stderr, "%s\n", error.c_str());
    return replay;
}

void BM_VerifyFifteenMinuteReplay(benchmark::State& pState)
{
    static std::map<int64_t, std::pair<CReplay, size_t>> recorded;
    if (!recorded.count(pState.range(0)))
    {
        size_t size = 0;
        CReplay made = RecordMatch(static_cast<unsigned>(pState.range(0)), size);
        recorded[pState.range(0)] = {made, size};
    }
    const CReplay& replay = recorded[pState.range(0)].first;
    double gameSeconds = 0.0;
    for (auto _ : pState)
    {
        const CReplayCheck check = CheckReplay(replay);
        if (!check.agrees)
            pState.SkipWithError("the replay does not agree");
        gameSeconds += check.steps * 0.016;
    }
    pState.counters["game_s_per_s"] = benchmark::Counter(gameSeconds, benchmark::Counter::kIsRate);
    pState.counters["commands"] = static_cast<double>(replay.commands.size());
    pState.counters["steps"] = replay.endStep;
    pState.counters["file_bytes"] = static_cast<double>(recorded[pState.range(0)].second);
}
} // namespace

BENCHMARK(BM_VerifyFifteenMinuteReplay)->Arg(0)->Arg(2)->Arg(3)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
