#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "arena/ArenaCsv.h"

// A place for each match of a tournament (or of one shard), filled from CSVs and from matches
// played: it finds what is still missing and refuses a match given twice or not of these.
class CMatchSlots
{
  public:
    explicit CMatchSlots(const std::vector<ArenaMatchSetup>& pMatches);

    // Takes every row of a CSV read from pPath; false with one line naming the file and the
    // row at the first that is no match of these or one already taken.
    bool Take(const ArenaCsv& pCsv, const std::string& pPath, std::string& pError);
    // A match just played; it must be one still missing.
    void Put(const ArenaOutcome& pOutcome);

    std::vector<ArenaMatchSetup> Missing() const;
    // The matches taken, in the order given to the constructor, and where each came from.
    std::vector<ArenaOutcome> Outcomes() const;
    std::vector<std::string> Sources() const;

  private:
    using Key = std::tuple<unsigned, unsigned, unsigned>;
    static Key KeyOf(const ArenaMatchSetup& pSetup);

    std::vector<ArenaMatchSetup> m_matches;
    std::map<Key, size_t> m_index;
    std::vector<ArenaOutcome> m_outcomes;
    std::vector<std::string> m_from; // "FILE line N" or "this run"; empty while missing
};

// "seed S green G blue B", as messages name a match.
std::string ArenaMatchName(const ArenaMatchSetup& pSetup);
// Two runs of the same match differ only in their times.
bool SameMatchResult(ArenaOutcome pOne, ArenaOutcome pOther);

// Puts the CSVs of a tournament's shards back together, its matches in the tournament's order.
// False with one line naming the file when the files are of different tournaments, or a match
// is missing, given twice or not of the tournament. Given pMissing, a missing match is only
// counted there: the outcomes are what the files hold (a tournament cut short).
bool MergeArenaCsvs(const std::vector<std::string>& pPaths, ArenaTournament& pTournament,
                    std::vector<ArenaOutcome>& pOutcomes, std::string& pError, size_t* pMissing = nullptr);

// The same for CSVs already read, all of one tournament or naming none (pPaths names them in
// messages); pFrom gets each outcome's "FILE line N".
bool MergeShardCsvs(const std::vector<const ArenaCsv*>& pFiles, const std::vector<std::string>& pPaths,
                    std::vector<ArenaOutcome>& pOutcomes, std::vector<std::string>& pFrom,
                    std::string& pError, size_t* pMissing);
