#include <gtest/gtest.h>

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cstdlib>
#include <string>

#include "engine/GameEngine.h"
#include "media/Audio.h"

namespace
{

// Initialise against SDL's dummy devices: SDL and audio start, but the dummy video driver
// has no OpenGL, so the video mode is where start-up stops.
class EngineInitTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override
    {
        CGameEngine::Instance().Shutdown();
        unsetenv("SDL_VIDEODRIVER");
    }
};

TEST_F(EngineInitTest, AFailedStepKeepsWhatWasAcquiredUntilShutdown)
{
    CGameEngine& engine = CGameEngine::Instance();
    EXPECT_FALSE(engine.Initialise(DisplayConfig::Default()));
    EXPECT_EQ(engine.GetLastError().rfind("cannot set the video mode 1024x768x32", 0), 0u)
        << engine.GetLastError();
    EXPECT_TRUE(engine.m_SDLInitialized);
    EXPECT_TRUE(engine.m_SDLMixerInitialized);
    EXPECT_TRUE(engine.m_IconInitialized);
    EXPECT_TRUE(IsAudioOpen());
    char* caption = nullptr;
    SDL_WM_GetCaption(&caption, nullptr);
    ASSERT_NE(caption, nullptr);
    EXPECT_STREQ(caption, "Ampwarden");
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
    EXPECT_EQ(frequency, 44100);
    EXPECT_EQ(format, AUDIO_S16LSB);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(Mix_AllocateChannels(-1), 64);

    engine.Shutdown();
    EXPECT_FALSE(engine.m_SDLInitialized);
    EXPECT_FALSE(engine.m_SDLMixerInitialized);
    EXPECT_FALSE(engine.m_IconInitialized);
    EXPECT_FALSE(IsAudioOpen());
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);

    // Shut down, the engine may be started again; without an icon path no icon is loaded.
    DisplayConfig noIcon = DisplayConfig::Default();
    noIcon.iconPath.clear();
    noIcon.fullscreen = true;
    EXPECT_FALSE(engine.Initialise(noIcon));
    EXPECT_EQ(engine.GetLastError().rfind("cannot set the video mode 1024x768x32 full screen", 0), 0u)
        << engine.GetLastError();
    EXPECT_FALSE(engine.m_IconInitialized);
    EXPECT_TRUE(engine.m_SDLMixerInitialized);
}

TEST_F(EngineInitTest, ABadIconStopsBeforeTheWindow)
{
    CGameEngine& engine = CGameEngine::Instance();
    DisplayConfig config = DisplayConfig::Default();
    config.iconPath = "Data\\no_such_icon.bmp";
    EXPECT_FALSE(engine.Initialise(config));
    EXPECT_EQ(engine.GetLastError(), "cannot read the window icon Data/no_such_icon.bmp");
    EXPECT_TRUE(engine.m_SDLMixerInitialized);
    EXPECT_FALSE(engine.m_IconInitialized);
    EXPECT_EQ(SDL_GetVideoSurface(), nullptr);
}

TEST_F(EngineInitTest, NoVideoDeviceFailsAtTheStart)
{
    setenv("SDL_VIDEODRIVER", "no_such_driver", 1);
    CGameEngine& engine = CGameEngine::Instance();
    EXPECT_FALSE(engine.Initialise(DisplayConfig::Default()));
    EXPECT_EQ(engine.GetLastError().rfind("SDL could not start", 0), 0u) << engine.GetLastError();
    EXPECT_FALSE(engine.m_SDLInitialized);
    EXPECT_FALSE(engine.m_SDLMixerInitialized);
}

} // namespace
