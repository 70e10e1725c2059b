#include "arena/ArenaPool.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "arena/ArenaCsv.h"
#include "arena/MatchSlots.h"

namespace
{
// What must agree between the tournaments pooled: only these, as TournamentDifference names them.
std::string RulesDifference(const ArenaTournament& pHere, const ArenaTournament& pThere)
{
    ArenaTournament levelled = pThere;
    levelled.greenLevels = pHere.greenLevels;
    levelled.blueLevels = pHere.blueLevels;
    levelled.firstSeed = pHere.firstSeed;
    levelled.matches = pHere.matches;
    return TournamentDifference(pHere, levelled);
}

void AddLevels(std::vector<unsigned>& pTo, const std::vector<unsigned>& pLevels)
{
    for (unsigned level : pLevels)
    {
        if (std::find(pTo.begin(), pTo.end(), level) == pTo.end())
            pTo.push_back(level);
    }
}
} // namespace

bool PoolArenaCsvs(const std::vector<std::string>& pPaths, bool pPartial, ArenaPool& pOut,
                   std::string& pError)
{
    std::vector<ArenaCsv> files(pPaths.size());
    // Each tournament's files, by index; a file with no row names none and adds nothing.
    std::vector<std::vector<size_t>> groups;
    for (size_t i = 0; i < pPaths.size(); ++i)
    {
        if (!LoadArenaCsv(pPaths[i], files[i], pError))
            return pError = pPaths[i] + ": " + pError, false;
        if (!files[i].named)
            continue;
        auto same = [&](const std::vector<size_t>& pGroup)
        { return TournamentDifference(files[i].tournament, files[pGroup[0]].tournament).empty(); };
        auto group = std::find_if(groups.begin(), groups.end(), same);
        if (group != groups.end())
        {
            group->push_back(i);
            continue;
        }
        const size_t first = groups.empty() ? i : groups[0][0];
        const std::string difference = RulesDifference(files[i].tournament, files[first].tournament);
        if (!difference.empty())
            return pError = pPaths[i] + ": not played as " + pPaths[first] + " was (" + difference + ")",
                   false;
        groups.push_back({i});
    }
    if (groups.empty())
        return pError = "no file has a match, so none names its tournament", false;

    ArenaPool pool;
    using Key = std::tuple<unsigned, unsigned, unsigned>;
    std::map<Key, std::pair<size_t, std::string>> taken; // the outcome's place, and where it came from
    for (const std::vector<size_t>& group : groups)
    {
        std::vector<const ArenaCsv*> shards;
        std::vector<std::string> paths;
        for (size_t i : group)
        {
            shards.push_back(&files[i]);
            paths.push_back(pPaths[i]);
        }
        std::vector<ArenaOutcome> outcomes;
        std::vector<std::string> from;
        size_t missing = 0;
        if (!MergeShardCsvs(shards, paths, outcomes, from, pError, pPartial ? &missing : nullptr))
            return false;
        pool.missing += missing;
        const ArenaTournament& tournament = files[group[0]].tournament;
        pool.tournaments.push_back(tournament);
        AddLevels(pool.greenLevels, tournament.greenLevels);
        AddLevels(pool.blueLevels, tournament.blueLevels);
        for (size_t k = 0; k < outcomes.size(); ++k)
        {
            const ArenaMatchSetup& s = outcomes[k].setup;
            const auto found = taken.find(Key(s.seed, s.greenLevel, s.blueLevel));
            if (found == taken.end())
            {
                taken.emplace(Key(s.seed, s.greenLevel, s.blueLevel),
                              std::make_pair(pool.outcomes.size(), from[k]));
                pool.outcomes.push_back(outcomes[k]);
            }
            else if (SameMatchResult(pool.outcomes[found->second.first], outcomes[k]))
                ++pool.duplicates;
            else
                return pError = from[k] + ": " + ArenaMatchName(s) + " with another result than in " +
                                found->second.second,
                       false;
        }
    }
    pOut = pool;
    return true;
}
