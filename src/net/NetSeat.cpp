#include "net/NetSeat.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <unistd.h>

#include "net/NetMessage.h"
#include "replay/ReplayRecorder.h"

namespace
{
const char* const SEAT_HEADER = "ampwarden seat 1";
// A seat file is a few short lines; anything longer is not ours.
const std::streamsize MAX_SEAT_BYTES = 512;
// The world's step (the session's STEP_MS): a match runs no faster than one a step.
const int64_t STEP_MS = 16;
} // namespace

uint64_t NewSeatToken()
{
    uint64_t token = 0;
    std::FILE* source = std::fopen("/dev/urandom", "rb");
    if (!source)
        return 0;
    if (std::fread(&token, sizeof token, 1, source) != 1)
        token = 0;
    std::fclose(source);
    return token;
}

std::string SeatFolder()
{
    // XDG_STATE_HOME counts only when it is an absolute path.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/ampwarden";
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::string(home) + "/.local/state/ampwarden";
    return std::string();
}

std::string SeatPath(const std::string& pFolder, const std::string& pHost, uint16_t pPort)
{
    // The host's name or address, with anything but letters, digits, dots and dashes made safe.
    std::string name;
    for (char c : pHost.substr(0, 100))
    {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '-';
        name += plain ? c : '_';
    }
    return pFolder + "/seat-" + name + "-" + std::to_string(pPort);
}

std::string HostSeatPath(const std::string& pFolder, uint16_t pPort)
{
    // Apart from every joiner's file, whose names start "seat-".
    return pFolder + "/hosted-" + std::to_string(pPort);
}

bool WriteSeat(const std::string& pPath, const CNetSeat& pSeat, std::string& pWhy)
{
    const size_t slash = pPath.rfind('/');
    if (slash == std::string::npos || slash == 0 || !MakeFolders(pPath.substr(0, slash), pWhy))
    {
        if (pWhy.empty())
            pWhy = "no folder for the seat file";
        return false;
    }
    const std::string temporary = pPath + ".new" + std::to_string(static_cast<long>(getpid()));
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << SEAT_HEADER << "\nhost " << pSeat.host << "\nport " << pSeat.port << "\nseed " << pSeat.seed
            << "\ndate " << pSeat.date << "\ntoken " << std::hex << pSeat.token << std::dec << "\npid "
            << static_cast<long>(getpid());
        char state = 0;
        unsigned long long started = 0;
        if (ReadProcessStat(static_cast<long>(getpid()), state, started))
            out << "\nstarted " << started;
        out << "\n";
        out.flush();
        if (!out)
        {
            pWhy = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), pPath.c_str()) != 0)
    {
        pWhy = "cannot write " + pPath + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool ReadSeat(const std::string& pPath, CNetSeat& pSeat)
{
    std::ifstream in(pPath);
    if (!in)
        return false;
    std::string text(static_cast<size_t>(MAX_SEAT_BYTES), '\0');
    in.read(&text[0], MAX_SEAT_BYTES);
    text.resize(static_cast<size_t>(in.gcount()));
    if (in.gcount() >= MAX_SEAT_BYTES)
        return false;
    std::istringstream lines(text);
    std::string header;
    if (!std::getline(lines, header) || header != SEAT_HEADER)
        return false;
    CNetSeat seat;
    std::string key;
    unsigned port = 0;
    lines >> key >> seat.host;
    if (key != "host")
        return false;
    lines >> key >> port;
    if (key != "port" || port == 0 || port > 65535)
        return false;
    lines >> key >> seat.seed;
    if (key != "seed")
        return false;
    lines >> key >> seat.date;
    if (key != "date")
        return false;
    lines >> key >> std::hex >> seat.token;
    if (key != "token" || !lines || seat.token == 0)
        return false;
    lines >> std::dec >> key >> seat.pid;
    if (key != "pid" || !lines || seat.pid <= 0)
        seat.pid = 0;
    if (seat.pid != 0 && lines >> key >> seat.started && key != "started")
        seat.started = 0;
    if (!lines)
        seat.started = 0;
    seat.port = static_cast<uint16_t>(port);
    pSeat = seat;
    return true;
}

bool ReadProcessStat(long pPid, char& pState, unsigned long long& pStarted)
{
    std::ifstream in("/proc/" + std::to_string(pPid) + "/stat");
    std::string text(1024, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    // The name in brackets may hold anything: the fields start after its last ')'.
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream fields(text.substr(close + 1));
    std::string skip;
    fields >> pState;
    // The start time is the 22nd field; the state was the 3rd.
    for (int field = 4; field < 22 && fields; ++field)
        fields >> skip;
    return static_cast<bool>(fields >> pStarted);
}

int MostStepsSince(int64_t pDate, int64_t pNow)
{
    const int64_t seconds = std::max<int64_t>(0, pNow - pDate) + 60;
    const int64_t steps = seconds * 1000 / STEP_MS;
    return static_cast<int>(std::min<int64_t>(steps, Net::MAX_STEP));
}

bool SeatHolderRuns(const CNetSeat& pSeat)
{
    if (pSeat.pid <= 0 || pSeat.pid == static_cast<long>(getpid()) ||
        (kill(static_cast<pid_t>(pSeat.pid), 0) != 0 && errno != EPERM))
        return false;
    char state = 0;
    unsigned long long started = 0;
    if (!ReadProcessStat(pSeat.pid, state, started))
        return true; // no /proc to ask: kill's answer stands
    return state != 'Z' && state != 'X' && (pSeat.started == 0 || started == pSeat.started);
}

void RemoveSeat(const std::string& pPath)
{
    if (!pPath.empty())
        std::remove(pPath.c_str());
}
