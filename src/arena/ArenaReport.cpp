#include "arena/ArenaReport.h"

#include "arena/ArenaCsv.h"

#include <cinttypes>
#include <cstdio>

#include "ai/Levels.h"

namespace
{

std::string MinutesSeconds(double pSteps)
{
    const int seconds = static_cast<int>(pSteps * 16.0 / 1000.0 + 0.5);
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::string Cell(const std::vector<ArenaOutcome>& pOutcomes, unsigned pGreen, unsigned pBlue)
{
    int count[4] = {};
    int crashes = 0;
    double decidedSteps = 0.0;
    int decided = 0;
    for (const ArenaOutcome& o : pOutcomes)
    {
        if (o.setup.greenLevel != pGreen || o.setup.blueLevel != pBlue)
            continue;
        if (o.crashed)
        {
            ++crashes;
            continue;
        }
        ++count[o.result.winner];
        if (o.result.winner != WINNER_NONE)
        {
            decidedSteps += o.result.steps;
            ++decided;
        }
    }
    std::string cell = std::to_string(count[WINNER_GREEN]) + "-" + std::to_string(count[WINNER_BLUE]) + "-" +
                       std::to_string(count[WINNER_NONE]);
    if (count[WINNER_TIE])
        cell += " t" + std::to_string(count[WINNER_TIE]);
    if (crashes)
        cell += " CRASH " + std::to_string(crashes);
    cell += decided ? "  " + MinutesSeconds(decidedSteps / decided) : "  -";
    return cell;
}
} // namespace

unsigned LevelCount()
{
    return LEVEL_COUNT;
}

void WriteWinTable(std::ostream& pOut, const std::vector<ArenaOutcome>& pOutcomes,
                   const std::vector<unsigned>& pGreenLevels, const std::vector<unsigned>& pBlueLevels)
{
    const int width = 22;
    char text[64];
    // Cells are padded to line up; the padding at a row's end is dropped.
    auto endRow = [&pOut](std::string pRow)
    {
        pRow.erase(pRow.find_last_not_of(' ') + 1);
        pOut << pRow << '\n';
    };
    pOut << "green wins - blue wins - undecided  mean length of decided matches (m:ss)\n";
    std::snprintf(text, sizeof text, "%-14s", "green \\ blue");
    std::string row = text;
    for (unsigned blue : pBlueLevels)
    {
        std::snprintf(text, sizeof text, "%-*s", width, LevelEntry(blue).name);
        row += text;
    }
    endRow(row);
    for (unsigned green : pGreenLevels)
    {
        std::snprintf(text, sizeof text, "%-14s", LevelEntry(green).name);
        row = text;
        for (unsigned blue : pBlueLevels)
        {
            std::snprintf(text, sizeof text, "%-*s", width, Cell(pOutcomes, green, blue).c_str());
            row += text;
        }
        endRow(row);
    }
}

void WriteCsv(std::ostream& pOut, const std::vector<ArenaOutcome>& pOutcomes)
{
    pOut << CsvColumns() << '\n';
    for (const ArenaOutcome& o : pOutcomes)
        pOut << CsvRow(o) << '\n';
}

std::string WatchCommand(const std::string& pGame, const ArenaMatchSetup& pSetup)
{
    return pGame + " -nointro -watch -seed " + std::to_string(pSetup.seed) + " -levels " +
           std::to_string(pSetup.greenLevel) + "," + std::to_string(pSetup.blueLevel);
}

std::string ListLine(const ArenaOutcome& pOutcome, const std::string& pGame)
{
    char text[160];
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016" PRIx64, pOutcome.result.hash);
    std::snprintf(text, sizeof text, "seed %u  green %u  blue %u  %-9s %6d steps (%s)  hash %s  ",
                  pOutcome.setup.seed, pOutcome.setup.greenLevel, pOutcome.setup.blueLevel,
                  pOutcome.crashed ? "crash" : WinnerName(pOutcome.result.winner), pOutcome.result.steps,
                  MinutesSeconds(pOutcome.result.steps).c_str(), hash);
    std::string line = text;
    if (pOutcome.crashed)
        line += "(" + pOutcome.crash + ")  ";
    return line + "watch: " + WatchCommand(pGame, pOutcome.setup);
}

double GameSpeed(const std::vector<ArenaOutcome>& pOutcomes, bool pByProcessorTime)
{
    double gameSeconds = 0.0;
    double wallSeconds = 0.0;
    for (const ArenaOutcome& o : pOutcomes)
    {
        if (o.crashed)
            continue;
        gameSeconds += o.result.steps * 16.0 / 1000.0;
        wallSeconds += pByProcessorTime ? o.cpuSeconds : o.result.wallSeconds;
    }
    return wallSeconds > 0.0 ? gameSeconds / wallSeconds : 0.0;
}
