#include "media/SpriteImage.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include <strings.h>

#include "engine/QuietStderr.h"

namespace
{
// The image library allocates whatever the header claims before it reads a pixel.
const long long MAX_SIDE = 16384;
const long long MAX_PIXELS = 16LL << 20;

long long ReadBig32(const unsigned char* p)
{
    return (long long)p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

long long ReadLittle(const unsigned char* p, int pBytes)
{
    long long value = 0;
    for (int i = pBytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    // Signed: a BMP stores top-down images with a negative height.
    const long long half = 1LL << (8 * pBytes - 1);
    return value >= half ? value - 2 * half : value;
}

enum class Format
{
    NONE,
    PNG,
    BMP,
    TGA
};

Format FormatOf(const unsigned char* pData, size_t pSize, const char* pPath)
{
    static const unsigned char PNG[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (pSize >= sizeof PNG && std::memcmp(pData, PNG, sizeof PNG) == 0)
        return Format::PNG;
    if (pSize >= 2 && pData[0] == 'B' && pData[1] == 'M')
        return Format::BMP;
    // A TGA has no signature: it is known by its name, as the image library does.
    const size_t length = std::strlen(pPath);
    if (length >= 4 && strcasecmp(pPath + length - 4, ".tga") == 0)
        return Format::TGA;
    return Format::NONE;
}

// True when every chunk up to the closing IEND lies within the file. The image library does
// not stop at the end of the bytes it is given: a chunk claiming hundreds of megabytes kept
// the decoder spinning for many seconds over data that is not there.
bool PngChunksFit(const unsigned char* pData, size_t pSize)
{
    size_t at = 8;
    while (pSize - at >= 12)
    {
        const long long length = ReadBig32(pData + at);
        if (length > static_cast<long long>(pSize - at - 12))
            return false;
        if (std::memcmp(pData + at + 4, "IEND", 4) == 0)
            return true;
        at += 12 + static_cast<size_t>(length);
    }
    return false;
}

// The size the header claims; false when the file is too short to hold it (the library would
// read the sides from past the end).
bool ClaimedSize(const unsigned char* pData, size_t pSize, Format pFormat, long long& pWidth,
                 long long& pHeight)
{
    pWidth = pHeight = 0;
    if (pFormat == Format::PNG && pSize >= 24)
    {
        pWidth = ReadBig32(pData + 16);
        pHeight = ReadBig32(pData + 20);
    }
    else if (pFormat == Format::TGA && pSize >= 18)
    {
        pWidth = pData[12] | pData[13] << 8;
        pHeight = pData[14] | pData[15] << 8;
    }
    else if (pFormat == Format::BMP && pSize >= 26)
    {
        // The old OS/2 header has unsigned 16-bit sides; the others signed 32-bit ones, with
        // a negative height for rows stored top first.
        if (ReadLittle(pData + 14, 4) == 12)
        {
            pWidth = pData[18] | pData[19] << 8;
            pHeight = pData[20] | pData[21] << 8;
        }
        else
        {
            pWidth = ReadLittle(pData + 18, 4);
            pHeight = ReadLittle(pData + 22, 4);
            pHeight = pHeight < 0 ? -pHeight : pHeight;
        }
    }
    else
    {
        return false;
    }
    return true;
}
} // namespace

SDL_Surface* DecodeSpriteImage(const unsigned char* pData, size_t pSize, const char* pPath, std::string& pWhy)
{
    const Format format = FormatOf(pData, pSize, pPath);
    if (format == Format::NONE)
    {
        pWhy = "not a PNG, BMP or TGA image";
        return nullptr;
    }
    long long width = 0;
    long long height = 0;
    if (!ClaimedSize(pData, pSize, format, width, height))
    {
        pWhy = "the image is cut short";
        return nullptr;
    }
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE || width * height > MAX_PIXELS)
    {
        pWhy =
            "an image of " + std::to_string(width) + " by " + std::to_string(height) + " pixels is no sprite";
        return nullptr;
    }
    if (format == Format::PNG && !PngChunksFit(pData, pSize))
    {
        pWhy = "the PNG is cut short or has a chunk longer than the file";
        return nullptr;
    }
    SDL_Surface* image = nullptr;
    {
        CQuietStderr quiet;
        SDL_RWops* source = SDL_RWFromConstMem(pData, static_cast<int>(pSize));
        image = format == Format::PNG   ? IMG_LoadPNG_RW(source)
                : format == Format::BMP ? IMG_LoadBMP_RW(source)
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
