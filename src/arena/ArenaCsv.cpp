#include "arena/ArenaCsv.h"

#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "arena/ArenaReport.h"
#include "engine/CommandLine.h"

namespace
{
const char* const KIND_NAMES[CTeam::m_nCooldowns] = {"extenders", "beams", "shields", "extractors",
                                                     "absorbers"};
const int FIELD_COUNT = 5 + 2 * CTeam::m_nCooldowns + 8;
// Far beyond any tournament's CSV (a million matches take about 150 MB).
const std::streamoff CSV_LIMIT = 2ll << 30;

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
    std::vector<std::string> fields;
    size_t start = 0;
    int line = 0;
    while (start < csv.wholeBytes)
    {
        const size_t end = pText.find('\n', start);
        const std::string text = pText.substr(start, end - start);
        start = end + 1;
        ++line;
        const std::string where = "line " + std::to_string(line) + ": ";
        if (line == 1)
        {
            if (!ReadTournamentLine(text, csv.tournament, csv.shard, csv.shards, pError))
                return pError = where + pError, false;
            continue;
        }
        if (line == 2)
        {
            if (text != CsvColumns())
                return pError = where + "not the arena's column names", false;
            continue;
        }
        ArenaOutcome outcome;
        if (!SplitRow(text, fields) || !ReadRow(fields, outcome))
            return pError = where + "not a match's row", false;
        outcome.setup.capSteps = csv.tournament.capSteps;
        csv.outcomes.push_back(outcome);
        csv.rowLines.push_back(line);
    }
    if (line < 2)
        return pError = "cut off before the column names", false;
    pOut = csv;
    return true;
}

bool LoadArenaCsv(const std::string& pPath, ArenaCsv& pOut, std::string& pError)
{
    std::ifstream in(pPath, std::ios::binary);
    if (!in)
        return pError = "cannot read it", false;
    std::ostringstream text;
    in.seekg(0, std::ios::end);
    if (in.tellg() > CSV_LIMIT)
        return pError = "larger than any tournament's CSV", false;
    in.seekg(0);
    text << in.rdbuf();
    if (in.bad())
        return pError = "cannot read it", false;
    return ParseArenaCsv(text.str(), pOut, pError);
}

bool SaveArenaCsv(const std::string& pPath, const ArenaTournament& pTournament,
                  const std::vector<ArenaOutcome>& pOutcomes)
{
    CArenaCsvLog log;
    bool ok = log.Create(pPath, TournamentLine(pTournament, 1, 1));
    for (const ArenaOutcome& o : pOutcomes)
        ok = ok && log.Add(o);
    return log.Close() && ok;
}

CArenaCsvLog::~CArenaCsvLog()
{
    Close();
}

bool CArenaCsvLog::Create(const std::string& pPath, const std::string& pTournamentLine)
{
    m_file = std::fopen(pPath.c_str(), "w");
    m_ok = m_file != nullptr;
    return m_ok && Write(pTournamentLine + "\n" + CsvColumns() + "\n");
}

bool CArenaCsvLog::Continue(const std::string& pPath, size_t pWholeBytes)
{
    m_ok = truncate(pPath.c_str(), static_cast<off_t>(pWholeBytes)) == 0 &&
           (m_file = std::fopen(pPath.c_str(), "a")) != nullptr;
    return m_ok;
}

bool CArenaCsvLog::Add(const ArenaOutcome& pOutcome)
{
    return Write(CsvRow(pOutcome) + "\n");
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
