// One sound effect file through the game's loader, with an open (dummy) audio device so the
// mixer decodes and converts it.
#include <cstdint>

#include "FuzzAudio.h"
#include "media/Sound.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OpenFuzzAudio();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    CSound sound;
    sound.LoadBytes(pData, pSize);
    return 0;
}
