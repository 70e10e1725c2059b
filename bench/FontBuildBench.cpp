// Building the game's two fonts at start-up: every character of the face rasterised, packed
// and uploaded. Needs an X display for the GL context.
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>

#include "engine/GLWindowAttributes.h"
#include "media/TextureFont.h"

namespace
{
const char* const FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool OpenContext()
{
    static bool opened = false;
    if (opened)
        return true;
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return false;
    RequestGLWindowAttributes();
    opened = SDL_SetVideoMode(1024, 768, 32, SDL_OPENGL) != nullptr;
    return opened;
}

void BuildFont(benchmark::State& pState, float pSize)
{
    if (!OpenContext())
    {
        pState.SkipWithError("no GL context (set DISPLAY)");
        return;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
    {
        pState.SkipWithError("FreeType did not start");
        return;
    }
    unsigned side = 0;
    for (auto _ : pState)
    {
        CTextureFont font(FONT, pSize, &library);
        if (!font.IsValid())
        {
            pState.SkipWithError("font did not build");
            break;
        }
        side = font.GetPageSide();
        glFinish();
    }
    pState.counters["page_side"] = side;
    FT_Done_FreeType(library);
}

void BM_BuildMainFont(benchmark::State& pState)
{
    BuildFont(pState, 20.0f);
}

void BM_BuildHelpFont(benchmark::State& pState)
{
    BuildFont(pState, 13.0f);
}
} // namespace

BENCHMARK(BM_BuildMainFont)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BuildHelpFont)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
