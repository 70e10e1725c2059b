#include <cstdio>

#include "engine/CommandLine.h"
#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"
#include "engine/Platform.h"

int main(int argc, char** argv)
{
    OpenStandardDescriptors();
    DisplayConfig config = DisplayConfig::Default();
    ReadCommandLine(argc, argv, config);

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
