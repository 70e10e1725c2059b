#include <cstdio>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/Sessions.h"
#include "engine/DataFolder.h"
#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"
#include "engine/GameOptions.h"
#include "engine/Platform.h"
#include "engine/Version.h"
#include "net/NetGame.h"
#include "net/NetObserveGame.h"
#include "ui/AppSettings.h"
#include "ui/FriendScreen.h"

int main(int argc, char** argv)
{
    OpenStandardDescriptors();
    // Answered before anything opens a window, so that they need no display.
    switch (ReadGameRequest(argc, argv))
    {
    case REQUEST_HELP:
        std::fputs(GameUsage().c_str(), stdout);
        return 0;
    case REQUEST_VERSION:
        std::printf("ampwarden %s\n", ProgramVersion());
        return 0;
    default:
        break;
    }
    for (const std::string& argument : IgnoredArguments(argc, argv))
        std::fprintf(stderr, "ampwarden: ignoring '%s' (see --help)\n", argument.c_str());
    // The player's settings first: the command line overrides them for this run.
    CAppSettings::Instance().Load();
    DisplayConfig config = DisplayConfig::Default();
    config.fullscreen = CAppSettings::Instance().Get().fullscreen;
    std::string badArgument;
    if (!ReadCommandLine(argc, argv, config, &badArgument))
    {
        std::fprintf(stderr, "ampwarden: %s\n", badArgument.c_str());
        return 2;
    }
    CNetSetup netSetup;
    bool network = false;
    CNetAddress observed;
    bool observe = false;
    if (!ReadNetOptions(argc, argv, netSetup, network, badArgument) ||
        !ReadObserveOption(argc, argv, observed, observe, badArgument))
    {
        std::fprintf(stderr, "ampwarden: %s\n", badArgument.c_str());
        return 2;
    }
    if (network && observe)
    {
        std::fprintf(stderr, "ampwarden: -observe watches another's match: not with -host or -join\n");
        return 2;
    }
    netSetup.observerChat = !WantsQuietObservers(argc, argv);

    // Started from anywhere: read the data from the folder that holds it.
    std::string why;
    if (!EnterDataFolder(why))
    {
        std::fprintf(stderr, "ampwarden: cannot start: %s\n", why.c_str());
        return 1;
    }

    // The world and the screens over its menu go into the engine's window.
    CProgram::Instance();
    CGameEngine& engine = CGameEngine::Instance();
    if (!engine.Initialise(config))
    {
        // Without a window, sound or media there is no game to run: say why and stop.
        std::fprintf(stderr, "ampwarden: cannot start: %s\n", engine.GetLastError().c_str());
        engine.Shutdown();
        return 1;
    }
    CAppSettings::Instance().Apply(engine);
    // Scripts ask for -once: the program ends with the network session, its status saying how.
    const bool once = engine.HasOption("once");
    if (network || observe)
    {
        // Straight past the intro to the Play a Friend screen, hosting, joining or watching as
        // if chosen there: the waiting, and every end of the session, show on it and the
        // program stays.
        engine.AddOption("nointro");
        auto screen = std::make_unique<CFriendScreen>();
        const bool opened = network ? screen->Start(netSetup) : screen->StartWatching(observed);
        if (!opened)
            std::fprintf(stderr, "ampwarden: %s\n", screen->GetStatus().c_str());
        CProgram::Instance().GetScreens().Push(std::move(screen));
        if (!opened && once)
        {
            engine.Shutdown();
            return 1;
        }
    }
    engine.Run();
    Sessions::CloseNet(engine);
    engine.Shutdown();
    return once ? Sessions::NetExitStatus() : 0;
}
