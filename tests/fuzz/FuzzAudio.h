#pragma once

#include <cstdlib>

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

// Sounds decode only with an open device; the dummy driver gives one without hardware, in the
// format the game asks for.
inline void OpenFuzzAudio()
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 1024) != 0)
        std::abort();
}
