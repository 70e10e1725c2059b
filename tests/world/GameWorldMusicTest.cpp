// The menu music through a real (dummy-driver) audio device: loaded on first need, looping,
// retried while the file cannot be read, and faded out when a match starts.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "media/Audio.h"
#include "world/GameWorld.h"

class MenuMusicTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_AUDIO)) << SDL_GetError();
        ASSERT_EQ(0, Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024)) << Mix_GetError();
        m_open = true;
        SetAudioOpen(true);
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        CGameWorld& world = World();
        world.ClearMatch();
        world.m_demo = false;
        world.NewMatch();
        world.m_state = STATE_MENU;
    }

    void TearDown() override
    {
        CGameWorld& world = World();
        Mix_HaltMusic();
        world.m_music.Free();
        world.m_musicRetryMs = 0;
        world.ClearMatch();
        SetAudioOpen(false);
        if (m_open)
            Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    static CGameWorld& World() { return TheWorld(); }

    bool m_open = false;
};

TEST_F(MenuMusicTest, TheMenuLoopsItsMusicAndStartingAMatchFadesItOut)
{
    CGameWorld& world = World();
    world.Update(16);
    ASSERT_NE(nullptr, world.m_music.Get()) << "Data/sounds/menu_music.ogg did not load: " << Mix_GetError();
    EXPECT_EQ(1, Mix_PlayingMusic());
    Mix_Music* loaded = world.m_music.Get();
    world.Update(16);
    EXPECT_EQ(loaded, world.m_music.Get()) << "the music is loaded once";

    world.m_difficultyHover = 4; // "Normal"
    world.MenuSelect();
    EXPECT_EQ(STATE_MATCH, world.m_state);
    EXPECT_EQ(MIX_FADING_OUT, Mix_FadingMusic());
}

TEST_F(MenuMusicTest, AMissingFileIsTriedAgainASecondLaterNotEveryStep)
{
    CGameWorld& world = World();
    char here[4096];
    ASSERT_NE(nullptr, getcwd(here, sizeof here));
    ASSERT_EQ(0, chdir("/"));
    world.Update(16);
    EXPECT_EQ(nullptr, world.m_music.Get());
    ASSERT_EQ(0, chdir(here));
    // Steps of 16 ms: the next try comes on the 63rd step after the failed one.
    for (int step = 1; step <= 62; ++step)
    {
        world.Update(16);
        ASSERT_EQ(nullptr, world.m_music.Get()) << "tried again after " << step << " steps";
    }
    world.Update(16);
    EXPECT_NE(nullptr, world.m_music.Get());
    EXPECT_EQ(1, Mix_PlayingMusic());
}
