// One sprite image through the game's decoder and the content measure the atlas takes of it.
#include <SDL/SDL.h>

#include <cstdint>
#include <string>

#include "media/SpriteImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    std::string why;
    if (SDL_Surface* image = DecodeSpriteImage(pData, pSize, why))
    {
        ContentRadius(image);
        SDL_FreeSurface(image);
    }
    return 0;
}
