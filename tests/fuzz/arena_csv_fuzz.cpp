// Tournament CSVs through the arena's reader, as --resume and --merge read them, in either form;
// whatever it accepts must come back out as the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "arena/ArenaCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    const std::string text(reinterpret_cast<const char*>(pData), pSize);
    ArenaCsv csv;
    std::string why;
    if (!ParseArenaCsv(text, csv, why))
        return 0;
    if (csv.wholeBytes > text.size() || csv.outcomes.size() != csv.rowLines.size())
        std::abort();
    // Rows read are rows as written (numbers may have been spelt with leading zeros or '+'),
    // in the form the file had.
    const std::string head =
        csv.commented ? TournamentLine(csv.tournament, csv.shard, csv.shards) + "\n" + CsvColumns() + "\n"
                      : CsvColumns() + "," + TournamentColumns() + "\n";
    const std::string cells =
        csv.commented ? "" : "," + TournamentCells(csv.tournament, csv.shard, csv.shards);
    for (const ArenaOutcome& o : csv.outcomes)
    {
        ArenaCsv again;
        const std::string row = CsvRow(o) + cells;
        if (!ParseArenaCsv(head + row + "\n", again, why) || again.outcomes.size() != 1 ||
            CsvRow(again.outcomes[0]) + cells != row ||
            TournamentDifference(again.tournament, csv.tournament) != "")
            std::abort();
    }
    return 0;
}
