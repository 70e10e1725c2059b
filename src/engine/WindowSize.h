#pragma once

#include <string>

struct DisplayConfig;

// Window sides the game accepts, in pixels.
constexpr int WINDOW_SIDE_MIN = 200;
constexpr int WINDOW_SIDE_MAX = 16384;

// "WxH" in decimal, each side from WINDOW_SIDE_MIN to WINDOW_SIDE_MAX; false otherwise.
bool ParseWindowSize(const std::string& pText, int& pWidth, int& pHeight);

// A window setting: "fit" (the screen) or "WxH". False, leaving the configuration, for
// anything else.
bool ApplyWindowSetting(const std::string& pSetting, DisplayConfig& pConfig);

// The window a configuration opens on a display of the given size (0 when not known): the
// display itself in full screen; fitting the screen, the layout's shape at nine tenths of the
// display; else the size asked for, or the layout's own.
void ChooseWindowSize(const DisplayConfig& pConfig, int pDisplayWidth, int pDisplayHeight, int& pWidth,
                      int& pHeight);
