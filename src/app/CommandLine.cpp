#include "app/CommandLine.h"

#include <cstring>

#include "ai/Levels.h"
#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"
#include "engine/WholeNumber.h"
#include "replay/ReplaySession.h"
#include "world/GameWorld.h"

namespace
{
// "G,B" with both levels numbers of the level table.
bool ParseLevels(const char* pText, unsigned pOut[2])
{
    const char* comma = pText ? std::strchr(pText, ',') : nullptr;
    if (!comma)
        return false;
    std::string green(pText, comma);
    long long g = 0;
    long long b = 0;
    if (!ParseWholeNumber(green.c_str(), 0, LEVEL_COUNT - 1, g) ||
        !ParseWholeNumber(comma + 1, 0, LEVEL_COUNT - 1, b))
        return false;
    pOut[0] = static_cast<unsigned>(g);
    pOut[1] = static_cast<unsigned>(b);
    return true;
}

bool Refuse(std::string* pError, const std::string& pWhy)
{
    if (pError)
        *pError = pWhy;
    return false;
}
} // namespace

bool ReadCommandLine(int pArgc, char** pArgv, DisplayConfig& pConfig, std::string* pError)
{
    if (!pArgv)
        return true;
    for (int i = 0; i < pArgc; ++i)
    {
        const char* arg = pArgv[i];
        if (!arg)
            continue;
        const char* value = (i + 1 < pArgc) ? pArgv[i + 1] : nullptr;
        if (std::strcmp(arg, "-fullscreen") == 0)
        {
            pConfig.fullscreen = true;
        }
        else if (std::strcmp(arg, "-seed") == 0)
        {
            long long seed = 0;
            if (!ParseWholeNumber(value, 0, 4294967295ll, seed))
                return Refuse(pError, "-seed needs a whole number from 0 to 4294967295");
            TheWorld().SetMatchSeed(static_cast<unsigned>(seed));
            ++i;
        }
        else if (std::strcmp(arg, "-levels") == 0)
        {
            if (!ParseLevels(value, TheWorld().m_demoLevels))
                return Refuse(pError, "-levels needs green's and blue's level as G,B, each 0 to " +
                                          std::to_string(LEVEL_COUNT - 1));
            ++i;
        }
        else if (std::strcmp(arg, "-record") == 0)
        {
            // The folder is optional: the next argument, unless it is another option.
            const bool folder = value && value[0] != '-';
            CReplaySession::Instance().RecordInto(folder ? value : "");
            i += folder ? 1 : 0;
        }
        else if (std::strcmp(arg, "-replay") == 0)
        {
            if (!value || !*value)
                return Refuse(pError, "-replay needs a replay file");
            CReplaySession::Instance().PlayFile(value);
            ++i;
        }
        else if (arg[0] == '-')
        {
            CGameEngine::Instance().AddOption(arg + 1);
        }
    }
    return true;
}
