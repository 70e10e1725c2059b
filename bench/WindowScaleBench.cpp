// One frame of a watched match a minute in, and of the menu, drawn as the game draws them in
// windows of 1024x768 (the layout's own size) and 1920x1080 (scaled by 1.41 with bars beside)
// and finished by the GL: what a larger window costs. The window is opened and resized the way
// the game does it. Needs an X display large enough for the window; under Xvfb this is Mesa's
// software renderer. Run from the repository root.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include "app/Program.h"
#include "engine/GLWindowAttributes.h"
#include "engine/GameEngine.h"
#include "engine/WindowView.h"
#include "support/TestWindow.h"
#include "world/GameWorld.h"

namespace
{
CWindowView g_view;

bool OpenWindow(int pWidth, int pHeight)
{
    static bool started = false;
    static bool opened = false;
    const DisplayConfig config = DisplayConfig::Default();
    if (!started)
    {
        started = true;
        if (SDL_Init(SDL_INIT_VIDEO) < 0)
            return false;
        RequestGLWindowAttributes();
        g_view.ReadDisplaySize();
        CGameEngine::Instance().Configure(config);
        // The panels over the board are the program's match screen's.
        CProgram::Instance();
        opened = g_view.Open(config) && LoadGameMedia();
        if (opened)
        {
            // A minute of a computer-versus-computer match: both networks grown, beams firing.
            CGameWorld& world = TheWorld();
            world.SetMatchSeed(1);
            world.NewMatch();
            world.StartWatchedMatch();
            for (int step = 0; step < 60000 / 16; ++step)
                world.Update(16);
        }
    }
    return opened && g_view.Resize(pWidth, pHeight, config) != nullptr;
}

void DrawFrames(benchmark::State& pState, int pWorldState)
{
    const int w = static_cast<int>(pState.range(0));
    const int h = static_cast<int>(pState.range(1));
    if (!OpenWindow(w, h))
    {
        pState.SkipWithError("no GL window or media (set DISPLAY, run from the repository root)");
        return;
    }
    CGameWorld& world = TheWorld();
    const int was = world.m_state;
    world.m_state = pWorldState;
    for (auto _ : pState)
    {
        g_view.ClearBars();
        world.Draw();
        glFinish();
    }
    world.m_state = was;
    pState.counters["scale"] = g_view.GetTransform().GetScale();
}

void BM_ScaledMatchFrame(benchmark::State& pState)
{
    DrawFrames(pState, STATE_MATCH);
}

void BM_ScaledMenuFrame(benchmark::State& pState)
{
    DrawFrames(pState, STATE_MENU);
}
} // namespace

// The software renderer fills the pixels on threads of its own: CPU time is the whole process's.
BENCHMARK(BM_ScaledMatchFrame)
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaledMenuFrame)
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
