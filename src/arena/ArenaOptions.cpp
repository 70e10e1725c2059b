#include "arena/ArenaOptions.h"

#include <cmath>
#include <cstdlib>

#include "arena/ArenaTournament.h"
#include "engine/WholeNumber.h"

int ArenaOptions::CapSteps() const
{
    return static_cast<int>(std::lround(capMinutes * 60000.0 / 16.0));
}

namespace
{
bool ReadMinutes(const std::string& pText, double& pOut)
{
    if (pText.empty())
        return false;
    char* end = nullptr;
    double minutes = std::strtod(pText.c_str(), &end);
    // A match of more than a day is a typing error, not a tournament.
    if (*end != '\0' || !std::isfinite(minutes) || minutes <= 0.0 || minutes > 1440.0)
        return false;
    pOut = minutes;
    return true;
}
} // namespace

bool ReadArenaOptions(const std::vector<std::string>& pArgs, ArenaOptions& pOut, std::string& pError)
{
    // A merge takes its tournament from its files; only these go with it.
    std::string tournamentOption;
    for (size_t i = 0; i < pArgs.size(); ++i)
    {
        const std::string& name = pArgs[i];
        if (name == "--help" || name == "-h" || name == "-help")
        {
            pOut.help = true;
            continue;
        }
        if (name == "--version")
        {
            pOut.version = true;
            continue;
        }
        if (name == "--list")
        {
            pOut.list = true;
            continue;
        }
        if (name == "--resume")
        {
            pOut.resume = true;
            tournamentOption = name;
            continue;
        }
        if (name == "--partial" || name == "--pool")
        {
            (name == "--pool" ? pOut.pool : pOut.partial) = true;
            continue;
        }
        if (name == "--merge")
        {
            pOut.merge = true;
            while (i + 1 < pArgs.size() && pArgs[i + 1].compare(0, 2, "--") != 0)
                pOut.mergePaths.push_back(pArgs[++i]);
            continue;
        }
        const bool takesValue = name == "--levels" || name == "--green" || name == "--blue" ||
                                name == "--matches" || name == "--seed" || name == "--jobs" ||
                                name == "--cap-minutes" || name == "--csv" || name == "--watch" ||
                                name == "--catalogue" || name == "--shard";
        if (!takesValue)
        {
            pError = "unknown option '" + name + "' (see --help)";
            return false;
        }
        if (i + 1 >= pArgs.size())
        {
            pError = name + " needs a value (see --help)";
            return false;
        }
        const std::string& value = pArgs[++i];
        if (name != "--csv" && name != "--catalogue")
            tournamentOption = name;
        long long number = 0;
        bool ok = true;
        if (name == "--levels")
        {
            ok = ReadLevelList(value, pOut.greenLevels);
            pOut.blueLevels = pOut.greenLevels;
        }
        else if (name == "--green")
            ok = ReadLevelList(value, pOut.greenLevels);
        else if (name == "--blue")
            ok = ReadLevelList(value, pOut.blueLevels);
        else if (name == "--matches")
            ok = ParseWholeNumber(value.c_str(), 1, 1000000, number) && (pOut.matches = int(number), true);
        else if (name == "--seed")
            ok = ParseWholeNumber(value.c_str(), 0, 4294967295ll, number) &&
                 (pOut.firstSeed = unsigned(number), true);
        else if (name == "--jobs")
            ok = ParseWholeNumber(value.c_str(), 1, 256, number) && (pOut.jobs = int(number), true);
        else if (name == "--cap-minutes")
            ok = ReadMinutes(value, pOut.capMinutes);
        else if (name == "--csv")
            ok = !(pOut.csvPath = value).empty();
        else if (name == "--catalogue")
            ok = !(pOut.catalogue = value).empty();
        else if (name == "--shard")
            ok = ReadShard(value, pOut.shard, pOut.shards);
        else if (name == "--watch")
        {
            ok = ParseWholeNumber(value.c_str(), 0, 4294967295ll, number);
            pOut.watch = true;
            pOut.watchSeed = static_cast<unsigned>(number);
        }
        if (!ok)
        {
            pError = "bad value '" + value + "' for " + name + " (see --help)";
            return false;
        }
    }
    if (pOut.merge && pOut.mergePaths.empty())
    {
        pError = "--merge needs the CSV files of a tournament's shards";
        return false;
    }
    if (pOut.merge && !tournamentOption.empty())
    {
        pError = "--merge takes the tournament from its files: " + tournamentOption + " does not go with it";
        return false;
    }
    if ((pOut.partial || pOut.pool) && !pOut.merge)
    {
        pError = std::string(pOut.pool ? "--pool" : "--partial") + " goes only with --merge";
        return false;
    }
    if (pOut.pool && !pOut.csvPath.empty())
    {
        pError = "--csv does not go with --pool: a CSV holds one tournament";
        return false;
    }
    if (pOut.resume && pOut.csvPath.empty())
    {
        pError = "--resume needs the --csv file of the tournament to go on with";
        return false;
    }
    if (pOut.watch && (pOut.greenLevels.size() != 1 || pOut.blueLevels.size() != 1))
    {
        pError = "--watch shows one match: give one level each with --green and --blue";
        return false;
    }
    return true;
}

const char* ArenaUsage()
{
    return "usage: ampwarden-arena [options]\n"
           "Plays seeded computer-versus-computer matches headless and reports who wins.\n"
           "Every ordered pairing of a green level with a blue level plays the same seeds;\n"
           "match i of a pairing uses seed S+i. Levels: 0 Very Easy, 1 Easy, 2 Normal,\n"
           "3 Hard, 4 Expert, 5-8 Paced 6, 12, 24, 48 (for measuring), 9 Gentle, 10 Mild,\n"
           "11 Steady, 12 Moderate, 13 Firm, 14 Keen, 15 Brisk, 16 Sharp, 17 Bold. Under the\n"
           "table:"
           " each level's rating (Very Easy = 0, 400 points = 10:1 odds) with its 95 %\n"
           "error bar.\n"
           "\n"
           "  --levels L,L,...   levels for both colours (default 0,1,2,3,4)\n"
           "  --green L,L,...    green's levels only\n"
           "  --blue L,L,...     blue's levels only\n"
           "  --matches N        matches per ordered pairing (default 10)\n"
           "  --seed S           first seed (default 1)\n"
           "  --jobs J           matches played at once, each in its own process\n"
           "                     (default: the number of cores)\n"
           "  --cap-minutes M    game minutes before a match counts as undecided (default 15)\n"
           "  --csv FILE         write every match as one CSV row to FILE as it ends, after the\n"
           "                     column names; each row names its tournament in its last columns\n"
           "  --shard K/N        play only the K-th of N disjoint slices of the matches: match i\n"
           "                     (from 0, in the order green level, blue level, seed) falls in\n"
           "                     shard i mod N + 1\n"
           "  --resume           go on with the tournament of the --csv FILE: play only the\n"
           "                     matches it lacks and add them; the table covers them all\n"
           "  --merge CSV...     play nothing: put the CSVs of a tournament's shards together\n"
           "                     and print its table (with --csv FILE, write the merged CSV)\n"
           "  --partial          with --merge: go on without the matches no file has (a\n"
           "                     tournament cut short) and say how many they are\n"
           "  --pool             with --merge: the CSVs may be of several tournaments played\n"
           "                     by the same program, rules, data and cap (other levels, seeds\n"
           "                     or match counts); each tournament's shards are put together\n"
           "                     as above, then every match counts once: one given again with\n"
           "                     the same result is ignored, with another result refused. The\n"
           "                     table shows what each pairing played; no --csv\n"
           "  --list             print every match, with the command that shows it in the game\n"
           "  --catalogue FILE   the resource catalogue whose sprites the game knows (default:\n"
           "                     Data/resources.xml in the working directory, else in the\n"
           "                     folder AMPWARDEN_DATA names)\n"
           "  --watch S          show the match of seed S in the game's window instead;\n"
           "                     give its levels with --green G --blue B\n"
           "  --verify FILE...   play each replay headless and check it: one line per file, ok\n"
           "                     with steps, winner and final hash, or the first checkpoint or\n"
           "                     end line that differs, or nothing to compare, or why the file\n"
           "                     is refused (exit 1 unless all agree)\n"
           "  --trace FILE       print the state hash after every step of a replay\n"
           "  --dump-step S FILE print every node's state at step S of a replay\n"
           "  --help, -h, -help  this text\n"
           "  --version          the program's name and version\n"
           "\n"
           "Exit status: 0 when every match ran to its end or cap, 1 when a match crashed\n"
           "(recorded in the table and the CSV), a file could not be read or written, or\n"
           "--resume or --merge refused a CSV, 2 for a bad option.\n";
}
