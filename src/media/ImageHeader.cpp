#include "media/ImageHeader.h"

#include <cstring>

#include <strings.h>

namespace
{
// Deflate codes a run of 258 bytes in no fewer than two bits.
const long long DEFLATE_MAX_RATIO = 1032;
// A run-length coded TGA packet covers at most 128 pixels.
const long long TGA_RUN_PIXELS = 128;

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

long long ReadLittleUnsigned(const unsigned char* p, int pBytes)
{
    long long value = 0;
    for (int i = pBytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

bool FindFormat(const unsigned char* pData, size_t pSize, const char* pPath, ImageHeader::Format& pFormat)
{
    static const unsigned char PNG[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (pSize >= sizeof PNG && std::memcmp(pData, PNG, sizeof PNG) == 0)
        pFormat = ImageHeader::Format::PNG;
    else if (pSize >= 2 && pData[0] == 'B' && pData[1] == 'M')
        pFormat = ImageHeader::Format::BMP;
    else
    {
        // A TGA has no signature: it is known by its name, as the image library does.
        const size_t length = std::strlen(pPath);
        if (length < 4 || strcasecmp(pPath + length - 4, ".tga") != 0)
            return false;
        pFormat = ImageHeader::Format::TGA;
    }
    return true;
}

// The sides; false when the file is too short to hold them (the library would read them from
// past the end).
bool ReadSides(const unsigned char* pData, size_t pSize, ImageHeader& pHeader)
{
    if (pHeader.format == ImageHeader::Format::PNG && pSize >= 24)
    {
        pHeader.width = ReadBig32(pData + 16);
        pHeader.height = ReadBig32(pData + 20);
    }
    else if (pHeader.format == ImageHeader::Format::TGA && pSize >= 18)
    {
        pHeader.width = ReadLittleUnsigned(pData + 12, 2);
        pHeader.height = ReadLittleUnsigned(pData + 14, 2);
    }
    else if (pHeader.format == ImageHeader::Format::BMP && pSize >= 26)
    {
        // The old OS/2 header has unsigned 16-bit sides; the others signed 32-bit ones, with
        // a negative height for rows stored top first.
        if (ReadLittle(pData + 14, 4) == 12)
        {
            pHeader.width = ReadLittleUnsigned(pData + 18, 2);
            pHeader.height = ReadLittleUnsigned(pData + 20, 2);
        }
        else
        {
            pHeader.width = ReadLittle(pData + 18, 4);
            pHeader.height = ReadLittle(pData + 22, 4);
            pHeader.height = pHeader.height < 0 ? -pHeader.height : pHeader.height;
        }
    }
    else
    {
        return false;
    }
    return true;
}

// The fewest bytes of pixel data a PNG of these sides needs: the compressed IDAT chunks
// together. Also false when a chunk before IEND runs past the end: the library does not stop
// at the end of its bytes, and a chunk claiming hundreds of megabytes kept it spinning.
bool PngDataFits(const unsigned char* pData, size_t pSize, const ImageHeader& pHeader, long long& pNeeded,
                 long long& pHeld)
{
    // The signature and a whole IHDR chunk come first.
    if (pSize < 33)
        return false;
    static const int CHANNELS[] = {1, 0, 3, 1, 2, 0, 4};
    const int colourType = pData[25];
    const int channels = colourType < 7 ? CHANNELS[colourType] : 0;
    const long long bits = pHeader.width * pHeader.height * (channels > 0 ? channels : 1) * pData[24];
    pNeeded = bits / 8 / DEFLATE_MAX_RATIO;
    pHeld = 0;
    size_t at = 8;
    while (pSize - at >= 12)
    {
        const long long length = ReadBig32(pData + at);
        if (length > static_cast<long long>(pSize - at - 12))
            return false;
        if (std::memcmp(pData + at + 4, "IDAT", 4) == 0)
            pHeld += length;
        if (std::memcmp(pData + at + 4, "IEND", 4) == 0)
            return true;
        at += 12 + static_cast<size_t>(length);
    }
    return false;
}

// The fewest bytes of pixel data a BMP or TGA of these sides needs, and where it starts.
// Zero needed for the kinds whose size cannot be bounded (BMP run-length coding can skip
// any number of pixels) or that the library does not read anyway.
void StoredSize(const unsigned char* pData, size_t pSize, const ImageHeader& pHeader, long long& pNeeded,
                long long& pStart)
{
    const long long pixels = pHeader.width * pHeader.height;
    pNeeded = 0;
    pStart = 0;
    if (pHeader.format == ImageHeader::Format::BMP)
    {
        const long long headerSize = ReadLittleUnsigned(pData + 14, 4);
        const bool os2 = headerSize == 12;
        const long long compression = os2 || pSize < 34 ? 0 : ReadLittleUnsigned(pData + 30, 4);
        // A header cut before its bit count counts one bit a pixel: the least the rows can hold.
        const size_t bitsAt = os2 ? 24 : 28;
        long long bits = pSize >= bitsAt + 2 ? ReadLittleUnsigned(pData + bitsAt, 2) : 1;
        bits = bits > 0 ? bits : 1;
        // Plain rows and rows with bit fields; every row padded to four bytes.
        if (compression == 0 || compression == 3 || compression == 6)
            pNeeded = (pHeader.width * bits + 31) / 32 * 4 * pHeader.height;
        const long long offset = ReadLittleUnsigned(pData + 10, 4);
        pStart = offset > 0 ? offset : 14 + headerSize;
        return;
    }
    // TGA: the image identifier and the colour map come before the pixels.
    const long long mapBytes = pData[1] ? ReadLittleUnsigned(pData + 5, 2) * ((pData[7] + 7) / 8) : 0;
    pStart = 18 + pData[0] + mapBytes;
    const long long pixelBytes = pData[16] > 0 ? (pData[16] + 7) / 8 : 1;
    const int type = pData[2];
    if (type >= 1 && type <= 3)
        pNeeded = pixels * pixelBytes;
    else if (type >= 9 && type <= 11)
        pNeeded = (pixels + TGA_RUN_PIXELS - 1) / TGA_RUN_PIXELS * (1 + pixelBytes);
}
} // namespace

bool ReadImageHeader(const unsigned char* pData, size_t pSize, const char* pPath, ImageHeader& pHeader,
                     std::string& pWhy)
{
    pHeader = ImageHeader();
    if (!FindFormat(pData, pSize, pPath, pHeader.format))
    {
        pWhy = "not a PNG, BMP or TGA image";
        return false;
    }
    if (!ReadSides(pData, pSize, pHeader))
    {
        pWhy = "the image is cut short";
        return false;
    }
    return true;
}

bool ImageDataFits(const unsigned char* pData, size_t pSize, const ImageHeader& pHeader, std::string& pWhy)
{
    const long long side = 1LL << 16;
    if (pHeader.width <= 0 || pHeader.height <= 0 || pHeader.width > side || pHeader.height > side)
    {
        pWhy = "an image cannot have " + std::to_string(pHeader.width) + " by " +
               std::to_string(pHeader.height) + " pixels";
        return false;
    }
    long long needed = 0;
    long long held = 0;
    if (pHeader.format == ImageHeader::Format::PNG)
    {
        if (!PngDataFits(pData, pSize, pHeader, needed, held))
        {
            pWhy = "the PNG is cut short or has a chunk longer than the file";
            return false;
        }
    }
    else
    {
        long long start = 0;
        StoredSize(pData, pSize, pHeader, needed, start);
        held = start < static_cast<long long>(pSize) ? static_cast<long long>(pSize) - start : 0;
    }
    if (held < needed)
    {
        pWhy = "the header claims " + std::to_string(pHeader.width) + " by " +
               std::to_string(pHeader.height) + " pixels, more than the file's " + std::to_string(held) +
               " bytes of pixel data can hold";
        return false;
    }
    return true;
}
