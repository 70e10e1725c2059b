#pragma once

#include <string>

// What the window should look like; filled by main and copied by the engine.
struct DisplayConfig
{
    int width = 0;
    int height = 0;
    int depth = 0;
    bool fullscreen = false;
    std::string iconPath;
    std::string caption;

    // The game's window: 1024 by 768, 32 bits, windowed, our icon and name.
    static DisplayConfig Default();
};
