// The menu music file through the game's loader, with an open (dummy) audio device.
#include <cstdint>
#include <vector>

#include "FuzzAudio.h"
#include "media/Music.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OpenFuzzAudio();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    CMusic music;
    music.LoadBytes(std::vector<unsigned char>(pData, pData + pSize));
    return 0;
}
