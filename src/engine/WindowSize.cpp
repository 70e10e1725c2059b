#include "engine/WindowSize.h"

#include <algorithm>

#include "engine/DisplayConfig.h"
#include "engine/WholeNumber.h"

bool ParseWindowSize(const std::string& pText, int& pWidth, int& pHeight)
{
    const size_t x = pText.find('x');
    if (x == std::string::npos || pText.size() > 11)
        return false;
    long long w = 0;
    long long h = 0;
    const std::string width = pText.substr(0, x);
    if (width.empty() || width[0] == '-' ||
        !ParseWholeNumber(width.c_str(), WINDOW_SIDE_MIN, WINDOW_SIDE_MAX, w) || pText[x + 1] == '-' ||
        !ParseWholeNumber(pText.c_str() + x + 1, WINDOW_SIDE_MIN, WINDOW_SIDE_MAX, h))
        return false;
    pWidth = static_cast<int>(w);
    pHeight = static_cast<int>(h);
    return true;
}

bool ApplyWindowSetting(const std::string& pSetting, DisplayConfig& pConfig)
{
    if (pSetting == "fit")
    {
        pConfig.fitScreen = true;
        pConfig.windowWidth = pConfig.windowHeight = 0;
        return true;
    }
    int w = 0;
    int h = 0;
    if (!ParseWindowSize(pSetting, w, h))
        return false;
    pConfig.fitScreen = false;
    pConfig.windowWidth = w;
    pConfig.windowHeight = h;
    return true;
}

void ChooseWindowSize(const DisplayConfig& pConfig, int pDisplayWidth, int pDisplayHeight, int& pWidth,
                      int& pHeight)
{
    const bool display = pDisplayWidth > 0 && pDisplayHeight > 0;
    pWidth = pConfig.windowWidth > 0 ? pConfig.windowWidth : pConfig.width;
    pHeight = pConfig.windowHeight > 0 ? pConfig.windowHeight : pConfig.height;
    if (!display || pConfig.width <= 0 || pConfig.height <= 0)
        return;
    if (pConfig.fullscreen)
    {
        pWidth = pDisplayWidth;
        pHeight = pDisplayHeight;
    }
    else if (pConfig.fitScreen)
    {
        // A tenth is left for the desktop's panels and the window's frame.
        const double scale =
            std::min(0.9 * pDisplayWidth / pConfig.width, 0.9 * pDisplayHeight / pConfig.height);
        pWidth = std::max(WINDOW_SIDE_MIN, static_cast<int>(pConfig.width * scale));
        pHeight = std::max(WINDOW_SIDE_MIN, static_cast<int>(pConfig.height * scale));
    }
}
