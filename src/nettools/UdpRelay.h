#pragma once

#include <cstdint>

// How the relay treats each datagram it passes on.
struct CRelaySettings
{
    uint16_t listenPort = 0; // where the client sends (127.0.0.1)
    uint16_t targetPort = 0; // where the server listens (127.0.0.1)
    int delayMs = 0;         // one way, each direction
    int jitterMs = 0;        // plus or minus, uniform
    double loss = 0.0;       // share of datagrams dropped
    double duplicate = 0.0;  // share sent twice
    double reorder = 0.0;    // share held back long enough to be overtaken
    uint32_t seed = 1;
    // Stalls: from stallAtMs on, every stallEveryMs (0: once), nothing passes for stallMs.
    int stallMs = 0;
    int stallAtMs = 0;
    int stallEveryMs = 0;
    int seconds = 60;       // the relay stops after this long, whatever happens
    bool newClient = false; // every new sender at the front is a client of its own
};

struct CRelayCounts
{
    long passed = 0;
    long dropped = 0;
    long duplicated = 0;
    long reordered = 0;
    long stalled = 0; // dropped during a stall
};

// A UDP relay between one client and one server, both on this machine's loopback address
// (it can reach nothing else), that delays, drops, duplicates and reorders what it passes:
// a bad network for testing and measuring network play. False, with the reason, when its
// sockets cannot be opened.
bool RunUdpRelay(const CRelaySettings& pSettings, CRelayCounts& pCounts, const char** pWhy);
