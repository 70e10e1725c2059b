#include "engine/DisplayConfig.h"

DisplayConfig DisplayConfig::Default()
{
    DisplayConfig config;
    config.width = 1024;
    config.height = 768;
    config.depth = 32;
    config.fullscreen = false;
    config.iconPath = "AWIcon.bmp";
    config.caption = "Ampwarden";
    return config;
}
