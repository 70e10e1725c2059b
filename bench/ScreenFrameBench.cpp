// The menu's frame beside each screen opened from it (Play a Friend, Watch, Replays with a
// thousand files listed, Settings), drawn as the game draws them and finished by the GL. Needs an X display;
// under Xvfb this is Mesa's software renderer. Run from the repository root. And the listing of a folder of a
// thousand replays, which needs neither.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "app/Program.h"
#include "engine/GameEngine.h"
#include "replay/ReplayFormat.h"
#include "support/TestWindow.h"
#include "ui/MenuScreens.h"
#include "ui/ReplayList.h"
#include "world/GameWorld.h"

namespace
{
const int REPLAY_COUNT = 1000;

// The window and the media as the window tests open them; the screens read the window's size
// from the engine.
bool OpenWindow()
{
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    return OpenTestWindow() && LoadGameMedia();
}

// A data folder ($XDG_DATA_HOME) whose replays folder holds a thousand replays of a few
// hundred lines each, made once.
std::string g_dataFolder;

std::string DataFolder()
{
    std::string& base = g_dataFolder;
    if (!base.empty())
        return base;
    char name[] = "/tmp/aw_screen_bench.XXXXXX";
    base = mkdtemp(name);
    const std::string folder = base + "/ampwarden/replays";
    mkdir((base + "/ampwarden").c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    for (int i = 0; i < REPLAY_COUNT; ++i)
    {
        CReplayHeader header;
        header.program = "1.01";
        header.data = "0123456789abcdef";
        header.date = "2026-12-0" + std::to_string(1 + i % 9) + "T12:00:00Z";
        header.sides[1] = CReplaySide{true, static_cast<unsigned>(i % 5), ""};
        std::string text = FormatHeader(header);
        for (int step = 64; step <= 64 * 300; step += 64)
            text += FormatCheck(step, static_cast<uint64_t>(step) * 2654435761u);
        text += FormatEnd(64 * 300 + 5, i % 2 ? "green" : "blue", 7);
        std::ofstream(folder + "/" + std::to_string(i) + ".replay") << text;
    }
    return base;
}

void DrawFrames(benchmark::State& pState, int pScreen)
{
    if (!OpenWindow())
    {
        pState.SkipWithError("no GL window or media (set DISPLAY, run from the repository root)");
        return;
    }
    CGameWorld& world = TheWorld();
    world.m_state = STATE_MENU;
    CScreenStack& screens = CProgram::Instance().GetScreens();
    screens.Clear();
    if (pScreen >= 0)
        OpenMenuScreen(screens, pScreen);
    // As the engine draws: a screen covers the menu, which is then left out.
    for (auto _ : pState)
    {
        if (pScreen >= 0)
            screens.Draw();
        else
            world.Draw();
        glFinish();
    }
    screens.Clear();
    screens.OnFrame();
}

// The folder goes when the run ends.
struct CRemoveFolder
{
    ~CRemoveFolder()
    {
        if (!g_dataFolder.empty())
            (void)std::system(("rm -rf '" + g_dataFolder + "'").c_str());
    }
} g_removeFolder;

void BM_MenuFrame(benchmark::State& pState)
{
    DrawFrames(pState, -1);
}

void BM_ScreenFrame(benchmark::State& pState)
{
    if (pState.range(0) == SCREEN_REPLAYS)
        setenv("XDG_DATA_HOME", DataFolder().c_str(), 1);
    DrawFrames(pState, static_cast<int>(pState.range(0)));
}

void BM_ListReplays(benchmark::State& pState)
{
    const std::string folder = DataFolder() + "/ampwarden/replays";
    const CReplayExpect here{1, "0123456789abcdef"};
    size_t listed = 0;
    for (auto _ : pState)
        listed = ListReplays(folder, here).size();
    pState.counters["files"] = static_cast<double>(listed);
}
} // namespace

BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenFrame)
    ->Arg(SCREEN_FRIEND)
    ->Arg(SCREEN_WATCH)
    ->Arg(SCREEN_REPLAYS)
    ->Arg(SCREEN_SETTINGS)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListReplays)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
