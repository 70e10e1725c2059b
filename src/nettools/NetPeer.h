#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/NetAddress.h"
#include "net/NetSession.h"
#include "nettools/PeerIce.h"

class CGameWorld;

// ampwarden-netpeer's parts (its usage is in netpeer_main.cpp).
namespace NetPeer
{
struct CPeerOptions
{
    CNetSetup setup;
    int busy = 0;
    uint32_t scriptSeed = 1;
    int seconds = 60;
    std::string hashFile;
    std::string recordFolder;
    int desyncAt = -1;
    std::string evil;
    int evilAt = 100;
    int leaveAt = -1;
    int crashAt = -1;
    bool crashWhenOver = false;
    bool fast = false;
    // With fast: as fast as the turns allow only up to this step, then on the clock.
    int fastUntil = 1 << 30;
    int squatters = 0;
    // Squatters greet as a joiner of this version would, then answer nothing but send pings.
    bool squatGreets = false;
    // Raw half-open handshakes from this many source ports, a new one from each every halfOpenMs.
    int halfOpen = 0;
    int halfOpenMs = 500;
    // Watching: the observers' port a host opens, or the one an observer reaches.
    int observersPort = 0;
    CNetAddress observe;
    bool quietObservers = false;
    // An observer that stops reading at this step (and sleeps out its time).
    int stopReadingAt = -1;
    // An observer that lost its host tries it again this many times (0: the observer's own count).
    int returnTries = 0;
    // Chat: a line at this step; or a flood of this many lines at once, past the limit.
    int sayAt = -1;
    int chatFlood = 0;
    CPeerIceOptions ice;
};

// Where the attacks come from: another loopback address than the players' 127.0.0.1, as a
// stranger on the network would (in network order).
uint32_t StrangerAddress();
// Reads the command line; false when it names no side or an option is wrong.
bool ReadOptions(int pArgc, char** pArgv, CPeerOptions& pOut);
// N chat lines at once, past the sender's limit of its own (the receiver must cut them).
void Flood(const std::function<void(const std::vector<uint8_t>&)>& pSend, int pFrom, int pStep, int pCount);
std::string HashText(uint64_t pHash);
// A headless observer: catches up, follows, and prints what it cost; the exit code.
int Observe(const CPeerOptions& pOptions, CGameWorld& pWorld);
// Peers that take a host's slots and say nothing: each connects, and connects again once let
// go, until the time is up. Prints how often they were let go.
int Squat(const CPeerOptions& pOptions);
// Half-open handshakes: raw datagrams shaped as ENet's CONNECT, never acknowledged, from
// pOptions.halfOpen ports of 127.0.0.1 to the host's port, a fresh one from each every
// pOptions.halfOpenMs, until the time is up. Prints how many were sent.
int HalfOpen(const CPeerOptions& pOptions);
} // namespace NetPeer
