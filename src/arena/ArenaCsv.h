#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "arena/ArenaTournament.h"
#include "arena/Tournament.h"

// A tournament's CSV as read back: the tournament line, the column names, then one row per
// match in the order the matches ended.
struct ArenaCsv
{
    ArenaTournament tournament;
    unsigned shard = 1;
    unsigned shards = 1;
    std::vector<ArenaOutcome> outcomes;
    std::vector<int> rowLines; // each outcome's line in the file, for messages
    // The file up to the end of its last whole row; anything after it was cut off mid-row.
    size_t wholeBytes = 0;
};

// The column names, and one match's row (both without the line's end).
std::string CsvColumns();
std::string CsvRow(const ArenaOutcome& pOutcome);

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

    // A new file holding the tournament line and the column names.
    bool Create(const std::string& pPath, const std::string& pTournamentLine);
    // An existing file, first cut back to its last whole row.
    bool Continue(const std::string& pPath, size_t pWholeBytes);
    bool Add(const ArenaOutcome& pOutcome);
    // False when anything failed to reach the file (then the file may lack rows).
    bool Close();

  private:
    bool Write(const std::string& pText);
    std::FILE* m_file = nullptr;
    bool m_ok = true;
};
