#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "arena/ArenaMatch.h"
#include "engine/GameEngine.h"
#include "nodes/NodeMedia.h"
#include "support/TestWindow.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

// The game started with -seed, "Demo" chosen from the menu with the mouse, played frame by
// frame with the real atlas: the very match the arena plays headless with stand-in sprites.
namespace
{
const unsigned SEED = 20261207;
const int STEPS = 7000; // long enough for fights, and so for sparks

CGameWorld& World()
{
    return TheWorld();
}

// Moves the mouse onto the first point whose menu row is pRow and presses there.
bool ClickMenuRow(int pRow, bool pMainMenu)
{
    for (int y = 0; y < 768; y += 4)
    {
        for (int x = 0; x < 1024; x += 8)
        {
            if (World().MenuRowAt(x, y, pMainMenu) != pRow)
                continue;
            SDL_Event e{};
            e.type = SDL_MOUSEMOTION;
            e.motion.x = static_cast<Uint16>(x);
            e.motion.y = static_cast<Uint16>(y);
            CGameEngine::Instance().HandleEvent(e);
            for (Uint8 type : {Uint8(SDL_MOUSEBUTTONDOWN), Uint8(SDL_MOUSEBUTTONUP)})
            {
                SDL_Event b{};
                b.type = type;
                b.button.button = SDL_BUTTON_LEFT;
                b.button.x = static_cast<Uint16>(x);
                b.button.y = static_cast<Uint16>(y);
                CGameEngine::Instance().HandleEvent(b);
            }
            return true;
        }
    }
    return false;
}

int WhitePixelsWhereTheDebugLabelStands()
{
    std::vector<unsigned char> rgba(4 * 400 * 20);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(420, 768 - 28, 400, 20, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int white = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        white += (rgba[i] > 200 && rgba[i + 1] > 200 && rgba[i + 2] > 200) ? 1 : 0;
    return white;
}
} // namespace

TEST(SeededDemoTest, DemoChosenInTheMenuReplaysTheArenasMatchAndTheOverlayShowsItsHash)
{
    CProgram::Instance();
    ASSERT_TRUE(OpenTestWindow()) << "needs an X display";
    CGameEngine& engine = CGameEngine::Instance();
    engine.Configure(DisplayConfig::Default());
    if (!LoadGameMedia())
        GTEST_SKIP() << "the game's media could not be loaded";

    // What the arena finds, headless, with stand-ins for the sprites.
    std::string error;
    ASSERT_TRUE(LoadStandInSprites("Data/resources.xml", error)) << error;
    ArenaMatchSetup setup;
    setup.seed = SEED;
    setup.capSteps = STEPS;
    std::vector<uint64_t> arena;
    ASSERT_EQ(WINNER_NONE,
              PlayArenaMatch(setup, [&](int, uint64_t pHash) { arena.push_back(pHash); }).winner);

    // The game: the real atlas, the command line, the menu, the frames.
    ForgetNodeSprites();
    std::vector<const char*> args = {"ampwarden", "-seed", "20261207", "-debug"};
    DisplayConfig config = DisplayConfig::Default();
    ASSERT_TRUE(ReadCommandLine(static_cast<int>(args.size()), const_cast<char**>(args.data()), config));
    CGameWorld& world = World();
    world.ClearMatch();
    world.NewMatch();
    world.m_state = STATE_MENU;
    world.m_menuHover = world.m_difficultyHover = -1;
    world.m_difficultyListOpen = false;
    ASSERT_TRUE(ClickMenuRow(0, true)); // "New Game" opens the difficulty list
    ASSERT_TRUE(world.m_difficultyListOpen);
    ASSERT_TRUE(ClickMenuRow(0, false)); // "Demo"
    ASSERT_EQ(STATE_MATCH, world.m_state);
    ASSERT_TRUE(world.m_demo);

    engine.BeginLoop(1000);
    unsigned now = 1000;
    bool sparks = false;
    for (int step = 1; step <= STEPS; ++step)
    {
        now += 16;
        // Every frame steps the world; drawing every one would only make the test slow.
        if (step % 250 == 0 || step == STEPS)
            engine.RunFrame(now);
        else
            world.Update(16);
        sparks = sparks || !world.GetEffects().empty();
        ASSERT_EQ(step, world.m_matchSteps);
        ASSERT_EQ(arena[step - 1], HashMatchState(world)) << "the game and the arena part at step " << step;
    }
    EXPECT_TRUE(sparks) << "the match should have thrown effects, or the sprites would not matter";

    // The debug overlay writes the step and the hash at the top, right of the tool icons;
    // without debug, nothing.
    EXPECT_GT(WhitePixelsWhereTheDebugLabelStands(), 200);
    world.m_debug = false;
    engine.RunFrame(now + 16);
    EXPECT_EQ(0, WhitePixelsWhereTheDebugLabelStands());

    world.ClearMatch();
    world.m_demo = false;
    world.m_hasMatchSeed = false;
    engine.RemoveOption("debug");
}
