#pragma once

// The audio device is opened by the engine; without it (headless tests) the music and
// channel controls below do nothing.
void SetAudioOpen(bool pOpen);
bool IsAudioOpen();

void HaltAllChannels();     // Mix_HaltChannel(-1)
void FadeOutMusic(int pMs); // Mix_FadeOutMusic
