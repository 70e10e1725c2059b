#include "arena/ArenaTournament.h"

#include <sstream>

#include "arena/ArenaReport.h"
#include "engine/WholeNumber.h"

namespace
{
const char LINE_START[] = "# ampwarden-arena tournament:";

std::string LevelList(const std::vector<unsigned>& pLevels)
{
    std::string text;
    for (unsigned level : pLevels)
        text += (text.empty() ? "" : ",") + std::to_string(level);
    return text;
}

// The keys of the line in the order they are written; each must appear once.
struct Fields
{
    std::string version, data, green, blue, seed, matches, capSteps, shard;
};

std::string* Field(Fields& pFields, const std::string& pKey)
{
    if (pKey == "version")
        return &pFields.version;
    if (pKey == "data")
        return &pFields.data;
    if (pKey == "green")
        return &pFields.green;
    if (pKey == "blue")
        return &pFields.blue;
    if (pKey == "seed")
        return &pFields.seed;
    if (pKey == "matches")
        return &pFields.matches;
    if (pKey == "cap_steps")
        return &pFields.capSteps;
    if (pKey == "shard")
        return &pFields.shard;
    return nullptr;
}
} // namespace

bool ReadLevelList(const std::string& pText, std::vector<unsigned>& pOut)
{
    std::vector<unsigned> levels;
    size_t start = 0;
    while (start <= pText.size())
    {
        size_t comma = pText.find(',', start);
        if (comma == std::string::npos)
            comma = pText.size();
        long long level = 0;
        if (!ParseWholeNumber(pText.substr(start, comma - start).c_str(), 0, LevelCount() - 1, level))
            return false;
        // A level named twice would play its pairings twice over under the same seeds.
        for (unsigned earlier : levels)
        {
            if (earlier == level)
                return false;
        }
        levels.push_back(static_cast<unsigned>(level));
        start = comma + 1;
    }
    pOut = levels;
    return true;
}

std::vector<ArenaMatchSetup> TournamentMatches(const ArenaTournament& pTournament)
{
    std::vector<ArenaMatchSetup> matches;
    for (unsigned green : pTournament.greenLevels)
    {
        for (unsigned blue : pTournament.blueLevels)
        {
            for (int i = 0; i < pTournament.matches; ++i)
            {
                ArenaMatchSetup setup;
                setup.seed = pTournament.firstSeed + static_cast<unsigned>(i);
                setup.greenLevel = green;
                setup.blueLevel = blue;
                setup.capSteps = pTournament.capSteps;
                matches.push_back(setup);
            }
        }
    }
    return matches;
}

std::vector<ArenaMatchSetup> ShardMatches(const std::vector<ArenaMatchSetup>& pMatches, unsigned pShard,
                                          unsigned pShards)
{
    std::vector<ArenaMatchSetup> shard;
    for (size_t i = pShard - 1; i < pMatches.size(); i += pShards)
        shard.push_back(pMatches[i]);
    return shard;
}

bool ReadShard(const std::string& pText, unsigned& pShard, unsigned& pShards)
{
    const size_t slash = pText.find('/');
    long long shard = 0;
    long long shards = 0;
    if (slash == std::string::npos || !ParseWholeNumber(pText.substr(0, slash).c_str(), 1, 1000000, shard) ||
        !ParseWholeNumber(pText.substr(slash + 1).c_str(), 1, 1000000, shards) || shard > shards)
        return false;
    pShard = static_cast<unsigned>(shard);
    pShards = static_cast<unsigned>(shards);
    return true;
}

std::string TournamentLine(const ArenaTournament& pTournament, unsigned pShard, unsigned pShards)
{
    return std::string(LINE_START) + " version=" + pTournament.version + " data=" + pTournament.data +
           " green=" + LevelList(pTournament.greenLevels) + " blue=" + LevelList(pTournament.blueLevels) +
           " seed=" + std::to_string(pTournament.firstSeed) +
           " matches=" + std::to_string(pTournament.matches) +
           " cap_steps=" + std::to_string(pTournament.capSteps) + " shard=" + std::to_string(pShard) + "/" +
           std::to_string(pShards);
}

bool ReadTournamentLine(const std::string& pLine, ArenaTournament& pOut, unsigned& pShard, unsigned& pShards,
                        std::string& pError)
{
    if (pLine.compare(0, sizeof LINE_START - 1, LINE_START) != 0)
        return pError = "not an arena CSV: it does not start with \"" + std::string(LINE_START) + "\"", false;
    Fields fields;
    std::istringstream words(pLine.substr(sizeof LINE_START - 1));
    std::string word;
    while (words >> word)
    {
        const size_t equals = word.find('=');
        std::string* field = Field(fields, word.substr(0, equals));
        if (equals == std::string::npos || !field || !field->empty() || equals + 1 == word.size())
            return pError = "unknown or repeated \"" + word + "\" in the tournament line", false;
        *field = word.substr(equals + 1);
    }
    ArenaTournament tournament;
    tournament.version = fields.version;
    tournament.data = fields.data;
    long long seed = 0;
    long long matches = 0;
    long long capSteps = 0;
    if (fields.version.empty() || fields.data.empty() ||
        !ReadLevelList(fields.green, tournament.greenLevels) ||
        !ReadLevelList(fields.blue, tournament.blueLevels) ||
        !ParseWholeNumber(fields.seed.c_str(), 0, 4294967295ll, seed) ||
        !ParseWholeNumber(fields.matches.c_str(), 1, 1000000, matches) ||
        !ParseWholeNumber(fields.capSteps.c_str(), 1, 1 << 30, capSteps) ||
        !ReadShard(fields.shard, pShard, pShards))
        return pError = "a missing or bad value in the tournament line", false;
    tournament.firstSeed = static_cast<unsigned>(seed);
    tournament.matches = static_cast<int>(matches);
    tournament.capSteps = static_cast<int>(capSteps);
    pOut = tournament;
    return true;
}

std::string TournamentDifference(const ArenaTournament& pHere, const ArenaTournament& pThere)
{
    auto differ = [](const char* pName, const std::string& pHere, const std::string& pThere)
    { return pHere == pThere ? std::string() : std::string(pName) + " " + pHere + ", not " + pThere; };
    for (const std::string& difference :
         {differ("rules", std::to_string(pHere.rules), std::to_string(pThere.rules)),
          differ("version", pHere.version, pThere.version), differ("data", pHere.data, pThere.data),
          differ("green", LevelList(pHere.greenLevels), LevelList(pThere.greenLevels)),
          differ("blue", LevelList(pHere.blueLevels), LevelList(pThere.blueLevels)),
          differ("seed", std::to_string(pHere.firstSeed), std::to_string(pThere.firstSeed)),
          differ("matches", std::to_string(pHere.matches), std::to_string(pThere.matches)),
          differ("cap_steps", std::to_string(pHere.capSteps), std::to_string(pThere.capSteps))})
    {
        if (!difference.empty())
            return difference;
    }
    return std::string();
}
