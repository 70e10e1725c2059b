// One sprite image through the checks, the decoder and the content measure of the atlas, and
// onto an atlas page of its own, sized as the texture manager sizes it: a header that slips
// past the checks shows as an allocation over the fuzzer's memory limit.
#include <SDL/SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "media/MediaBudget.h"
#include "media/RectPacker.h"
#include "media/SpriteImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    // As a PNG or BMP by its signature, and as a TGA, which is known by its name only.
    for (const char* name : {"sprite.png", "sprite.tga"})
    {
        std::string why;
        ImageHeader header;
        size_t decoded = 0;
        if (!CheckSpriteHeader(pData, pSize, name, header, why) ||
            !SpriteOverBudget(header, ATLAS_SIDE_LIMIT, decoded).empty())
            continue;
        SDL_Surface* image = DecodeSpriteImage(pData, pSize, name, why);
        if (!image)
            continue;
        ContentRadius(image);
        PackRect rect;
        rect.w = image->w;
        rect.h = image->h;
        CRectPacker packer;
        packer.AddRect(&rect);
        packer.AddFreeSlot(FreeSlot{false, 1, 1, ATLAS_SIDE_LIMIT - 2, ATLAS_SIDE_LIMIT - 2});
        packer.Pack(1, 1);
        std::vector<uint32_t> page(static_cast<size_t>(packer.GetSize()) * packer.GetSize(), 0);
        SDL_FreeSurface(image);
    }
    return 0;
}
