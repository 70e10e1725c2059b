#include "media/SpriteImage.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include "engine/QuietStderr.h"
#include "media/MediaBudget.h"
#include <algorithm>
#include <cmath>

namespace
{
// The image library allocates whatever the header claims before it reads a pixel.
const long long MAX_SIDE = 16384;
const long long MAX_PIXELS = 16LL << 20;

} // namespace

bool CheckSpriteHeader(const unsigned char* pData, size_t pSize, const char* pPath, ImageHeader& pHeader,
                       std::string& pWhy)
{
    if (!ReadImageHeader(pData, pSize, pPath, pHeader, pWhy))
        return false;
    const long long width = pHeader.width;
    const long long height = pHeader.height;
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE || width * height > MAX_PIXELS)
    {
        pWhy =
            "an image of " + std::to_string(width) + " by " + std::to_string(height) + " pixels is no sprite";
        return false;
    }
    return ImageDataFits(pData, pSize, pHeader, pWhy);
}

std::string SpriteOverBudget(const ImageHeader& pHeader, int pMaxSide, size_t& pDecoded)
{
    // The page keeps a texel clear around every sprite.
    if (pHeader.width > pMaxSide - 2 || pHeader.height > pMaxSide - 2)
        return "does not fit in the atlas";
    pDecoded += static_cast<size_t>(pHeader.width * pHeader.height * 4);
    if (pDecoded > SPRITE_BYTES_LIMIT)
        return "takes the decoded sprites past their " + std::to_string(SPRITE_BYTES_LIMIT >> 20) + " MB";
    return std::string();
}

SDL_Surface* DecodeSpriteImage(const unsigned char* pData, size_t pSize, const char* pPath, std::string& pWhy)
{
    ImageHeader header;
    if (!CheckSpriteHeader(pData, pSize, pPath, header, pWhy))
        return nullptr;
    const ImageHeader::Format format = header.format;
    SDL_Surface* image = nullptr;
    {
        CQuietStderr quiet;
        SDL_RWops* source = SDL_RWFromConstMem(pData, static_cast<int>(pSize));
        image = format == ImageHeader::Format::PNG   ? IMG_LoadPNG_RW(source)
                : format == ImageHeader::Format::BMP ? IMG_LoadBMP_RW(source)
                                                     : IMG_LoadTGA_RW(source);
        SDL_RWclose(source);
    }
    if (!image)
        pWhy = IMG_GetError();
    return image;
}

float ContentRadius(SDL_Surface* pImage)
{
    const float cx = pImage->w * 0.5f;
    const float cy = pImage->h * 0.5f;
    const float whole = std::sqrt(cx * cx + cy * cy);
    const SDL_PixelFormat* format = pImage->format;
    if (format->BytesPerPixel != 4 || format->Amask == 0)
        return whole;
    float farthestSq = 0.0f;
    SDL_LockSurface(pImage);
    for (int y = 0; y < pImage->h; ++y)
    {
        const Uint32* row =
            reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(pImage->pixels) + y * pImage->pitch);
        for (int x = 0; x < pImage->w; ++x)
        {
            if ((row[x] & format->Amask) == 0)
                continue;
            const float dx = std::max(std::fabs(x - cx), std::fabs(x + 1 - cx));
            const float dy = std::max(std::fabs(y - cy), std::fabs(y + 1 - cy));
            farthestSq = std::max(farthestSq, dx * dx + dy * dy);
        }
    }
    SDL_UnlockSurface(pImage);
    return std::sqrt(farthestSq);
}
