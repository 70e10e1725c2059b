#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "lobby/LobbyClient.h"

// The headless peer's lobby: finds or offers its match in the lobby's room, then lets the
// peer play it as usual.
//   --lobby SERVER[:PORT] --account NAME --password PW [--register] [--domain D]
//     (--host-lobby [--host PORT] | --join-lobby ACCOUNT) [the usual match options]
//   --lobby ... --lobby-evil bad-version|long-text|many-ads|bad-port|flood|idle [--nick NICK]
//     a hostile occupant for tests: it does what it is named for, answers joins with a port
//     out of range (bad-port), and stays for --seconds (idle: does nothing but stay).
//   --lobby ... --lobby-crowd N [--crowd-ads M] [--register]: N accounts (crowd1 ...) signed in
//     at once from this process, M of them advertising, for --seconds; prints how long the
//     room took to fill and what one client's frame costs with them all listed.
// A host advertises in its room presence, answers each join with its address on the network
// toward the server, and withdraws the match once it started; a joiner finds the match of
// that account (never a nickname), asks, and connects where it is told (loopback only).
class CLobbyPeer
{
  public:
    // Takes the lobby options out of the command line. Returns -1 when the peer should go on
    // and play, with pArgs the command line to play with (the same when there are no lobby
    // options); otherwise the exit status the program ends with at once.
    int Begin(int pArgc, char** pArgv, std::vector<char*>& pArgs);
    // Once a frame while the match runs: answers joins, withdraws the match once it started,
    // and says when the lobby is lost or back.
    void Pump(bool pPlaying);
    // Says what the lobby did and leaves it.
    void End();

  private:
    int Evil(int pSeconds);
    int Crowd(const CLobbyLogin& pLogin, int pSeconds);
    bool WaitFor(const std::function<bool(const CLobbyEvent&)>& pDone, int pSeconds, std::string& pWhy);
    void Answer(const CLobbyEvent& pEvent);

    CLobbyClient m_client;
    bool m_active = false;
    bool m_hosting = false;
    bool m_withdrawn = false;
    std::string m_joinAccount;
    std::string m_evil;
    std::string m_program;
    std::string m_rules;
    uint16_t m_gamePort = 0;
    int m_offers = 0;
    int m_lost = 0;
    int m_chatHeard = 0;
    int m_crowd = 0;
    int m_crowdAds = 0;
    // When the joiner asked, to say how long the match took to start.
    std::chrono::steady_clock::time_point m_asked;
    bool m_firstStepSaid = false;
    std::vector<std::string> m_args;
};
