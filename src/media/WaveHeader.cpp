#include "media/WaveHeader.h"

#include <cstdint>
#include <cstring>

namespace
{
uint32_t Read32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

unsigned Read16(const unsigned char* p)
{
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

bool FormatIsPlayable(const unsigned char* pFmt, uint32_t pSize, WaveShape& pShape)
{
    if (pSize < 16)
        return false;
    const unsigned tag = Read16(pFmt);
    const unsigned channels = Read16(pFmt + 2);
    const uint32_t rate = Read32(pFmt + 4);
    const unsigned blockAlign = Read16(pFmt + 12);
    const unsigned bits = Read16(pFmt + 14);
    pShape.rate = rate;
    pShape.blockAlign = blockAlign;
    return tag == 1 && (channels == 1 || channels == 2) && rate >= 8000 && rate <= 192000 &&
           (bits == 8 || bits == 16) && blockAlign == channels * bits / 8;
}
} // namespace

bool IsPlayableWave(const unsigned char* pData, size_t pSize)
{
    WaveShape shape;
    return ReadPlayableWave(pData, pSize, shape);
}

size_t PlayedWaveBytes(const WaveShape& pShape, unsigned pRate, unsigned pFrameBytes)
{
    if (pShape.rate == 0 || pShape.blockAlign == 0)
        return 0;
    const unsigned long long frames = pShape.dataBytes / pShape.blockAlign;
    return static_cast<size_t>((frames * pRate + pShape.rate - 1) / pShape.rate * pFrameBytes);
}

bool ReadPlayableWave(const unsigned char* pData, size_t pSize, WaveShape& pShape)
{
    pShape = WaveShape();
    if (pSize < 12 || std::memcmp(pData, "RIFF", 4) != 0 || std::memcmp(pData + 8, "WAVE", 4) != 0)
        return false;
    bool formatSeen = false;
    size_t at = 12;
    // The padding byte of the last chunk may lie past the end.
    while (at <= pSize && pSize - at >= 8)
    {
        const unsigned char* chunk = pData + at;
        const uint32_t size = Read32(chunk + 4);
        // The mixer allocates what a chunk claims before reading it.
        if (size > pSize - at - 8)
            return false;
        if (std::memcmp(chunk, "data", 4) == 0)
        {
            pShape.dataBytes = size;
            return formatSeen;
        }
        // The mixer reads the first format chunk only.
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !formatSeen)
        {
            if (!FormatIsPlayable(chunk + 8, size, pShape))
                return false;
            formatSeen = true;
        }
        // Chunks are padded to an even length.
        at += 8 + size + (size & 1);
    }
    return false;
}
