#include <gtest/gtest.h>

#include <SDL/SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/WindowIcon.h"

namespace
{

class WindowIconTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/aw_icon_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + m_dir).c_str()); }

    // Writes a BMP of the given size and depth whose top-left pixel is pTopLeft.
    std::string Save(const char* pName, int pSide, int pBits, Uint8 pTopLeft)
    {
        SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, pSide, pSide, pBits, 0, 0, 0, 0);
        EXPECT_NE(s, nullptr);
        SDL_FillRect(s, nullptr, 1);
        static_cast<Uint8*>(s->pixels)[0] = pTopLeft;
        std::string path = m_dir + "/" + pName;
        EXPECT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
        SDL_FreeSurface(s);
        return path;
    }

    std::string m_dir;
};

TEST_F(WindowIconTest, TheTopLeftColourOfAPalettedIconIsTransparent)
{
    Save("icon.bmp", 32, 8, 7);
    std::string why;
    // The path is written the catalogue's way.
    SDL_Surface* icon = LoadIconSurface(m_dir + "\\icon.bmp", why);
    ASSERT_NE(icon, nullptr) << why;
    EXPECT_TRUE(icon->flags & SDL_SRCCOLORKEY);
    EXPECT_EQ(icon->format->colorkey, 7u);
    SDL_FreeSurface(icon);
}

TEST_F(WindowIconTest, OnlyA32By32PalettedBmpIsAccepted)
{
    std::ofstream(m_dir + "/text.bmp") << "not a bitmap at all";
    struct Case
    {
        std::string path;
        const char* why;
    } cases[] = {
        {Save("big.bmp", 64, 8, 0), "must be a 32x32 8-bit indexed BMP"},
        {Save("small.bmp", 16, 8, 0), "must be a 32x32 8-bit indexed BMP"},
        {Save("truecolour.bmp", 32, 24, 0), "must be a 32x32 8-bit indexed BMP"},
        {m_dir + "/text.bmp", "is not a readable BMP"},
        {m_dir + "/absent.bmp", "cannot read the window icon"},
        {m_dir, "is not a readable BMP"},
    };
    for (const Case& c : cases)
    {
        std::string why;
        EXPECT_EQ(LoadIconSurface(c.path, why), nullptr) << c.path;
        EXPECT_NE(why.find(c.why), std::string::npos) << c.path << ": " << why;
    }
}

TEST(VideoFlagsTest, AHardwareGlWindowOptionallyFullScreen)
{
    EXPECT_EQ(VideoFlagsFor(false), 11u);
    EXPECT_EQ(VideoFlagsFor(true), 11u | SDL_FULLSCREEN);
}

} // namespace
