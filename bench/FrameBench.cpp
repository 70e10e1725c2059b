// One whole frame of the game screen on a crowded board: about 300 nodes of every kind with
// their links, beams and effects, the HUD on top, finished by the GL; and the board of a long
// match with and without its summary panel. Needs an X display;
// with Mesa's software renderer under Xvfb this is what a player's machine without a GPU does.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include "app/Program.h"
#include "engine/GLWindowAttributes.h"
#include "engine/GameEngine.h"
#include "engine/ResourceCatalogue.h"
#include "media/FontManager.h"
#include "media/TextureManager.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/RandomTable.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"

namespace
{
bool OpenWindow()
{
    static bool tried = false;
    static bool opened = false;
    if (tried)
        return opened;
    tried = true;
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
    {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        return false;
    }
    RequestGLWindowAttributes();
    if (SDL_SetVideoMode(1024, 768, 32, SDL_OPENGL) == nullptr)
    {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        return false;
    }
    glViewport(0, 0, 1024, 768);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1024, 0, 768, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    CGameEngine::Instance().Configure(DisplayConfig::Default());
    // The panels over the board are the program's match screen's.
    CProgram::Instance();
    CatalogueLoaders loaders;
    loaders.sprites = [](TiXmlElement* pSection, std::string&)
    { return CTextureManager::GetInstance()->Load(pSection); };
    loaders.sounds = [](TiXmlElement*, std::string&) { return true; };
    loaders.fonts = [](TiXmlElement* pSection, std::string&)
    { return CFontManager::GetInstance()->Load(pSection); };
    CatalogueResult loaded = LoadCatalogueFile(RESOURCE_CATALOGUE, loaders);
    if (!loaded.ok)
        std::fprintf(stderr, "%s\n", loaded.error.c_str());
    opened = loaded.ok;
    return opened;
}

// With AW_FRAME_SHOT set to a folder, the last frame drawn is written there as a PPM image,
// so what is being timed can be looked at.
void SaveFrameIfAsked(const char* pName)
{
    const char* folder = std::getenv("AW_FRAME_SHOT");
    if (folder == nullptr)
        return;
    const int w = 1024, h = 768;
    std::vector<unsigned char> pixels(w * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::string path = std::string(folder) + "/" + pName + ".ppm";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return;
    std::fprintf(file, "P6 %d %d 255\n", w, h);
    for (int y = h - 1; y >= 0; --y)
        std::fwrite(&pixels[y * w * 3], 1, w * 3, file);
    std::fclose(file);
}

CEntity* MakeNode(int pKind)
{
    switch (pKind)
    {
    case 0:
        return new CForkNode();
    case 1:
        return new CBeamNode();
    case 2:
        return new CShieldNode();
    case 3:
        return new CAbsorberNode();
    default:
        return new CExtractorNode();
    }
}

// Fills the board with a grid of nodes, each side's half powered from its own main node,
// beams and shields facing the other side, then runs a few steps so beams and sparks exist.
int CrowdBoard(CGameWorld& pWorld)
{
    RandomTable::GetInstance().FillFromSeed(7);
    pWorld.ClearMatch();
    pWorld.m_demo = false;
    pWorld.NewMatch();
    pWorld.m_state = STATE_MATCH;
    // Grid points of each half, nearest to that side's main node first, so every node can
    // hang off a nearby extender (or the main node) as it would in play.
    std::vector<CVector2> points;
    for (float y = 20.0f; y < 630.0f; y += 42.0f)
        for (float x = 20.0f; x < 945.0f; x += 42.0f)
            if (pWorld.IsFree(CVector2(x, y), 16.0f))
                points.push_back(CVector2(x, y));
    auto mainOf = [&](const CVector2& p) { return pWorld.GetTeam(p.x < 472.5f ? 1 : 2).GetMainNode(); };
    std::sort(
        points.begin(), points.end(),
        [&](const CVector2& a, const CVector2& b)
        { return (a - mainOf(a)->GetPosition()).LengthSq() < (b - mainOf(b)->GetPosition()).LengthSq(); });
    std::vector<CEntity*> sources[3];
    int kind = 0;
    for (const CVector2& at : points)
    {
        int team = at.x < 472.5f ? 1 : 2;
        CEntity* parent = mainOf(at);
        for (CEntity* s : sources[team])
            if ((s->GetPosition() - at).LengthSq() < (parent->GetPosition() - at).LengthSq())
                parent = s;
        CEntity* node = MakeNode(kind++ % 5);
        node->SetPosition(at);
        node->SetTeam(team);
        float facing = team == 1 ? 0.0f : 180.0f;
        if (CBeamNode* beam = dynamic_cast<CBeamNode*>(node))
            beam->SetAngle(facing + (kind % 7) * 3.0f);
        if (CShieldNode* shield = dynamic_cast<CShieldNode*>(node))
            shield->SetAngle(180.0f - facing);
        node->SetParent(parent);
        parent->AddPowered(node);
        if (dynamic_cast<CForkNode*>(node) != nullptr)
            sources[team].push_back(node);
        pWorld.AddEntity(node);
    }
    for (int team = 1; team <= 2; ++team)
        pWorld.GetTeam(team).AddEnergy(CTeam::ENERGY_MAX);
    for (int i = 0; i < 20; ++i)
        pWorld.Update(16);
    return static_cast<int>(pWorld.GetNodes().size());
}

void RunFrames(benchmark::State& pState, bool pPlacing)
{
    if (!OpenWindow())
    {
        pState.SkipWithError("no GL window or media (set DISPLAY, run from the repository root)");
        return;
    }
    CGameWorld& world = TheWorld();
    int nodes = CrowdBoard(world);
    // The mouse over a green node, so the readout is drawn too.
    world.m_mouseBoard = world.GetNodes().back()->GetPosition();
    if (pPlacing)
        world.m_selectedTool = TOOL_EXTENDER;
    for (auto _ : pState)
    {
        world.Draw();
        glFinish();
    }
    SaveFrameIfAsked(pPlacing ? "placing" : "match");
    pState.counters["nodes"] = nodes;
    pState.counters["effects"] = static_cast<double>(world.GetEffects().size());
}

void BM_MatchFrame(benchmark::State& pState)
{
    RunFrames(pState, false);
}

// With a tool selected every green power source also shows its reach.
void BM_MatchFramePlacing(benchmark::State& pState)
{
    RunFrames(pState, true);
}

// A long computer match under its summary: the arena's seed 1100, "Very Easy" against "Very
// Easy", stands undecided until a watched match's 15-minute cap, so the graph's four series
// have their full 901 points. Played once; effects are not kept, so the board shows none.
bool PlayLongMatch(CGameWorld& pWorld)
{
    const size_t fullSeries = 15 * 60 + 1;
    if (pWorld.m_demoUntilDecided && pWorld.IsMatchOver())
        return pWorld.m_matchStats.GetSamples().size() == fullSeries;
    pWorld.ClearMatch();
    pWorld.SetMatchSeed(1100);
    pWorld.m_demoLevels[0] = 0;
    pWorld.m_demoLevels[1] = 0;
    pWorld.m_keepEffects = false;
    pWorld.StartWatchedMatch();
    while (!pWorld.IsMatchOver() && pWorld.m_result == RESULT_UNDECIDED)
        pWorld.Update(16);
    pWorld.m_keepEffects = true;
    return pWorld.m_matchStats.GetSamples().size() == fullSeries;
}

void RunLongMatchFrames(benchmark::State& pState, bool pSummary)
{
    if (!OpenWindow())
    {
        pState.SkipWithError("no GL window or media (set DISPLAY, run from the repository root)");
        return;
    }
    CGameWorld& world = TheWorld();
    if (!PlayLongMatch(world))
    {
        pState.SkipWithError("seed 1100 no longer plays to the cap");
        return;
    }
    world.m_summaryOpen = pSummary;
    for (auto _ : pState)
    {
        world.Draw();
        glFinish();
    }
    SaveFrameIfAsked(pSummary ? "summary" : "long_match");
    pState.counters["nodes"] = static_cast<double>(world.GetNodes().size());
    pState.counters["samples"] = static_cast<double>(world.m_matchStats.GetSamples().size());
}

// The board of a 15-minute match with its banner, and the same with the summary panel open.
void BM_LongMatchFrame(benchmark::State& pState)
{
    RunLongMatchFrames(pState, false);
}

void BM_LongMatchFrameSummary(benchmark::State& pState)
{
    RunLongMatchFrames(pState, true);
}

void BM_MenuFrame(benchmark::State& pState)
{
    if (!OpenWindow())
    {
        pState.SkipWithError("no GL window or media (set DISPLAY, run from the repository root)");
        return;
    }
    CGameWorld& world = TheWorld();
    world.m_state = STATE_MENU;
    world.m_difficultyListOpen = true;
    for (auto _ : pState)
    {
        world.Draw();
        glFinish();
    }
}
} // namespace

BENCHMARK(BM_MatchFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchFramePlacing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongMatchFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongMatchFrameSummary)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
