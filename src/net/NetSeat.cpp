#include "net/NetSeat.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <unistd.h>

#include "replay/ReplayRecorder.h"

namespace
{
const char* const SEAT_HEADER = "ampwarden seat 1";
// A seat file is a few short lines; anything longer is not ours.
const std::streamsize MAX_SEAT_BYTES = 512;
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
            << static_cast<long>(getpid()) << "\n";
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
    seat.port = static_cast<uint16_t>(port);
    pSeat = seat;
    return true;
}

bool SeatHolderRuns(const CNetSeat& pSeat)
{
    return pSeat.pid > 0 && pSeat.pid != static_cast<long>(getpid()) &&
           (kill(static_cast<pid_t>(pSeat.pid), 0) == 0 || errno == EPERM);
}

void RemoveSeat(const std::string& pPath)
{
    if (!pPath.empty())
        std::remove(pPath.c_str());
}
