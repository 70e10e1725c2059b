#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/NetAddress.h"
#include "net/NetChat.h"
#include "net/NetMessage.h"
#include "net/NetTransport.h"
#include "replay/ViewerControls.h"

// Watching a network match from a third machine: it greets the host on its observer port,
// takes the seed and every command so far, rebuilds the match at full speed, then follows
// the commands as the host sends them, a few steps behind, with the viewer's controls (Space
// pauses and 1 to 4 set the speed over what has come in; L returns to live). Nothing it sends
// changes the match: only its greeting, how far it has read, and chat.
class CNetObserver : public CViewerControls
{
  public:
    // Told of each chat line shown (its sender and text), for the observer's replay.
    std::function<void(int, const std::string&)> m_onChat;
    // Told the match's start date (seconds since 1970) before its world starts, when the host
    // names it, so that the observer's replay gives the players' date.
    std::function<void(int64_t)> m_onMatchDate;
    enum Phase
    {
        PHASE_CONNECTING = 0,
        PHASE_CATCHING_UP, // greeted; the match so far is coming in or being rebuilt
        PHASE_WATCHING,
        PHASE_RETURNING, // the host went away while we watched: reaching it again
        PHASE_OVER,      // the match ended and was played to its end, or the link ended
    };
    // Steps the rebuild runs between two services of the network.
    static const int REBUILD_STEPS_PER_PUMP = 4000;
    // Steps behind the last one received within which it counts as live.
    static const int LIVE_STEPS = 12;
    // It tells the host how far it has read every this many steps.
    static const int ACK_STEPS = 32;
    // A host lost while we watched (a crash, then its program started again on its port) is
    // tried once this often, within RETURN_TRIES tries (longer than the players wait for it).
    static const uint32_t RETURN_EVERY_MS = 1000;
    static const int RETURN_TRIES = 100;
    // A host that sends nothing at all for this long (it sends a turn every few steps, and
    // ENet's pings while it waits) is taken for lost, sooner than ENet gives it up.
    static const uint32_t HOST_SILENCE_MS = 4000;

    struct CStats
    {
        int catchUpStep = 0;
        int catchUpCommands = 0;
        uint32_t readyAfterOpenMs = 0; // from opening to standing at the host's step
        uint32_t rebuildMs = 0;
        uint64_t catchUpBytes = 0; // received up to standing ready (ENet's UDP payload)
        uint64_t bytesReceived = 0;
        uint32_t watchedMs = 0; // from standing ready to the end
        int returns = 0;        // times it came back to a host started again
        uint32_t returnMs = 0;  // the last time: from losing the host to standing ready again
    };

    explicit CNetObserver(CGameWorld& pWorld);
    ~CNetObserver() override;
    CNetObserver(const CNetObserver&) = delete;
    CNetObserver& operator=(const CNetObserver&) = delete;

    // Starts reaching the host's observer port.
    bool Open(const CNetAddress& pAddress, const std::string& pVersion, const std::string& pFingerprint,
              std::string& pWhy);
    // Services the network and rebuilds; call every frame.
    void Pump();
    // Lets go of the world.
    void Stop();
    // Our own chat line: "" once it went, else why not.
    std::string Say(const std::string& pText);

    int GetPhase() const { return m_phase; }
    // Whether it ended well: the match played to its end (the host said where).
    bool EndedWell() const { return m_endedWell; }
    int GetNumber() const { return m_number; }
    // What the window says over the board: connecting, catching up, why it ended.
    std::string Headline() const;
    const CStats& GetStats() const { return m_stats; }
    int GetThrough() const { return m_through; }
    // Fewer tries to reach a lost host again (tools and tests).
    void SetReturnTries(int pTries) { m_returnTries = pTries; }
    // Sends bytes as they are, for tools that test the host's defences.
    void SendRaw(const std::vector<uint8_t>& pBytes) { m_transport.SendUnchecked(pBytes); }

    int StepsPerTick() override;
    bool BeforeStep(CGameWorld& pWorld) override;
    bool OnKey(CGameWorld& pWorld, int pSym, bool pPressed) override;

  protected:
    bool IsWatching(const CGameWorld& pWorld) const override;
    std::string Status(const CGameWorld& pWorld) const override;

  private:
    void OnMessage(const CNetMessage& pMessage);
    // Catching up (NetObserverCatchUp.cpp): the history, the rebuild, the commands kept.
    void OnHistory(const CNetMessage& pMessage);
    void StartWorld();
    void RebuildSome();
    void Take(const CMatchCommand& pCommand);
    void Acknowledge();
    void End(const std::string& pText, bool pWell);
    // The host went away: what came from it is forgotten, and it is tried again.
    void Lost();
    void TryAgain();
    void Send(const CNetMessage& pMessage);
    // The whole catch-up is in: turns follow on from it (while it is rebuilt, too).
    bool Following() const { return m_rebuilding || m_phase == PHASE_WATCHING; }

    CNetTransport m_transport;
    std::string m_hostText;
    std::string m_version;
    std::string m_fingerprint;
    int m_phase = PHASE_CONNECTING;
    std::string m_endText;
    bool m_endedWell = false;
    bool m_attached = false;
    // Welcomed by the host (as observer m_number, which stays shown while a lost host is tried).
    bool m_welcomed = false;
    int m_number = 0;
    bool m_chatToPlayers = true;
    std::string m_names[3];
    CNetMessage m_catchUp;
    bool m_haveCatchUp = false;
    bool m_rebuilding = false;
    // Every command received, in the order the world runs them, and the next to hand in.
    std::vector<CMatchCommand> m_commands;
    size_t m_next = 0;
    // Commands of every step up to here have come; the host's match ended at m_lastStep.
    int m_through = 0;
    int m_acked = 0;
    bool m_hostEnded = false;
    int m_lastStep = 0;
    int m_endReason = 0;
    int m_leaver = 0; // the side the host said left, 0 for none
    // Following live (not paused or slowed by the viewer since L was last pressed).
    bool m_live = true;
    uint32_t m_openedAt = 0;
    uint32_t m_readyAt = 0;
    uint32_t m_rebuildStartedAt = 0;
    // Watched once: a lost host is tried again. While it is (m_returning), since m_lostAt, the
    // tries so far and when the last began.
    bool m_watched = false;
    bool m_returning = false;
    uint32_t m_lostAt = 0;
    int m_tries = 0;
    uint32_t m_triedAt = 0;
    int m_returnTries = RETURN_TRIES;
    uint32_t m_matchSeed = 0;
    CNetChat m_chat;
    CStats m_stats;
};

// Reads "-observe HOST[:PORT]" from the arguments (the port the host takes observers on, its
// own plus one: 24681 by default). pWanted tells whether it was given; false, with a reason,
// when it is malformed.
bool ReadObserveOption(int pArgc, char** pArgv, CNetAddress& pAddress, bool& pWanted, std::string& pWhy);
