#include <gtest/gtest.h>

#include <SDL/SDL.h>

#include "app/Program.h"
#include "engine/GameEngine.h"
#include "world/GameWorld.h"

namespace
{

class EngineEventTest : public ::testing::Test
{
  protected:
    // The tick clock only counts from SDL's start.
    // The program puts the world into the engine's loop.
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0);
        CProgram::Instance();
    }
    void TearDown() override
    {
        CGameEngine::Instance().Quit();
        SDL_Quit();
    }

    static SDL_Event Activity(Uint8 pState, bool pGain)
    {
        SDL_Event e{};
        e.type = SDL_ACTIVEEVENT;
        e.active.state = pState;
        e.active.gain = pGain ? 1 : 0;
        return e;
    }
};

TEST_F(EngineEventTest, MinimisingStopsFramesAndRestoringRestartsTheClock)
{
    CGameEngine& engine = CGameEngine::Instance();
    engine.BeginLoop(12345678u);
    engine.HandleEvent(Activity(SDL_APPACTIVE, true));
    ASSERT_TRUE(engine.IsActive());

    engine.BeginLoop(5u);
    engine.HandleEvent(Activity(SDL_APPACTIVE | SDL_APPINPUTFOCUS, false));
    EXPECT_FALSE(engine.IsActive());
    EXPECT_EQ(engine.GetLastTicks(), 5u);

    // Focus alone changes nothing.
    engine.HandleEvent(Activity(SDL_APPINPUTFOCUS | SDL_APPMOUSEFOCUS, true));
    EXPECT_FALSE(engine.IsActive());
    EXPECT_EQ(engine.GetLastTicks(), 5u);

    SDL_Delay(20);
    Uint32 before = SDL_GetTicks();
    engine.HandleEvent(Activity(SDL_APPACTIVE, true));
    Uint32 after = SDL_GetTicks();
    EXPECT_TRUE(engine.IsActive());
    // The minimised time is not handed to the world as one long frame.
    EXPECT_GE(engine.GetLastTicks(), before);
    EXPECT_LE(engine.GetLastTicks(), after);
    EXPECT_GE(before, 20u);
}

TEST_F(EngineEventTest, OnlyTheQuitEventEndsTheLoop)
{
    CGameEngine& engine = CGameEngine::Instance();
    engine.BeginLoop(0u);
    engine.HandleEvent(Activity(SDL_APPACTIVE, true));
    SDL_Event other{};
    for (Uint8 type :
         {Uint8(SDL_USEREVENT), Uint8(SDL_VIDEORESIZE), Uint8(SDL_VIDEOEXPOSE), Uint8(SDL_SYSWMEVENT)})
    {
        other.type = type;
        engine.HandleEvent(other);
    }
    EXPECT_TRUE(engine.IsRunning());
    EXPECT_TRUE(engine.IsActive());

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    engine.HandleEvent(quit);
    EXPECT_FALSE(engine.IsRunning());
}

} // namespace

namespace
{

// Input events reach the world with their key, button, pressed flag and position.
TEST_F(EngineEventTest, InputIsPassedToTheWorld)
{
    CGameEngine& engine = CGameEngine::Instance();
    engine.Configure(DisplayConfig::Default());
    CGameWorld& world = TheWorld();
    engine.BeginLoop(0u);

    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 100;
    e.motion.y = 700;
    engine.HandleEvent(e);
    EXPECT_EQ(world.m_mouseScreenX, 100);
    EXPECT_EQ(world.m_mouseScreenY, 68);

    // At the menu only a pressed Escape quits.
    world.m_state = STATE_MENU;
    e = SDL_Event{};
    e.type = SDL_KEYUP;
    e.key.keysym.sym = SDLK_ESCAPE;
    engine.HandleEvent(e);
    EXPECT_TRUE(engine.IsRunning());
    e.type = SDL_KEYDOWN;
    engine.HandleEvent(e);
    EXPECT_FALSE(engine.IsRunning());

    // In a match the right button drops the tool on its press, not on its release.
    world.m_state = STATE_MATCH;
    world.m_demo = false;
    world.m_selectedTool = TOOL_SHIELD;
    world.m_placeMode = PLACE_IDLE;
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 500;
    e.button.y = 400;
    engine.HandleEvent(e);
    EXPECT_EQ(world.m_selectedTool, TOOL_SHIELD);
    e.type = SDL_MOUSEBUTTONDOWN;
    engine.HandleEvent(e);
    EXPECT_EQ(world.m_selectedTool, TOOL_NONE);

    world.m_state = STATE_INTRO;
}

} // namespace
