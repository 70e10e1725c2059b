#include "arena/ArenaCsv.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include <unistd.h>

#include "arena/ArenaReport.h"
#include "engine/DataFile.h"
#include "engine/WholeNumber.h"

namespace
{
const char* const KIND_NAMES[CTeam::m_nCooldowns] = {"extenders", "beams", "shields", "extractors",
                                                     "absorbers"};
const int FIELD_COUNT = 5 + 2 * CTeam::m_nCooldowns + 8;
const int TOURNAMENT_FIELDS = 9;
// Far beyond any tournament's CSV (a million matches take about 150 MB).
const size_t CSV_LIMIT = size_t(512) << 20;

// Splits a row at its commas; a field in quotes may hold commas and doubled quotes.
bool SplitRow(const std::string& pLine, std::vector<std::string>& pFields)
{
    pFields.clear();
    size_t i = 0;
    while (true)
    {
        std::string field;
        if (i < pLine.size() && pLine[i] == '"')
        {
            for (++i;; ++i)
            {
                if (i >= pLine.size())
                    return false;
                if (pLine[i] == '"' && !(i + 1 < pLine.size() && pLine[i + 1] == '"'))
                    break;
                field += pLine[i];
                i += pLine[i] == '"' ? 1 : 0;
            }
            ++i;
            if (i < pLine.size() && pLine[i] != ',')
                return false;
        }
        else
        {
            const size_t comma = std::min(pLine.find(',', i), pLine.size());
            field = pLine.substr(i, comma - i);
            if (field.find('"') != std::string::npos)
                return false;
            i = comma;
        }
        pFields.push_back(field);
        if (i >= pLine.size())
            return true;
        ++i; // the comma
    }
}

// On the disk, not only in the system's cache; a pipe or terminal has no disk to reach.
bool Synced(std::FILE* pFile)
{
    return fdatasync(fileno(pFile)) == 0 || errno == EINVAL || errno == EROFS;
}

bool Whole(const std::string& pText, long long pMin, long long pMax, long long& pOut)
{
    return ParseWholeNumber(pText.c_str(), pMin, pMax, pOut);
}

bool Seconds(const std::string& pText, double& pOut)
{
    char* end = nullptr;
    pOut = std::strtod(pText.c_str(), &end);
    // Beyond 30 years is no time a match took; it would not fit the row written back either.
    return !pText.empty() && *end == '\0' && std::isfinite(pOut) && pOut >= 0.0 && pOut < 1e9;
}

bool ReadRow(const std::vector<std::string>& pFields, ArenaOutcome& pOut)
{
    if (static_cast<int>(pFields.size()) != FIELD_COUNT)
        return false;
    ArenaOutcome o;
    long long n[3] = {};
    const long long top = LevelCount() - 1;
    if (!Whole(pFields[0], 0, 4294967295ll, n[0]) || !Whole(pFields[1], 0, top, n[1]) ||
        !Whole(pFields[2], 0, top, n[2]))
        return false;
    o.setup.seed = static_cast<unsigned>(n[0]);
    o.setup.greenLevel = static_cast<unsigned>(n[1]);
    o.setup.blueLevel = static_cast<unsigned>(n[2]);
    o.crashed = pFields[3] == "crash";
    o.result.winner = -1;
    for (int winner = WINNER_NONE; winner <= WINNER_TIE; ++winner)
        o.result.winner = pFields[3] == WinnerName(winner) ? winner : o.result.winner;
    if (o.crashed)
        o.result.winner = WINNER_NONE;
    long long value = 0;
    if (o.result.winner < 0 || !Whole(pFields[4], 0, INT_MAX, value))
        return false;
    o.result.steps = static_cast<int>(value);
    size_t f = 5;
    for (int team = 1; team < CTeam::MAX_TIDS; ++team)
    {
        for (int tool = 0; tool < CTeam::m_nCooldowns; ++tool, ++f)
        {
            if (!Whole(pFields[f], 0, INT_MAX, value))
                return false;
            o.result.built[team][tool] = static_cast<int>(value);
        }
    }
    const std::string& hash = pFields[f++];
    char* end = nullptr;
    o.result.hash = std::strtoull(hash.c_str(), &end, 16);
    if (hash.size() != 16 || *end != '\0' ||
        hash.find_first_not_of("0123456789abcdef") != std::string::npos ||
        !Seconds(pFields[f++], o.result.wallSeconds) || !Seconds(pFields[f++], o.cpuSeconds))
        return false;
    o.crash = pFields[f++];
    // The reason is one line, as written.
    if (o.crashed == o.crash.empty() || o.crash.find('\r') != std::string::npos)
        return false;
    for (int team = 1; team < CTeam::MAX_TIDS; ++team)
    {
        if (!Whole(pFields[f++], LLONG_MIN, LLONG_MAX, o.result.earned[team]))
            return false;
    }
    for (int team = 1; team < CTeam::MAX_TIDS; ++team)
    {
        if (!Whole(pFields[f++], 0, INT_MAX, value))
            return false;
        o.result.lost[team] = static_cast<int>(value);
    }
    pOut = o;
    return true;
}

// A cell as RFC 4180 writes it: in quotes, quotes doubled, when it holds a comma or a quote.
std::string Cell(const std::string& pText)
{
    if (pText.find_first_of(",\"") == std::string::npos)
        return pText;
    std::string cell = "\"";
    for (char c : pText)
        cell += c == '"' ? std::string("\"\"") : std::string(1, c);
    return cell + "\"";
}

// A version or a fingerprint: printable, on one line, as the tournament line held them.
bool Word(const std::string& pText)
{
    if (pText.empty() || pText.size() > 64)
        return false;
    for (char c : pText)
    {
        if (c <= ' ' || c > '~')
            return false;
    }
    return true;
}

// Levels are written "0 2 3" in a cell, so that every comma of a row parts two columns.
std::string Commas(std::string pLevels)
{
    if (pLevels.find(',') != std::string::npos)
        return std::string();
    std::replace(pLevels.begin(), pLevels.end(), ' ', ',');
    return pLevels;
}

bool ReadTournamentCells(const std::vector<std::string>& pFields, ArenaCsv& pOut)
{
    const std::string* f = pFields.data() + FIELD_COUNT;
    ArenaTournament t;
    long long n[4] = {};
    if (!ParseWholeNumber(f[0].c_str(), 1, 1000000, n[0]) || !Word(f[1]) || !Word(f[2]) ||
        !ReadLevelList(Commas(f[3]), t.greenLevels) || !ReadLevelList(Commas(f[4]), t.blueLevels) ||
        !ParseWholeNumber(f[5].c_str(), 0, 4294967295ll, n[1]) ||
        !ParseWholeNumber(f[6].c_str(), 1, 1000000, n[2]) ||
        !ParseWholeNumber(f[7].c_str(), 1, 1 << 30, n[3]) || !ReadShard(f[8], pOut.shard, pOut.shards))
        return false;
    t.rules = static_cast<int>(n[0]);
    t.version = f[1];
    t.data = f[2];
    t.firstSeed = static_cast<unsigned>(n[1]);
    t.matches = static_cast<int>(n[2]);
    t.capSteps = static_cast<int>(n[3]);
    pOut.tournament = t;
    return true;
}
} // namespace

std::string CsvColumns()
{
    std::string columns = "seed,green_level,blue_level,winner,steps";
    for (const char* side : {"green", "blue"})
    {
        for (const char* kind : KIND_NAMES)
            columns += std::string(",") + side + "_" + kind;
    }
    return columns + ",hash,wall_seconds,cpu_seconds,crash,green_energy_earned,blue_energy_earned,"
                     "green_nodes_lost,blue_nodes_lost";
}

std::string TournamentColumns()
{
    return "rules,program,data,green_levels,blue_levels,first_seed,matches_per_pairing,cap_steps,shard";
}

std::string TournamentCells(const ArenaTournament& pTournament, unsigned pShard, unsigned pShards)
{
    auto levels = [](const std::vector<unsigned>& pLevels)
    {
        std::string text;
        for (unsigned level : pLevels)
            text += (text.empty() ? "" : " ") + std::to_string(level);
        return text;
    };
    return std::to_string(pTournament.rules) + "," + Cell(pTournament.version) + "," +
           Cell(pTournament.data) + "," + levels(pTournament.greenLevels) + "," +
           levels(pTournament.blueLevels) + "," + std::to_string(pTournament.firstSeed) + "," +
           std::to_string(pTournament.matches) + "," + std::to_string(pTournament.capSteps) + "," +
           std::to_string(pShard) + "/" + std::to_string(pShards);
}

std::string CsvRow(const ArenaOutcome& pOutcome)
{
    const ArenaOutcome& o = pOutcome;
    std::ostringstream row;
    row << o.setup.seed << ',' << o.setup.greenLevel << ',' << o.setup.blueLevel << ','
        << (o.crashed ? "crash" : WinnerName(o.result.winner)) << ',' << o.result.steps;
    for (int team = 1; team < CTeam::MAX_TIDS; ++team)
    {
        for (int tool = 0; tool < CTeam::m_nCooldowns; ++tool)
            row << ',' << o.result.built[team][tool];
    }
    char text[64];
    std::snprintf(text, sizeof text, ",%016" PRIx64 ",%.3f,%.3f", o.result.hash, o.result.wallSeconds,
                  o.cpuSeconds);
    row << text;
    // The reason is free text: quoted, with its quotes doubled and kept to one line.
    std::string crash;
    for (char c : o.crash)
        crash += c == '"' ? std::string("\"\"") : std::string(1, c == '\n' || c == '\r' ? ' ' : c);
    row << ",\"" << crash << '"';
    row << ',' << o.result.earned[1] << ',' << o.result.earned[2] << ',' << o.result.lost[1] << ','
        << o.result.lost[2];
    return row.str();
}

bool ParseArenaCsv(const std::string& pText, ArenaCsv& pOut, std::string& pError)
{
    ArenaCsv csv;
    const size_t lastEnd = pText.rfind('\n');
    csv.wholeBytes = lastEnd == std::string::npos ? 0 : lastEnd + 1;
    csv.commented = pText.compare(0, 1, "#") == 0 || pText.compare(0, 4, "\xef\xbb\xbf#") == 0;
    const int columnsLine = csv.commented ? 2 : 1;
    const std::string columns = CsvColumns() + (csv.commented ? "" : "," + TournamentColumns());
    std::vector<std::string> fields;
    size_t start = 0;
    int line = 0;
    while (start < csv.wholeBytes)
    {
        const size_t end = pText.find('\n', start);
        std::string text = pText.substr(start, end - start);
        // Line ends as RFC 4180 gives them, and the byte-order mark spreadsheets save, are read too.
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (line == 0 && text.compare(0, 3, "\xef\xbb\xbf") == 0)
            text.erase(0, 3);
        start = end + 1;
        ++line;
        const std::string where = "line " + std::to_string(line) + ": ";
        // No writer puts one there; a reader in C would see the row end at it.
        if (text.find('\0') != std::string::npos)
            return pError = where + "a NUL byte", false;
        if (line < columnsLine)
        {
            if (!ReadTournamentLine(text, csv.tournament, csv.shard, csv.shards, pError))
                return pError = where + pError, false;
            csv.named = true;
            continue;
        }
        if (line == columnsLine)
        {
            if (text != columns)
                return pError = where + "not the arena's column names", false;
            continue;
        }
        ArenaOutcome outcome;
        const size_t count = FIELD_COUNT + (csv.commented ? 0 : TOURNAMENT_FIELDS);
        if (!SplitRow(text, fields) || fields.size() != count ||
            !ReadRow({fields.begin(), fields.begin() + FIELD_COUNT}, outcome))
            return pError = where + "not a match's row", false;
        if (!csv.commented)
        {
            // Every row names the tournament; they all name the same one.
            ArenaCsv row;
            if (!ReadTournamentCells(fields, row))
                return pError = where + "not a match's row", false;
            std::string difference = TournamentDifference(row.tournament, csv.tournament);
            if (difference.empty() && (row.shard != csv.shard || row.shards != csv.shards))
                difference = "shard " + std::to_string(row.shard) + "/" + std::to_string(row.shards);
            if (csv.named && !difference.empty())
                return pError = where + "another tournament than the rows above (" + difference + ")", false;
            csv.tournament = row.tournament;
            csv.shard = row.shard;
            csv.shards = row.shards;
            csv.named = true;
        }
        outcome.setup.capSteps = csv.tournament.capSteps;
        csv.outcomes.push_back(outcome);
        csv.rowLines.push_back(line);
    }
    if (line < columnsLine)
        return pError = "cut off before the column names", false;
    pOut = csv;
    return true;
}

bool LoadArenaCsv(const std::string& pPath, ArenaCsv& pOut, std::string& pError)
{
    std::string text;
    return ReadRegularFile(pPath, CSV_LIMIT, text, pError) && ParseArenaCsv(text, pOut, pError);
}

bool SaveArenaCsv(const std::string& pPath, const ArenaTournament& pTournament,
                  const std::vector<ArenaOutcome>& pOutcomes)
{
    CArenaCsvLog log;
    bool ok = log.Create(pPath, pTournament, 1, 1);
    for (const ArenaOutcome& o : pOutcomes)
        ok = ok && log.Add(o);
    return log.Close() && ok;
}

CArenaCsvLog::~CArenaCsvLog()
{
    Close();
}

bool CArenaCsvLog::Create(const std::string& pPath, const ArenaTournament& pTournament, unsigned pShard,
                          unsigned pShards)
{
    m_cells = "," + TournamentCells(pTournament, pShard, pShards);
    m_file = std::fopen(pPath.c_str(), "w");
    m_ok = m_file != nullptr;
    return m_ok && Write(CsvColumns() + "," + TournamentColumns() + "\n");
}

bool CArenaCsvLog::Continue(const std::string& pPath, const ArenaCsv& pCsv,
                            const ArenaTournament& pTournament, unsigned pShard, unsigned pShards)
{
    m_cells = pCsv.commented ? "" : "," + TournamentCells(pTournament, pShard, pShards);
    m_ok = truncate(pPath.c_str(), static_cast<off_t>(pCsv.wholeBytes)) == 0 &&
           (m_file = std::fopen(pPath.c_str(), "a")) != nullptr;
    return m_ok;
}

bool CArenaCsvLog::Add(const ArenaOutcome& pOutcome)
{
    return Write(CsvRow(pOutcome) + m_cells + "\n");
}

bool CArenaCsvLog::Write(const std::string& pText)
{
    m_ok = m_ok && m_file && std::fwrite(pText.data(), 1, pText.size(), m_file) == pText.size() &&
           std::fflush(m_file) == 0 && Synced(m_file);
    return m_ok;
}

bool CArenaCsvLog::Close()
{
    if (m_file)
    {
        m_ok = std::fclose(m_file) == 0 && m_ok;
        m_file = nullptr;
    }
    return m_ok;
}
