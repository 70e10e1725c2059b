#include "arena/Tournament.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <sstream>

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
const char RESULT_TAG[] = "RESULT";

struct Running
{
    pid_t pid;
    int fd;
    size_t index;
    std::string output;
};

// In the child: play, write the one line, and leave without running the parent's exit code.
[[noreturn]] void PlayInChild(const ArenaMatchSetup& pSetup, int pFd, const ArenaPlayFunction& pPlay)
{
    dup2(pFd, STDOUT_FILENO);
    dup2(pFd, STDERR_FILENO); // an assertion's message goes to the parent too
    ArenaMatchResult result = pPlay ? pPlay(pSetup) : PlayArenaMatch(pSetup);
    std::string line = FormatResultLine(result) + "\n";
    size_t written = 0;
    while (written < line.size())
    {
        ssize_t n = write(STDOUT_FILENO, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            _exit(3);
        written += static_cast<size_t>(n);
    }
    _exit(0);
}

void Finish(Running& pRun, ArenaOutcome& pOut)
{
    int status = 0;
    rusage usage{};
    while (wait4(pRun.pid, &status, 0, &usage) < 0 && errno == EINTR)
    {
    }
    pOut.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    close(pRun.fd);
    // The result line, and the last other line as the reason if there is no result.
    std::istringstream lines(pRun.output);
    std::string line;
    std::string lastOther;
    bool haveResult = false;
    while (std::getline(lines, line))
    {
        if (ParseResultLine(line, pOut.result))
            haveResult = true;
        else if (!line.empty())
            lastOther = line;
    }
    const bool cleanExit = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (haveResult && cleanExit)
        return;
    pOut.crashed = true;
    pOut.result = ArenaMatchResult();
    if (WIFSIGNALED(status))
        pOut.crash = "signal " + std::to_string(WTERMSIG(status));
    else
        pOut.crash = "exit " + std::to_string(WEXITSTATUS(status));
    if (!lastOther.empty())
        pOut.crash += ": " + lastOther;
}
} // namespace

std::string FormatResultLine(const ArenaMatchResult& pResult)
{
    std::ostringstream out;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016" PRIx64, pResult.hash);
    out << RESULT_TAG << ' ' << pResult.winner << ' ' << pResult.steps << ' ' << hash << ' '
        << pResult.wallSeconds;
    for (int team = 1; team < CTeam::MAX_TIDS; ++team)
    {
        for (int tool = 0; tool < CTeam::m_nCooldowns; ++tool)
            out << ' ' << pResult.built[team][tool];
    }
    for (int team = 1; team < CTeam::MAX_TIDS; ++team)
        out << ' ' << pResult.earned[team] << ' ' << pResult.lost[team];
    return out.str();
}

bool ParseResultLine(const std::string& pLine, ArenaMatchResult& pOut)
{
    std::istringstream in(pLine);
    std::string tag;
    std::string hash;
    ArenaMatchResult result;
    if (!(in >> tag >> result.winner >> result.steps >> hash >> result.wallSeconds) || tag != RESULT_TAG)
        return false;
    for (int team = 1; team < CTeam::MAX_TIDS; ++team)
    {
        for (int tool = 0; tool < CTeam::m_nCooldowns; ++tool)
        {
            if (!(in >> result.built[team][tool]))
                return false;
        }
    }
    for (int team = 1; team < CTeam::MAX_TIDS; ++team)
    {
        if (!(in >> result.earned[team] >> result.lost[team]))
            return false;
    }
    char* end = nullptr;
    result.hash = std::strtoull(hash.c_str(), &end, 16);
    std::string rest;
    if (hash.size() != 16 || *end != '\0' || (in >> rest) || result.winner < WINNER_NONE ||
        result.winner > WINNER_TIE)
        return false;
    pOut = result;
    return true;
}

std::vector<ArenaOutcome>
RunTournament(const std::vector<ArenaMatchSetup>& pMatches, int pJobs,
              const std::function<void(size_t, size_t, const ArenaOutcome&)>& pProgress,
              const ArenaPlayFunction& pPlay)
{
    std::vector<ArenaOutcome> outcomes(pMatches.size());
    std::vector<Running> running;
    size_t next = 0;
    size_t done = 0;
    if (pJobs < 1)
        pJobs = 1;
    // Whatever this process has buffered must not be written again by every child.
    std::fflush(nullptr);
    while (done < pMatches.size())
    {
        while (next < pMatches.size() && static_cast<int>(running.size()) < pJobs)
        {
            outcomes[next].setup = pMatches[next];
            int fds[2] = {-1, -1};
            pid_t pid = -1;
            if (pipe(fds) == 0)
            {
                pid = fork();
                if (pid == 0)
                {
                    close(fds[0]);
                    PlayInChild(pMatches[next], fds[1], pPlay);
                }
                close(fds[1]);
            }
            if (pid < 0)
            {
                if (fds[0] >= 0 && pid < 0)
                    close(fds[0]);
                outcomes[next].crashed = true;
                outcomes[next].crash = std::string("cannot start a match process: ") + std::strerror(errno);
                ++next;
                ++done;
                if (pProgress)
                    pProgress(done, pMatches.size(), outcomes[next - 1]);
                continue;
            }
            running.push_back(Running{pid, fds[0], next, std::string()});
            ++next;
        }
        if (running.empty())
            continue;

        std::vector<pollfd> polls;
        for (const Running& run : running)
            polls.push_back(pollfd{run.fd, POLLIN, 0});
        if (poll(polls.data(), polls.size(), -1) < 0)
        {
            if (errno == EINTR)
                continue;
            break;
        }
        for (size_t i = running.size(); i-- > 0;)
        {
            if (polls[i].revents == 0)
                continue;
            char buffer[4096];
            ssize_t n = read(running[i].fd, buffer, sizeof buffer);
            if (n > 0)
            {
                running[i].output.append(buffer, static_cast<size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            // End of the pipe: the child has finished one way or another.
            const size_t index = running[i].index;
            Finish(running[i], outcomes[index]);
            running.erase(running.begin() + static_cast<long>(i));
            ++done;
            if (pProgress)
                pProgress(done, pMatches.size(), outcomes[index]);
        }
    }
    return outcomes;
}
