#pragma once

class CScreenStack;

// The screens the main menu's lower rows open, by their place among those rows: Play a
// Friend, Watch, Replays, Settings.
enum MenuScreen
{
    SCREEN_FRIEND = 0,
    SCREEN_WATCH,
    SCREEN_REPLAYS,
    SCREEN_SETTINGS,
};
void OpenMenuScreen(CScreenStack& pScreens, int pScreen);

// Where the screens place their rows: from the left edge, from the top, one row's pitch.
namespace ScreenLayout
{
constexpr int LEFT = 150;
constexpr int TOP = 130;
constexpr int PITCH = 40;
constexpr int WIDTH = 720;
constexpr int HEIGHT = 30;
} // namespace ScreenLayout
