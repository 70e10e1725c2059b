#include "engine/CommandLine.h"

#include <cstring>

#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"

void ReadCommandLine(int pArgc, char** pArgv, DisplayConfig& pConfig)
{
    if (!pArgv)
        return;
    for (int i = 0; i < pArgc; ++i)
    {
        const char* arg = pArgv[i];
        if (!arg)
            continue;
        if (std::strcmp(arg, "-fullscreen") == 0)
            pConfig.fullscreen = true;
        else if (arg[0] == '-')
            CGameEngine::Instance().AddOption(arg + 1);
    }
}
