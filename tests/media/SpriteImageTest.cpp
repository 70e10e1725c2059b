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
