#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"
#include "engine/DisplayConfig.h"
#include "engine/WindowSize.h"

namespace
{

// What a window setting or -geometry may say, and the window each configuration then opens on
// a 1920x1080 display (or one whose size is not known).
TEST(WindowSizeTest, SettingsAndGeometryChooseTheWindow)
{
    const struct
    {
        const char* text;
        bool good;
    } texts[] = {{"800x600", true},        {"200x200", true},    {"16384x16384", true}, {"199x600", false},
                 {"800x16385", false},     {"800 x 600", false}, {"-800x600", false},   {"800x-600", false},
                 {"800x", false},          {"x600", false},      {"800", false},        {"", false},
                 {"99999999999x1", false}, {"fit", true}};
    for (const auto& t : texts)
    {
        DisplayConfig config = DisplayConfig::Default();
        EXPECT_EQ(ApplyWindowSetting(t.text, config), t.good) << t.text;
    }

    const struct
    {
        const char* setting;
        bool fullscreen;
        int displayW, displayH, w, h;
    } cases[] = {
        {"1024x768", false, 1920, 1080, 1024, 768},
        {"800x600", false, 1920, 1080, 800, 600},
        {"2560x1440", false, 1920, 1080, 2560, 1440},
        {"800x600", true, 1920, 1080, 1920, 1080},
        {"fit", false, 1920, 1080, 1296, 972},
        {"fit", true, 1920, 1080, 1920, 1080},
        {"fit", false, 0, 0, 1024, 768},
        {"fit", false, 1280, 1024, 1152, 864},
    };
    for (const auto& c : cases)
    {
        DisplayConfig config = DisplayConfig::Default();
        config.fullscreen = c.fullscreen;
        ASSERT_TRUE(ApplyWindowSetting(c.setting, config));
        int w = 0, h = 0;
        ChooseWindowSize(config, c.displayW, c.displayH, w, h);
        EXPECT_TRUE(w == c.w && h == c.h) << c.setting << " " << c.fullscreen << ": " << w << "x" << h;
    }

    // -geometry wins over the setting for the run; a bad one is refused with why.
    DisplayConfig config = DisplayConfig::Default();
    ApplyWindowSetting("fit", config);
    const char* good[] = {"ampwarden", "-geometry", "1600x900"};
    ASSERT_TRUE(ReadCommandLine(3, const_cast<char**>(good), config));
    EXPECT_TRUE(config.windowWidth == 1600 && config.windowHeight == 900 && !config.fitScreen);
    const char* bad[] = {"ampwarden", "-geometry", "huge"};
    std::string why;
    EXPECT_FALSE(ReadCommandLine(3, const_cast<char**>(bad), config, &why));
    EXPECT_NE(why.find("-geometry"), std::string::npos);
}

} // namespace
