#include "ui/ReplayList.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "ai/Levels.h"

namespace
{
// A header is a few short lines; the head read holds it with room to spare.
const size_t HEAD_BYTES = 2048;
const size_t TAIL_BYTES = 256;
const int STEP_MS = 16;

std::string SideName(const CReplaySide& pSide)
{
    if (!pSide.computer)
        return pSide.name.empty() ? "Player" : pSide.name;
    return std::string("Computer (") + LevelEntry(pSide.level).name + ")";
}

std::string ResultOf(const std::string& pWinner)
{
    if (pWinner == "green")
        return "Green won";
    if (pWinner == "blue")
        return "Blue won";
    if (pWinner == "tie")
        return "Tie";
    return "Undecided";
}

std::string FileTime(time_t pTime)
{
    std::tm utc{};
    gmtime_r(&pTime, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

// The last complete line of the text, empty for none.
std::string LastLine(const std::string& pText)
{
    if (pText.empty() || pText.back() != '\n')
        return std::string();
    const size_t start = pText.rfind('\n', pText.size() - 2);
    return pText.substr(start == std::string::npos ? 0 : start + 1, pText.size() - 1 - (start + 1));
}

// The step a "cmd", "check" or "end" line names, -1 for none.
int StepOf(const std::string& pLine)
{
    const size_t space = pLine.find(' ');
    if (space == std::string::npos)
        return -1;
    const std::string key = pLine.substr(0, space);
    if (key != "cmd" && key != "check" && key != "end")
        return -1;
    int step = 0;
    size_t at = space + 1;
    if (at >= pLine.size() || pLine[at] < '0' || pLine[at] > '9')
        return -1;
    for (; at < pLine.size() && pLine[at] >= '0' && pLine[at] <= '9'; ++at)
    {
        step = step * 10 + (pLine[at] - '0');
        if (step > ReplayFormat::STEP_LIMIT)
            return -1;
    }
    return step;
}
} // namespace

CReplayEntry ReadReplayEntry(const std::string& pPath, const CReplayExpect& pExpect)
{
    CReplayEntry entry;
    entry.path = pPath;
    const int fd = open(pPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info;
    const bool known = fd >= 0 && fstat(fd, &info) == 0;
    if (known)
        entry.date = FileTime(info.st_mtime);
    if (!known || !S_ISREG(info.st_mode))
    {
        entry.why = fd < 0 ? std::strerror(errno) : "not a regular file";
        if (fd >= 0)
            close(fd);
        entry.result = "Unreadable";
        return entry;
    }
    const size_t size = static_cast<size_t>(info.st_size);
    std::string head(std::min(size, HEAD_BYTES), '\0');
    const ssize_t got = pread(fd, &head[0], head.size(), 0);
    std::string tail(std::min(size, TAIL_BYTES), '\0');
    const ssize_t gotTail = pread(fd, &tail[0], tail.size(), static_cast<off_t>(size - tail.size()));
    close(fd);
    if (got < 0 || gotTail < 0)
    {
        entry.why = std::strerror(errno);
        entry.result = "Unreadable";
        return entry;
    }
    head.resize(static_cast<size_t>(got));
    tail.resize(static_cast<size_t>(gotTail));
    if (size > ReplayFormat::FILE_LIMIT)
    {
        entry.why = "larger than a replay can be";
        entry.result = "Unreadable";
        return entry;
    }
    // A head cut in the middle of a line reads as a recording cut short there.
    if (head.size() < size)
        head.resize(head.rfind('\n') == std::string::npos ? 0 : head.rfind('\n') + 1);
    CReplay replay;
    std::string why;
    if (!ParseReplay(head, CReplayExpect(), replay, why))
    {
        entry.why = why;
        entry.result = "Unreadable";
        return entry;
    }
    entry.readable = true;
    const CReplayHeader& header = replay.header;
    if (!header.date.empty())
    {
        entry.date = header.date;
        std::replace(entry.date.begin(), entry.date.end(), 'T', ' ');
        entry.date.erase(std::remove(entry.date.begin(), entry.date.end(), 'Z'), entry.date.end());
    }
    for (int side = 0; side < 2; ++side)
    {
        entry.sides[side] = SideName(header.sides[side]);
        entry.human = entry.human || !header.sides[side].computer;
    }
    CReplay checked;
    entry.playable = ParseReplay(head, pExpect, checked, entry.why);
    const std::string last = LastLine(head.size() == size ? head : tail);
    entry.steps = StepOf(last);
    if (last.compare(0, 4, "end ") == 0)
    {
        const size_t from = last.find(' ', 4);
        const size_t to = from == std::string::npos ? from : last.find(' ', from + 1);
        entry.result = ResultOf(from == std::string::npos ? "" : last.substr(from + 1, to - from - 1));
    }
    else
    {
        entry.result = "Cut short";
    }
    return entry;
}

std::vector<CReplayEntry> ListReplays(const std::string& pFolder, const CReplayExpect& pExpect)
{
    std::vector<CReplayEntry> entries;
    DIR* dir = opendir(pFolder.c_str());
    if (!dir)
        return entries;
    while (const dirent* item = readdir(dir))
    {
        const std::string name = item->d_name;
        const std::string suffix = ".replay";
        if (name.size() <= suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        entries.push_back(ReadReplayEntry(pFolder + "/" + name, pExpect));
    }
    closedir(dir);
    return ArrangeReplays(std::move(entries), ORDER_NEWEST, false);
}

std::vector<CReplayEntry> ArrangeReplays(std::vector<CReplayEntry> pEntries, ReplayOrder pOrder, bool pMine)
{
    if (pMine)
        pEntries.erase(
            std::remove_if(pEntries.begin(), pEntries.end(), [](const CReplayEntry& e) { return !e.human; }),
            pEntries.end());
    std::stable_sort(pEntries.begin(), pEntries.end(),
                     [pOrder](const CReplayEntry& a, const CReplayEntry& b)
                     {
                         if (pOrder == ORDER_LONGEST && a.steps != b.steps)
                             return a.steps > b.steps;
                         if (a.date != b.date)
                             return a.date > b.date;
                         return a.path > b.path;
                     });
    return pEntries;
}

std::string FormatLength(int pSteps)
{
    if (pSteps < 0)
        return "?";
    const long long seconds = static_cast<long long>(pSteps) * STEP_MS / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

std::string DescribeReplay(const CReplayEntry& pEntry)
{
    const size_t slash = pEntry.path.rfind('/');
    const std::string file = pEntry.path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (!pEntry.readable)
        return pEntry.date + "   " + file + "   unreadable: " + pEntry.why;
    std::string line = pEntry.date + "   " + pEntry.sides[0] + " vs " + pEntry.sides[1] + "   " +
                       FormatLength(pEntry.steps) + "   " + pEntry.result;
    if (!pEntry.playable)
        line += "   cannot play: " + pEntry.why;
    return line;
}
