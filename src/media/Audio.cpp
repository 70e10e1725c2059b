#include "media/Audio.h"

#include <SDL/SDL_mixer.h>

namespace
{
bool g_audioOpen = false;
}

void SetAudioOpen(bool pOpen)
{
    g_audioOpen = pOpen;
}

bool IsAudioOpen()
{
    return g_audioOpen;
}

void HaltAllChannels()
{
    if (g_audioOpen)
        Mix_HaltChannel(-1);
}

void FadeOutMusic(int pMs)
{
    if (g_audioOpen)
        Mix_FadeOutMusic(pMs);
}
