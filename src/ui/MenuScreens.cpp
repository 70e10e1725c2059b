#include "ui/MenuScreens.h"

#include "ui/FriendScreen.h"
#include "ui/ReplaysScreen.h"
#include "ui/SettingsScreen.h"
#include "ui/WatchScreen.h"

void OpenMenuScreen(CScreenStack& pScreens, int pScreen)
{
    std::unique_ptr<CScreen> screen;
    switch (pScreen)
    {
    case SCREEN_FRIEND:
        screen = std::make_unique<CFriendScreen>();
        break;
    case SCREEN_WATCH:
        screen = std::make_unique<CWatchScreen>();
        break;
    case SCREEN_REPLAYS:
        screen = std::make_unique<CReplaysScreen>();
        break;
    case SCREEN_SETTINGS:
        screen = std::make_unique<CSettingsScreen>();
        break;
    default:
        return;
    }
    pScreens.Push(std::move(screen));
}
