// One sprite image through the game's decoder and the content measure the atlas takes of it.
#include <SDL/SDL.h>

#include <cstdint>
#include <string>

#include "media/SpriteImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    // As a PNG or BMP by its signature, and as a TGA, which is known by its name only.
    for (const char* name : {"sprite.png", "sprite.tga"})
    {
        std::string why;
        if (SDL_Surface* image = DecodeSpriteImage(pData, pSize, name, why))
        {
            ContentRadius(image);
            SDL_FreeSurface(image);
        }
    }
    return 0;
}
