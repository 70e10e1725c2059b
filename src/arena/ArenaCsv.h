#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "arena/ArenaTournament.h"
#include "arena/Tournament.h"

// A tournament's CSV as read back: the column names, then one row per match in the order the
// matches ended, each row naming its tournament in its last columns, so that standard CSV
// readers keep it. Files of the builds before begin with a "# ampwarden-arena tournament:"
// line instead, and their rows end at the match's columns.
struct ArenaCsv
{
    ArenaTournament tournament;
    unsigned shard = 1;
    unsigned shards = 1;
    bool named = false;     // a file with no row yet names no tournament
    bool commented = false; // the older form, with the tournament line
    std::vector<ArenaOutcome> outcomes;
    std::vector<int> rowLines; // each outcome's line in the file, for messages
    // The file up to the end of its last whole row; anything after it was cut off mid-row.
    size_t wholeBytes = 0;
};

// The match's column names, and one match's row (both without the line's end).
std::string CsvColumns();
std::string CsvRow(const ArenaOutcome& pOutcome);
// The columns that name the tournament, and their cells for one row (after a comma).
std::string TournamentColumns();
std::string TournamentCells(const ArenaTournament& pTournament, unsigned pShard, unsigned pShards);

// Reads a CSV up to its last whole line; false with a one-line reason ("line N: ...") at the
// first line that is not what the arena writes.
bool ParseArenaCsv(const std::string& pText, ArenaCsv& pOut, std::string& pError);
bool LoadArenaCsv(const std::string& pPath, ArenaCsv& pOut, std::string& pError);

// Writes a whole CSV at once (a merge's); false when the file cannot be written.
bool SaveArenaCsv(const std::string& pPath, const ArenaTournament& pTournament,
                  const std::vector<ArenaOutcome>& pOutcomes);

// Writes each match's row as it ends and flushes it to the disk before going on, so that a
// tournament stopped at any moment keeps every match that had ended.
class CArenaCsvLog
{
  public:
    CArenaCsvLog() = default;
    CArenaCsvLog(const CArenaCsvLog&) = delete;
    CArenaCsvLog& operator=(const CArenaCsvLog&) = delete;
    ~CArenaCsvLog();

    // A new file holding the column names.
    bool Create(const std::string& pPath, const ArenaTournament& pTournament, unsigned pShard,
                unsigned pShards);
    // An existing file as read, first cut back to its last whole row; its rows go on in its form.
    bool Continue(const std::string& pPath, const ArenaCsv& pCsv, const ArenaTournament& pTournament,
                  unsigned pShard, unsigned pShards);
    bool Add(const ArenaOutcome& pOutcome);
    // False when anything failed to reach the file (then the file may lack rows).
    bool Close();

  private:
    bool Write(const std::string& pText);
    std::FILE* m_file = nullptr;
    std::string m_cells; // what follows each match's row
    bool m_ok = true;
};
