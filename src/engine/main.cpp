#include <cstdio>
#include <string>

#include "engine/CommandLine.h"
#include "engine/DataFolder.h"
#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"
#include "engine/Platform.h"

int main(int argc, char** argv)
{
    OpenStandardDescriptors();
    DisplayConfig config = DisplayConfig::Default();
    std::string badArgument;
    if (!ReadCommandLine(argc, argv, config, &badArgument))
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
    engine.Run();
    engine.Shutdown();
    return 0;
}
