#pragma once

#include <string>

// What the window should look like; filled by main and copied by the engine.
struct DisplayConfig
{
    // The layout every screen is drawn on, scaled to the window.
    int width = 0;
    int height = 0;
    // The window's own size, 0 for the layout's; full screen always takes the display's.
    int windowWidth = 0;
    int windowHeight = 0;
    // The largest window of the layout's shape that fits the display (windowed).
    bool fitScreen = false;
    int depth = 0;
    bool fullscreen = false;
    std::string iconPath;
    std::string caption;

    // The game's window: 1024 by 768, 32 bits, windowed, our icon and name.
    static DisplayConfig Default();
};
