// ampwarden-arena: seeded computer-versus-computer tournaments, headless.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "arena/ArenaOptions.h"
#include "arena/ArenaReplay.h"
#include "arena/ArenaReport.h"
#include "arena/Tournament.h"
#include "engine/GameEngine.h"
#include "engine/Platform.h"

namespace
{
// The game program lives beside the arena.
std::string GamePath()
{
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "ampwarden";
    std::string path(self, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/ampwarden";
}

class CProgress
{
  public:
    CProgress() : m_start(Clock::now()), m_tty(isatty(STDERR_FILENO) != 0) {}

    void Report(size_t pDone, size_t pTotal)
    {
        const double elapsed = Seconds();
        // On a terminal the line is redrawn; in a log, a line every few seconds and the last.
        if (!m_tty && pDone != pTotal && elapsed - m_lastLine < 5.0)
            return;
        m_lastLine = elapsed;
        const double left =
            pDone ? elapsed * static_cast<double>(pTotal - pDone) / static_cast<double>(pDone) : 0.0;
        std::fprintf(stderr, "%s%zu/%zu matches, %.0f s elapsed, about %.0f s left%s", m_tty ? "\r" : "",
                     pDone, pTotal, elapsed, left, m_tty ? "   " : "\n");
        if (m_tty && pDone == pTotal)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }

  private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_start;
    bool m_tty;
    double m_lastLine = -1.0e9;
};

int Watch(const ArenaOptions& pOptions)
{
    ArenaMatchSetup setup;
    setup.seed = pOptions.watchSeed;
    setup.greenLevel = pOptions.greenLevels[0];
    setup.blueLevel = pOptions.blueLevels[0];
    const std::string game = GamePath();
    const std::string seed = std::to_string(setup.seed);
    const std::string levels = std::to_string(setup.greenLevel) + "," + std::to_string(setup.blueLevel);
    std::fprintf(stderr, "%s\n", WatchCommand(game, setup).c_str());
    execl(game.c_str(), game.c_str(), "-nointro", "-watch", "-seed", seed.c_str(), "-levels", levels.c_str(),
          static_cast<char*>(nullptr));
    std::perror(("ampwarden-arena: cannot start " + game).c_str());
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (IsReplayRequest(args))
        return RunReplayRequest(args);
    ArenaOptions options;
    std::string error;
    if (!ReadArenaOptions(args, options, error))
    {
        std::fprintf(stderr, "ampwarden-arena: %s\n", error.c_str());
        return 2;
    }
    if (options.help)
    {
        std::fputs(ArenaUsage(), stdout);
        return 0;
    }
    if (options.watch)
        return Watch(options);

    CGameEngine::Instance().Configure(DisplayConfig::Default());
    options.catalogue = ArenaCatalogue(options.catalogue);
    if (options.catalogue.empty())
        return 1;
    if (!LoadStandInSprites(options.catalogue.c_str(), error))
    {
        std::fprintf(stderr, "ampwarden-arena: %s\n", error.c_str());
        return 1;
    }
    std::vector<ArenaMatchSetup> matches;
    for (unsigned green : options.greenLevels)
    {
        for (unsigned blue : options.blueLevels)
        {
            for (int i = 0; i < options.matches; ++i)
            {
                ArenaMatchSetup setup;
                setup.seed = options.firstSeed + static_cast<unsigned>(i);
                setup.greenLevel = green;
                setup.blueLevel = blue;
                setup.capSteps = options.CapSteps();
                matches.push_back(setup);
            }
        }
    }
    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    const int jobs = options.jobs > 0 ? options.jobs : static_cast<int>(cores > 0 ? cores : 1);

    CProgress progress;
    std::vector<ArenaOutcome> outcomes =
        RunTournament(matches, jobs, [&](size_t pDone, size_t pTotal) { progress.Report(pDone, pTotal); });
    const double wall = progress.Seconds();

    const std::string game = GamePath();
    if (options.list)
    {
        for (const ArenaOutcome& o : outcomes)
            std::cout << ListLine(o, game) << '\n';
        std::cout << '\n';
    }
    WriteWinTable(std::cout, outcomes, options.greenLevels, options.blueLevels);
    int crashes = 0;
    for (const ArenaOutcome& o : outcomes)
        crashes += o.crashed ? 1 : 0;
    std::printf("\n%zu matches (cap %.1f game minutes) in %.1f s with %d jobs, %d crashed; game seconds per "
                "second in each match process: %.0f by the wall clock, %.0f by processor time\n",
                outcomes.size(), options.capMinutes, wall, jobs, crashes, GameSpeed(outcomes),
                GameSpeed(outcomes, true));
    std::printf("watch one: %s\n", WatchCommand(game, matches.front()).c_str());

    int status = crashes ? 1 : 0;
    if (!options.csvPath.empty())
    {
        std::ofstream csv(options.csvPath);
        WriteCsv(csv, outcomes);
        csv.close();
        if (!csv)
        {
            std::fprintf(stderr, "ampwarden-arena: cannot write %s\n", options.csvPath.c_str());
            status = 1;
        }
    }
    return status;
}
