#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/GameEngine.h"

namespace
{

// SDL without a display or a sound card, so the steps before the guarded one succeed.
void UseDummyDevices()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(EngineDeathTest, RunNeedsAStartedEngine)
{
    EXPECT_DEATH(CGameEngine::Instance().Run(), "Assertion failed: m_SDLInitialized, file GameEngine.cpp");
}

TEST(EngineDeathTest, EachResourceIsAcquiredOnce)
{
    EXPECT_DEATH(
        {
            CGameEngine::Instance().m_SDLInitialized = true;
            CGameEngine::Instance().Initialise(DisplayConfig::Default());
        },
        "Assertion failed: !m_SDLInitialized");
    EXPECT_DEATH(
        {
            UseDummyDevices();
            CGameEngine::Instance().m_SDLMixerInitialized = true;
            CGameEngine::Instance().Initialise(DisplayConfig::Default());
        },
        "Assertion failed: !m_SDLMixerInitialized");
    EXPECT_DEATH(
        {
            UseDummyDevices();
            CGameEngine::Instance().m_IconInitialized = true;
            CGameEngine::Instance().Initialise(DisplayConfig::Default());
        },
        "Assertion failed: !m_IconInitialized");
}

} // namespace
