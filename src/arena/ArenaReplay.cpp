#include "arena/ArenaReplay.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "arena/ArenaMatch.h"
#include "engine/DataFolder.h"
#include "engine/GameEngine.h"
#include "engine/Platform.h"
#include "engine/WholeNumber.h"
#include "replay/ReplayReader.h"
#include "replay/ReplayVerify.h"
#include "world/GameWorld.h"
#include "world/MatchDump.h"
#include "world/MatchHash.h"

namespace
{
int Usage(const char* pWhy)
{
    std::fprintf(stderr, "ampwarden-arena: %s (see --help)\n", pWhy);
    return 2;
}

} // namespace

std::string ArenaCatalogue(const std::string& pNamed)
{
    if (!pNamed.empty())
        return pNamed;
    char cwd[4096];
    const char* workDir = getcwd(cwd, sizeof cwd);
    DataFolderSearch search =
        FindDataFolder(workDir ? workDir : ".", std::getenv("AMPWARDEN_DATA"), ProgramPath());
    if (search.found.empty())
        std::fprintf(stderr, "ampwarden-arena: cannot read %s: looked in %s\n",
                     NativePath(RESOURCE_CATALOGUE).c_str(), Printable(search.looked).c_str());
    return search.found.empty() ? std::string() : search.found + "/" + NativePath(RESOURCE_CATALOGUE);
}

bool IsReplayRequest(const std::vector<std::string>& pArgs)
{
    for (const std::string& arg : pArgs)
    {
        if (arg == "--verify" || arg == "--trace" || arg == "--dump-step")
            return true;
    }
    return false;
}

int RunReplayRequest(const std::vector<std::string>& pArgs)
{
    size_t i = 0;
    std::string named;
    if (pArgs.size() >= 2 && pArgs[0] == "--catalogue")
    {
        named = pArgs[1];
        i = 2;
    }
    if (i >= pArgs.size())
        return Usage("nothing to do");
    const std::string mode = pArgs[i++];
    long long dumpStep = -1;
    if (mode == "--dump-step" &&
        (i >= pArgs.size() || !ParseWholeNumber(pArgs[i++].c_str(), 0, 1 << 30, dumpStep)))
        return Usage("--dump-step needs a step and a replay file");
    const std::vector<std::string> files(pArgs.begin() + static_cast<long>(i), pArgs.end());
    if (files.empty() || (mode != "--verify" && files.size() != 1) ||
        (mode != "--verify" && mode != "--trace" && mode != "--dump-step"))
        return Usage((mode + " needs " + (mode == "--verify" ? "replay files" : "one replay file")).c_str());

    const std::string catalogue = ArenaCatalogue(named);
    std::string error;
    if (catalogue.empty())
        return 1;
    CGameEngine::Instance().Configure(DisplayConfig::Default());
    if (!LoadStandInSprites(catalogue.c_str(), error))
    {
        std::fprintf(stderr, "ampwarden-arena: %s\n", Printable(error).c_str());
        return 1;
    }
    const CReplayExpect expect = ExpectedHere(catalogue.c_str());

    int status = 0;
    double gameSeconds = 0.0;
    double wallSeconds = 0.0;
    for (const std::string& file : files)
    {
        const std::string name = Printable(file);
        CReplay replay;
        if (!LoadReplay(file, expect, replay, error))
        {
            std::printf("%s: refused: %s\n", name.c_str(), error.c_str());
            status = 1;
            continue;
        }
        bool dumped = false;
        const CReplayCheck check = CheckReplay(
            replay,
            [&](CGameWorld& pWorld)
            {
                if (mode == "--trace")
                    std::printf("%d %016" PRIx64 "\n", pWorld.m_matchSteps, HashMatchState(pWorld));
                if (mode != "--dump-step" || pWorld.m_matchSteps != dumpStep)
                    return true;
                std::fputs(DumpMatchState(pWorld).c_str(), stdout);
                dumped = true;
                return false;
            });
        gameSeconds += check.steps * 0.016;
        wallSeconds += check.wallSeconds;
        if (mode == "--dump-step" && !dumped)
        {
            std::fprintf(stderr, "%s: no step %lld: %s\n", name.c_str(), dumpStep,
                         CheckLine(name, replay, check).c_str());
            status = 1;
        }
        else if (mode == "--verify")
            std::printf("%s\n", CheckLine(name, replay, check).c_str());
        else if (mode == "--trace" && !check.agrees)
            std::fprintf(stderr, "%s\n", CheckLine(name, replay, check).c_str());
        if (mode != "--dump-step" && !check.agrees)
            status = 1;
    }
    if (mode == "--verify")
        std::fprintf(stderr, "%zu replays, %.0f game seconds in %.2f s: %.0f game seconds per second\n",
                     files.size(), gameSeconds, wallSeconds,
                     wallSeconds > 0.0 ? gameSeconds / wallSeconds : 0.0);
    return status;
}
