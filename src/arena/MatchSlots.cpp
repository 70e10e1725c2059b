#include "arena/MatchSlots.h"

#include <algorithm>

#include "engine/Assert.h"

std::string ArenaMatchName(const ArenaMatchSetup& pSetup)
{
    return "seed " + std::to_string(pSetup.seed) + " green " + std::to_string(pSetup.greenLevel) + " blue " +
           std::to_string(pSetup.blueLevel);
}

bool SameMatchResult(ArenaOutcome pOne, ArenaOutcome pOther)
{
    pOne.result.wallSeconds = pOther.result.wallSeconds = 0.0;
    pOne.cpuSeconds = pOther.cpuSeconds = 0.0;
    return CsvRow(pOne) == CsvRow(pOther);
}

CMatchSlots::CMatchSlots(const std::vector<ArenaMatchSetup>& pMatches)
    : m_matches(pMatches), m_outcomes(pMatches.size()), m_from(pMatches.size())
{
    for (size_t i = 0; i < m_matches.size(); ++i)
        m_index.emplace(KeyOf(m_matches[i]), i);
}

CMatchSlots::Key CMatchSlots::KeyOf(const ArenaMatchSetup& pSetup)
{
    return Key(pSetup.seed, pSetup.greenLevel, pSetup.blueLevel);
}

bool CMatchSlots::Take(const ArenaCsv& pCsv, const std::string& pPath, std::string& pError)
{
    for (size_t row = 0; row < pCsv.outcomes.size(); ++row)
    {
        const ArenaOutcome& outcome = pCsv.outcomes[row];
        const std::string here = pPath + " line " + std::to_string(pCsv.rowLines[row]);
        const auto found = m_index.find(KeyOf(outcome.setup));
        if (found == m_index.end())
            return pError =
                       here + ": " + ArenaMatchName(outcome.setup) + " is not a match of this tournament",
                   false;
        const size_t i = found->second;
        if (!m_from[i].empty())
        {
            const bool same = SameMatchResult(m_outcomes[i], outcome);
            return pError = here + ": " + ArenaMatchName(outcome.setup) +
                            (same ? " again" : " with another result") + ", as in " + m_from[i],
                   false;
        }
        m_outcomes[i] = outcome;
        m_from[i] = here;
    }
    return true;
}

void CMatchSlots::Put(const ArenaOutcome& pOutcome)
{
    const auto found = m_index.find(KeyOf(pOutcome.setup));
    AW_ASSERT(found != m_index.end() && m_from[found->second].empty());
    m_outcomes[found->second] = pOutcome;
    m_from[found->second] = "this run";
}

std::vector<ArenaMatchSetup> CMatchSlots::Missing() const
{
    std::vector<ArenaMatchSetup> missing;
    for (size_t i = 0; i < m_matches.size(); ++i)
    {
        if (m_from[i].empty())
            missing.push_back(m_matches[i]);
    }
    return missing;
}

std::vector<std::string> CMatchSlots::Sources() const
{
    std::vector<std::string> sources;
    for (const std::string& from : m_from)
    {
        if (!from.empty())
            sources.push_back(from);
    }
    return sources;
}

std::vector<ArenaOutcome> CMatchSlots::Outcomes() const
{
    std::vector<ArenaOutcome> outcomes;
    for (size_t i = 0; i < m_matches.size(); ++i)
    {
        if (!m_from[i].empty())
            outcomes.push_back(m_outcomes[i]);
    }
    return outcomes;
}

bool MergeShardCsvs(const std::vector<const ArenaCsv*>& pFiles, const std::vector<std::string>& pPaths,
                    std::vector<ArenaOutcome>& pOutcomes, std::vector<std::string>& pFrom,
                    std::string& pError, size_t* pMissing)
{
    const ArenaCsv* named = nullptr;
    for (const ArenaCsv* file : pFiles)
        named = named ? named : (file->named ? file : nullptr);
    if (!named)
        return pError = "no file has a match, so none names its tournament", false;
    const std::vector<ArenaMatchSetup> matches = TournamentMatches(named->tournament);
    CMatchSlots slots(matches);
    for (size_t i = 0; i < pFiles.size(); ++i)
    {
        if (!slots.Take(*pFiles[i], pPaths[i], pError))
            return false;
    }
    const std::vector<ArenaMatchSetup> missing = slots.Missing();
    if (pMissing)
        *pMissing = missing.size();
    else if (!missing.empty())
    {
        // Whose shard it is, by the first named file's count of shards: the file not given or cut short.
        size_t index = 0;
        while (ArenaMatchName(matches[index]) != ArenaMatchName(missing[0]))
            ++index;
        const unsigned shards = named->shards;
        return pError = "no file has the match " + ArenaMatchName(missing[0]) + ", of shard " +
                        std::to_string(index % shards + 1) + "/" + std::to_string(shards) + " (" +
                        std::to_string(missing.size()) + " matches missing)",
               false;
    }
    pOutcomes = slots.Outcomes();
    pFrom = slots.Sources();
    return true;
}

bool MergeArenaCsvs(const std::vector<std::string>& pPaths, ArenaTournament& pTournament,
                    std::vector<ArenaOutcome>& pOutcomes, std::string& pError, size_t* pMissing)
{
    if (pPaths.empty())
        return pError = "--merge needs the CSV files of a tournament's shards", false;
    std::vector<ArenaCsv> files(pPaths.size());
    std::vector<const ArenaCsv*> read;
    size_t first = pPaths.size(); // the first file that names its tournament (a file with no row names none)
    for (size_t i = 0; i < pPaths.size(); ++i)
    {
        if (!LoadArenaCsv(pPaths[i], files[i], pError))
            return pError = pPaths[i] + ": " + pError, false;
        read.push_back(&files[i]);
        if (!files[i].named)
            continue;
        first = std::min(first, i);
        const std::string difference = TournamentDifference(files[i].tournament, files[first].tournament);
        if (!difference.empty())
            return pError =
                       pPaths[i] + ": another tournament than " + pPaths[first] + "'s (" + difference + ")",
                   false;
    }
    std::vector<std::string> from;
    if (!MergeShardCsvs(read, pPaths, pOutcomes, from, pError, pMissing))
        return false;
    pTournament = files[first].tournament;
    return true;
}
