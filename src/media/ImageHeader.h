#pragma once

#include <cstddef>
#include <string>

// What an image file's header claims, read before the image library sees the file: the
// library allocates the whole image first and does not notice pixels missing from the file.
struct ImageHeader
{
    enum class Format
    {
        PNG,
        BMP,
        TGA
    };
    Format format = Format::PNG;
    long long width = 0;
    long long height = 0;
};

// Reads the format (a PNG or BMP by its signature, a TGA by the name in pPath) and the sides.
// False, with the reason in pWhy, for another format or a header cut short.
bool ReadImageHeader(const unsigned char* pData, size_t pSize, const char* pPath, ImageHeader& pHeader,
                     std::string& pWhy);
// After ReadImageHeader, for sides of 1 to 65536: false, with the reason in pWhy, when the file
// is too short for the pixels its header claims, where the format allows the check (PNG and
// TGA bound how far their data can be compressed, a plain BMP stores every row).
bool ImageDataFits(const unsigned char* pData, size_t pSize, const ImageHeader& pHeader, std::string& pWhy);
