#include "media/SpriteImage.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Image files whose headers made the image library misbehave are refused before it sees them;
// the fuzzing reproducers are the cases.
TEST(SpriteImageTest, HeadersThatMisleadTheImageLibraryAreRefusedBeforeDecoding)
{
    const struct
    {
        const char* file;
        const char* why; // empty: decodes
    } cases[] = {
        // An IDAT chunk claiming 700 MB kept the decoder spinning for 20 seconds.
        {"slow_idat_longer_than_file.png", "the PNG is cut short or has a chunk longer than the file"},
        // An OS/2 BMP of 1794 by 65534 pixels: the library asked for a negative-sized block.
        {"bmp_os2_height_65534.bmp", "an image of 1794 by 65534 pixels is no sprite"},
        // 22 bytes: the library read the sides from past the end.
        {"bmp_cut_inside_header.bmp", "the image is cut short"},
        // 33 bytes claiming 14872 by 183 pixels: decoded all the same, and packed on a page of
        // 16384 by 16384 it took the game past 2 GB.
        {"bmp_33_bytes_claiming_14872_by_183.bmp",
         "the header claims 14872 by 183 pixels, more than the file's 23 bytes of pixel data can hold"},
        // Deflate packs at most 1032 bytes into one; run-length TGA 128 pixels into one packet.
        {"png_idat_too_small_for_4096_by_4096.png",
         "the header claims 4096 by 4096 pixels, more than the file's 27 bytes of pixel data can hold"},
        {"tga_runs_too_few_for_4096_by_4096.tga",
         "the header claims 4096 by 4096 pixels, more than the file's 100 bytes of pixel data can hold"},
        {"tga_rows_missing.tga",
         "the header claims 256 by 256 pixels, more than the file's 100 bytes of pixel data can hold"},
        {"tga_4_by_4.tga", ""},
        {"tiny.bmp", ""},
        {"spark.png", ""},
    };
    for (const auto& c : cases)
    {
        std::ifstream in(std::string("tests/fuzz/corpus/sprite_image/") + c.file, std::ios::binary);
        ASSERT_TRUE(in) << c.file;
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        std::string why;
        SDL_Surface* image = DecodeSpriteImage(bytes.data(), bytes.size(), c.file, why);
        EXPECT_EQ(c.why, why) << c.file;
        EXPECT_EQ(*c.why == 0, image != nullptr) << c.file;
        if (image)
            SDL_FreeSurface(image);
    }
}
