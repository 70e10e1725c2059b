#pragma once

#include <cstdint>
#include <string>

// A seat in a running network match: the token the host handed out at the start, kept by both
// sides in a small file so that either program, started again with the same command line, can
// take its seat back after it was closed or crashed.
struct CNetSeat
{
    std::string host;
    uint16_t port = 0;
    uint32_t seed = 0;
    int64_t date = 0;
    uint64_t token = 0;
    // The program that holds the seat now (0: none said), and when it started (in the clock
    // ticks since boot of /proc/PID/stat; 0: not said), which a pid used again does not share.
    long pid = 0;
    unsigned long long started = 0;
};

// A process's state letter and start time from /proc/PID/stat; false when it cannot be read.
bool ReadProcessStat(long pPid, char& pState, unsigned long long& pStarted);
// The longest a match that began at pDate (seconds since 1970) can have run at pNow: every
// step on the clock since then, and a minute's more for clocks that differ.
int MostStepsSince(int64_t pDate, int64_t pNow);

// A fresh token from the system's random source (never the match's own random table); 0 when
// none can be read.
uint64_t NewSeatToken();
// $XDG_STATE_HOME/ampwarden, else ~/.local/state/ampwarden; empty when neither is set.
std::string SeatFolder();
// The file that holds the seat for a match joined at this address.
std::string SeatPath(const std::string& pFolder, const std::string& pHost, uint16_t pPort);
// The file that holds the host's seat for a match hosted on this port.
std::string HostSeatPath(const std::string& pFolder, uint16_t pPort);
// Writes the seat whole (a temporary file, then a rename); false, with why, when it cannot.
bool WriteSeat(const std::string& pPath, const CNetSeat& pSeat, std::string& pWhy);
// False when there is no seat file or it is not one this program wrote.
bool ReadSeat(const std::string& pPath, CNetSeat& pSeat);
void RemoveSeat(const std::string& pPath);
// True when the seat's program still runs: another copy started with the same command line
// must not take the seat from under it. A zombie (ended, not yet reaped) does not run, nor
// does a process that took the same pid later (it started at another time).
bool SeatHolderRuns(const CNetSeat& pSeat);
