#pragma once

#include <cstdint>
#include <string>

#include "net/NetAddress.h"

// How a session is to be opened.
struct CNetSetup
{
    bool hosting = false;
    // The host to reach (joining), or only the port to wait on (hosting).
    CNetAddress address;
    bool haveSeed = false;
    uint32_t seed = 0;
    // What the handshake compares; the program's own unless a test pretends otherwise.
    std::string version;
    std::string fingerprint;
    // Where a desync writes the node dump of the step it was found at; none when empty.
    std::string dumpFolder;
    // Steps after which the match stops (tools and tests); 0 for none.
    int stepLimit = 0;
    // How long a side that lost its connection is waited for before the one who stayed wins.
    uint32_t dropWaitMs = 90000;
    // After a side came back into the match, how long both wait before play goes on.
    uint32_t resumeCountdownMs = 3000;
    // The player's name the greeting carries; empty for none.
    std::string name;
    // Hosting: whether observers' chat reaches the players.
    bool observerChat = true;
};

// What both sides agreed on before the first step: what a replay of the match records.
struct CNetMatchStart
{
    uint32_t seed = 0;
    int delay = 0;
    int64_t date = 0; // the host's clock, seconds since 1970
};
