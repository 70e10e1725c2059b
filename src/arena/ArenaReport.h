#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "arena/Tournament.h"

// How many computer levels there are: 0 to LevelCount() - 1.
unsigned LevelCount();

// The win-rate table: a row per green level, a column per blue level; each cell gives green
// wins - blue wins - undecided (ties and crashes follow when there are any) and the mean
// length of the decided matches in game minutes and seconds.
void WriteWinTable(std::ostream& pOut, const std::vector<ArenaOutcome>& pOutcomes,
                   const std::vector<unsigned>& pGreenLevels, const std::vector<unsigned>& pBlueLevels);

// One row per match, after a header naming the columns.
void WriteCsv(std::ostream& pOut, const std::vector<ArenaOutcome>& pOutcomes);

// The game command that shows a match in the window, from the game program's path.
std::string WatchCommand(const std::string& pGame, const ArenaMatchSetup& pSetup);

// One line per match for --list.
std::string ListLine(const ArenaOutcome& pOutcome, const std::string& pGame);

// Game seconds played per second of match time, over all matches that ended: by the wall
// clock, or by the processor time of the match processes.
double GameSpeed(const std::vector<ArenaOutcome>& pOutcomes, bool pByProcessorTime = false);
