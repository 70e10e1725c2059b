// How long the game takes from start-up to its first frame on screen: SDL, the window, the
// audio device, the icon, and the catalogue (sprite atlas, sounds, fonts). Needs an X display;
// run it from the repository root (or below it) with SDL_AUDIODRIVER=dummy.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "app/Program.h"
#include "engine/GameEngine.h"
#include "world/GameWorld.h"

namespace
{

// The game reads its data relative to the working directory: find the folder that holds it.
bool FindGameFolder()
{
    for (int up = 0; up < 4; ++up)
    {
        struct stat info;
        if (stat("Data/resources.xml", &info) == 0)
            return true;
        if (chdir("..") != 0)
            return false;
    }
    return false;
}

bool Start(benchmark::State& pState)
{
    CGameEngine& engine = CGameEngine::Instance();
    if (engine.Initialise(DisplayConfig::Default()))
        return true;
    pState.SkipWithError(engine.GetLastError().c_str());
    engine.Shutdown();
    return false;
}

// Start-up and shutdown, repeated; the world is not touched.
void BM_InitialiseAndShutdown(benchmark::State& pState)
{
    for (auto _ : pState)
    {
        if (!Start(pState))
            break;
        CGameEngine::Instance().Shutdown();
    }
}

// Start-up to the first frame swapped, once: the world keeps sprite pointers from then on.
void BM_StartupToFirstFrame(benchmark::State& pState)
{
    CProgram::Instance();
    CGameEngine& engine = CGameEngine::Instance();
    for (auto _ : pState)
    {
        if (!Start(pState))
            break;
        engine.BeginLoop(SDL_GetTicks());
        TheWorld().NewMatch();
        engine.RunFrame(SDL_GetTicks() + 16);
        glFinish();
    }
}

BENCHMARK(BM_InitialiseAndShutdown)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (!FindGameFolder())
    {
        std::fprintf(stderr, "StartupBench: run it from the game's folder (Data/resources.xml not found)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
