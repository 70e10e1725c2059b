#include "replay/ReplayRecorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/GameEngine.h"
#include "engine/Platform.h"
#include "engine/Version.h"
#include "replay/ReplayFormat.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
std::tm UtcNow(int* pMillis)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    if (pMillis)
        *pMillis = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    return utc;
}
} // namespace

std::string ReplayDate(long long pSeconds)
{
    const std::time_t seconds = static_cast<std::time_t>(pSeconds);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string DefaultReplayFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    // XDG_DATA_HOME counts only when it is an absolute path; a relative one is ignored.
    if (data && data[0] == '/')
        return std::string(data) + "/ampwarden/replays";
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::string(home) + "/.local/share/ampwarden/replays";
    return std::string();
}

bool MakeFolders(const std::string& pPath, std::string& pWhy)
{
    if (pPath.empty())
    {
        pWhy = "no folder for replays (neither XDG_DATA_HOME nor HOME is set)";
        return false;
    }
    for (size_t slash = pPath.find('/', 1);; slash = pPath.find('/', slash + 1))
    {
        const std::string part = pPath.substr(0, slash);
        struct stat info;
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
        {
            pWhy = "cannot create " + part + ": " + std::strerror(errno);
            return false;
        }
        if (stat(part.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        {
            pWhy = part + " is not a folder";
            return false;
        }
        if (slash == std::string::npos)
            return true;
    }
}

CReplayRecorder::CReplayRecorder(const std::string& pFolder) : m_folder(pFolder) {}

CReplayRecorder::~CReplayRecorder()
{
    if (m_fd >= 0)
        close(m_fd);
}

void CReplayRecorder::Attach(CGameWorld& pWorld)
{
    m_data = DataFingerprint(RESOURCE_CATALOGUE);
    pWorld.m_seedEveryMatch = true;
    pWorld.AddObserver(this);
}

void CReplayRecorder::Detach(CGameWorld& pWorld)
{
    End(pWorld);
    pWorld.RemoveObserver(this);
}

bool CReplayRecorder::Open(CGameWorld& pWorld)
{
    std::string why;
    if (!MakeFolders(m_folder, why))
    {
        Fail(pWorld, why);
        return false;
    }
    // Named by the time the match started, so that the files sort in the order played; the
    // process id and a count keep two from ever having the same name.
    int millis = 0;
    const std::tm utc = UtcNow(&millis);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    for (int tries = 0; tries < 100 && m_fd < 0; ++tries)
    {
        char name[96];
        std::snprintf(name, sizeof name, "/%s.%03d-%ld-%d.replay", stamp, millis, static_cast<long>(getpid()),
                      ++m_files);
        m_path = m_folder + name;
        m_fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0)
    {
        Fail(pWorld, "cannot create " + m_path + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

void CReplayRecorder::OnMatchStarted(CGameWorld& pWorld)
{
    End(pWorld);
    if ((m_leaveOut && m_leaveOut(pWorld)) || !Open(pWorld))
        return;
    const std::string date = m_date.empty() ? ReplayDate(std::time(nullptr)) : m_date;
    CReplayHeader header = HeaderOfMatch(pWorld, date);
    header.program = ProgramVersion();
    header.rules = RULES_VERSION;
    header.commit = BuildCommit();
    header.data = m_data;
    Write(pWorld, FormatHeader(header));
}

void CReplayRecorder::OnCommand(CGameWorld& pWorld, const CMatchCommand& pCommand)
{
    // A restart ends this file (the board is cleared next); nothing else the world takes is
    // left out.
    if (m_fd >= 0 && WhyNotRecordable(pCommand).empty())
        Write(pWorld, FormatCommand(pWorld.m_matchSteps, pCommand));
}

void CReplayRecorder::OnChat(CGameWorld& pWorld, int pFrom, const std::string& pText)
{
    const std::string line = FormatChat(pWorld.m_matchSteps, pFrom, pText);
    if (m_fd >= 0 && !line.empty())
        Write(pWorld, line);
}

void CReplayRecorder::OnStepRun(CGameWorld& pWorld)
{
    if (m_fd < 0)
        return;
    if (pWorld.m_matchSteps % ReplayFormat::CHECK_EVERY == 0)
        Write(pWorld, FormatCheck(pWorld.m_matchSteps, HashMatchState(pWorld)));
}

void CReplayRecorder::OnMatchEnded(CGameWorld& pWorld)
{
    End(pWorld);
}

void CReplayRecorder::OnMatchCleared(CGameWorld& pWorld)
{
    End(pWorld);
}

void CReplayRecorder::End(CGameWorld& pWorld)
{
    if (m_fd < 0)
        return;
    const int step = pWorld.m_matchSteps;
    Write(pWorld, FormatEnd(step, WinnerOfMatch(pWorld),
                            EndLineHash(ReplayFormat::VERSION, HashMatchState(pWorld), step)));
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

void CReplayRecorder::Write(CGameWorld& pWorld, const std::string& pText)
{
    // Each line goes out in one call, straight to the file.
    size_t done = 0;
    while (m_fd >= 0 && done < pText.size())
    {
        const ssize_t n = write(m_fd, pText.data() + done, pText.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail(pWorld, "cannot write " + m_path + ": " + std::strerror(n < 0 ? errno : ENOSPC));
        else
            done += static_cast<size_t>(n);
    }
}

void CReplayRecorder::Fail(CGameWorld& pWorld, const std::string& pText)
{
    const std::string why = Printable(pText);
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    if (m_reported)
        return;
    m_reported = true;
    std::fprintf(stderr, "ampwarden: not recording: %s\n", why.c_str());
    pWorld.m_notice = "Not recording: " + why;
}
