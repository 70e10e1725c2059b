// ampwarden-arena: seeded computer-versus-computer tournaments, headless.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "ai/Levels.h"
#include "arena/ArenaCsv.h"
#include "arena/ArenaOptions.h"
#include "arena/ArenaPool.h"
#include "arena/ArenaRating.h"
#include "arena/ArenaReplay.h"
#include "arena/ArenaReport.h"
#include "arena/MatchSlots.h"
#include "arena/Tournament.h"
#include "engine/GameEngine.h"
#include "engine/Platform.h"
#include "engine/Version.h"

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

void Report(const std::vector<ArenaOutcome>& pOutcomes, const std::vector<unsigned>& pGreen,
            const std::vector<unsigned>& pBlue, bool pList)
{
    if (pList)
    {
        const std::string game = GamePath();
        for (const ArenaOutcome& o : pOutcomes)
            std::cout << ListLine(o, game) << '\n';
        std::cout << '\n';
    }
    WriteWinTable(std::cout, pOutcomes, pGreen, pBlue);
    std::cout << '\n';
    WriteRatings(std::cout, FitRatings(GatherResults(pOutcomes), LEVEL_VERY_EASY));
    std::cout.flush();
}

int Crashes(const std::vector<ArenaOutcome>& pOutcomes)
{
    int crashes = 0;
    for (const ArenaOutcome& o : pOutcomes)
        crashes += o.crashed ? 1 : 0;
    return crashes;
}

int Pool(const ArenaOptions& pOptions)
{
    ArenaPool pool;
    std::string error;
    if (!PoolArenaCsvs(pOptions.mergePaths, pOptions.partial, pool, error))
    {
        std::fprintf(stderr, "ampwarden-arena: %s\n", Printable(error).c_str());
        return 1;
    }
    Report(pool.outcomes, pool.greenLevels, pool.blueLevels, pOptions.list);
    const int crashes = Crashes(pool.outcomes);
    std::printf("\n%zu matches (cap %.1f game minutes) pooled from %zu tournaments in %zu files, %zu given "
                "twice with the same result and counted once, %d crashed\n",
                pool.outcomes.size(), pool.tournaments[0].capSteps * 16.0 / 60000.0, pool.tournaments.size(),
                pOptions.mergePaths.size(), pool.duplicates, crashes);
    if (pool.missing != 0)
        std::printf("partial: %zu matches of the tournaments are in no file and left out\n", pool.missing);
    return crashes ? 1 : 0;
}

int Merge(const ArenaOptions& pOptions)
{
    if (pOptions.pool)
        return Pool(pOptions);
    ArenaTournament tournament;
    std::vector<ArenaOutcome> outcomes;
    std::string error;
    size_t missing = 0;
    if (!MergeArenaCsvs(pOptions.mergePaths, tournament, outcomes, error,
                        pOptions.partial ? &missing : nullptr))
    {
        std::fprintf(stderr, "ampwarden-arena: %s\n", Printable(error).c_str());
        return 1;
    }
    Report(outcomes, tournament.greenLevels, tournament.blueLevels, pOptions.list);
    const int crashes = Crashes(outcomes);
    std::printf("\n%zu matches (cap %.1f game minutes) merged from %zu files, %d crashed\n", outcomes.size(),
                tournament.capSteps * 16.0 / 60000.0, pOptions.mergePaths.size(), crashes);
    if (missing != 0)
        std::printf("partial: %zu matches of the tournament are in no file and left out\n", missing);
    if (!pOptions.csvPath.empty() && !SaveArenaCsv(pOptions.csvPath, tournament, outcomes))
    {
        std::fprintf(stderr, "ampwarden-arena: cannot write %s\n", Printable(pOptions.csvPath).c_str());
        return 1;
    }
    return crashes ? 1 : 0;
}

// Takes the matches a resumed tournament's CSV holds and opens it to add the rest; empty, or
// why not in one line naming the file.
std::string Resume(const ArenaOptions& pOptions, const ArenaTournament& pTournament, CMatchSlots& pSlots,
                   CArenaCsvLog& pLog)
{
    const std::string& path = pOptions.csvPath;
    ArenaCsv csv;
    std::string error;
    if (!LoadArenaCsv(path, csv, error))
        return path + ": " + error;
    // A file with no row yet names no tournament.
    std::string difference = csv.named ? TournamentDifference(pTournament, csv.tournament) : "";
    if (csv.named && difference.empty() && (csv.shard != pOptions.shard || csv.shards != pOptions.shards))
        difference = "shard " + std::to_string(pOptions.shard) + "/" + std::to_string(pOptions.shards) +
                     ", not " + std::to_string(csv.shard) + "/" + std::to_string(csv.shards);
    if (!difference.empty())
        return path + ": another tournament than these options give (" + difference + ")";
    if (!pSlots.Take(csv, path, error))
        return error;
    return pLog.Continue(path, csv, pTournament, pOptions.shard, pOptions.shards)
               ? std::string()
               : path + ": cannot write it";
}

// The CSV each match is written into as it ends: new, or with --resume the one whose matches
// are not played again. False after saying why on stderr.
bool OpenCsv(const ArenaOptions& pOptions, const ArenaTournament& pTournament, CMatchSlots& pSlots,
             CArenaCsvLog& pLog)
{
    const std::string& path = pOptions.csvPath;
    std::string error;
    // A resumed run whose first part never got as far as writing its file starts it.
    struct stat info;
    if (pOptions.resume && stat(path.c_str(), &info) == 0 && info.st_size > 0)
        error = Resume(pOptions, pTournament, pSlots, pLog);
    else if (!pLog.Create(path, pTournament, pOptions.shard, pOptions.shards))
        error = path + ": cannot write it";
    if (!error.empty())
        std::fprintf(stderr, "ampwarden-arena: %s\n", Printable(error).c_str());
    return error.empty();
}
} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Asked anywhere, help and the version come first, with no data and no display needed.
    for (const std::string& arg : args)
    {
        if (arg == "--help" || arg == "-h" || arg == "-help")
        {
            std::fputs(ArenaUsage(), stdout);
            return 0;
        }
    }
    for (const std::string& arg : args)
    {
        if (arg == "--version")
        {
            std::printf("ampwarden-arena %s\n", ProgramVersion());
            return 0;
        }
    }
    if (IsReplayRequest(args))
        return RunReplayRequest(args);
    ArenaOptions options;
    std::string error;
    if (!ReadArenaOptions(args, options, error))
    {
        std::fprintf(stderr, "ampwarden-arena: %s\n", Printable(error).c_str());
        return 2;
    }
    if (options.watch)
        return Watch(options);
    if (options.merge)
        return Merge(options);

    CGameEngine::Instance().Configure(DisplayConfig::Default());
    options.catalogue = ArenaCatalogue(options.catalogue);
    if (options.catalogue.empty())
        return 1;
    if (!LoadStandInSprites(options.catalogue.c_str(), error))
    {
        std::fprintf(stderr, "ampwarden-arena: %s\n", Printable(error).c_str());
        return 1;
    }
    ArenaTournament tournament;
    tournament.version = ProgramVersion();
    tournament.rules = RULES_VERSION;
    tournament.data = DataFingerprint(options.catalogue.c_str());
    tournament.greenLevels = options.greenLevels;
    tournament.blueLevels = options.blueLevels;
    tournament.firstSeed = options.firstSeed;
    tournament.matches = options.matches;
    tournament.capSteps = options.CapSteps();
    const std::vector<ArenaMatchSetup> all = TournamentMatches(tournament);
    CMatchSlots slots(ShardMatches(all, options.shard, options.shards));
    CArenaCsvLog csv;
    if (!options.csvPath.empty() && !OpenCsv(options, tournament, slots, csv))
        return 1;
    const std::vector<ArenaMatchSetup> matches = slots.Missing();
    const size_t resumed = slots.Outcomes().size();

    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    const int jobs = options.jobs > 0 ? options.jobs : static_cast<int>(cores > 0 ? cores : 1);
    CProgress progress;
    bool written = true;
    RunTournament(matches, jobs,
                  [&](size_t pDone, size_t pTotal, const ArenaOutcome& pEnded)
                  {
                      slots.Put(pEnded);
                      if (!options.csvPath.empty() && written && !csv.Add(pEnded))
                      {
                          std::fprintf(stderr, "ampwarden-arena: cannot write %s\n",
                                       Printable(options.csvPath).c_str());
                          written = false;
                      }
                      progress.Report(pDone, pTotal);
                  });
    const double wall = progress.Seconds();
    written = csv.Close() && written;
    const std::vector<ArenaOutcome> outcomes = slots.Outcomes();

    Report(outcomes, options.greenLevels, options.blueLevels, options.list);
    const int crashes = Crashes(outcomes);
    std::string part;
    if (options.shards > 1)
        part += ", shard " + std::to_string(options.shard) + "/" + std::to_string(options.shards);
    if (options.resume)
        part += ", " + std::to_string(resumed) + " of them from " + options.csvPath;
    std::printf(
        "\n%zu matches (cap %.1f game minutes%s) in %.1f s with %d jobs, %d crashed; game seconds per "
        "second in each match process: %.0f by the wall clock, %.0f by processor time\n",
        outcomes.size(), options.capMinutes, part.c_str(), wall, jobs, crashes, GameSpeed(outcomes),
        GameSpeed(outcomes, true));
    std::printf("watch one: %s\n", WatchCommand(GamePath(), all.front()).c_str());
    if (!written)
        std::fprintf(stderr, "ampwarden-arena: cannot write %s\n", Printable(options.csvPath).c_str());
    return crashes || !written ? 1 : 0;
}
