#include <cstdio>
#include <string>

#include "engine/CommandLine.h"
#include "engine/DataFolder.h"
#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"
#include "engine/GameOptions.h"
#include "engine/Platform.h"
#include "engine/Version.h"
#include "net/NetGame.h"
#include "replay/ReplaySession.h"

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
    DisplayConfig config = DisplayConfig::Default();
    std::string badArgument;
    if (!ReadCommandLine(argc, argv, config, &badArgument))
    {
        std::fprintf(stderr, "ampwarden: %s\n", badArgument.c_str());
        return 2;
    }
    CNetSetup netSetup;
    bool network = false;
    if (!ReadNetOptions(argc, argv, netSetup, network, badArgument))
    {
        std::fprintf(stderr, "ampwarden: %s\n", badArgument.c_str());
        return 2;
    }

    // Started from anywhere: read the data from the folder that holds it.
    std::string why;
    if (!EnterDataFolder(why))
    {
        std::fprintf(stderr, "ampwarden: cannot start: %s\n", why.c_str());
        return 1;
    }

    CGameEngine& engine = CGameEngine::Instance();
    if (!engine.Initialise(config))
    {
        // Without a window, sound or media there is no game to run: say why and stop.
        std::fprintf(stderr, "ampwarden: cannot start: %s\n", engine.GetLastError().c_str());
        engine.Shutdown();
        return 1;
    }
    if (!network)
    {
        engine.Run();
        engine.Shutdown();
        return 0;
    }

    // A network match: straight past the intro to the waiting screen.
    engine.AddOption("nointro");
    CGameWorld& world = engine.GetWorld();
    netSetup.haveSeed = world.m_hasMatchSeed;
    netSetup.seed = world.m_matchSeed;
    netSetup.version = ProgramVersion();
    netSetup.fingerprint = DataFingerprint("Data/resources.xml");
    // A desync leaves its node dump beside the replays.
    netSetup.dumpFolder = CReplaySession::Instance().RecordFolder();
    CNetGame game(engine, netSetup);
    // Both machines' replays give the host's start, so that they are the same file.
    game.GetSession().m_onMatchStart = [](const CNetMatchStart& pStart)
    { CReplaySession::Instance().SetRecordDate(pStart.date); };
    if (!game.Open(why))
    {
        std::fprintf(stderr, "ampwarden: cannot start the network game: %s\n", why.c_str());
        engine.Shutdown();
        return 1;
    }
    engine.SetFrameHook(&game);
    engine.Run();
    engine.SetFrameHook(nullptr);
    game.GetSession().Detach(world);
    engine.Shutdown();
    return game.ExitStatus();
}
