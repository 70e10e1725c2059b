#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/NetAdmission.h"
#include "net/NetChat.h"
#include "net/NetMessage.h"
#include "world/MatchObserver.h"

class CNetChatLink;
class CUdp6Bridge;
struct CNetSetup;
struct _ENetHost;
struct _ENetPeer;

// The host's side of watching: up to Net::MAX_OBSERVERS observers on a port of their own
// (the game's plus one), each given the match so far (the seed and every agreed command) and
// then the commands as the host's world runs them, a few steps at a time. Observers only
// listen: nothing they send changes the match, and the players never wait for them. One that
// falls LAG_LIMIT_STEPS behind in what it says it has read is dropped, as is one that sends
// a command, a malformed message or a flood of chat.
class CNetObserverHost : public CMatchObserver
{
  public:
    // Disconnect codes an observer reads its refusal from.
    static const uint32_t CODE_FULL = 0xF011;     // Net::MAX_OBSERVERS watch already
    static const uint32_t CODE_REFUSED = 0xF012;  // another version
    static const uint32_t CODE_BAD = 0xF013;      // it broke the rules
    static const uint32_t CODE_SLOW = 0xF014;     // it stopped reading
    static const uint32_t CODE_TOO_LONG = 0xF015; // the match has too many commands to send
    // An observer this many steps behind what it was sent (20 s) is dropped.
    static const int LAG_LIMIT_STEPS = 1250;
    // Steps between the live turns an observer is sent.
    static const int TURN_STEPS = 3;
    // An observer must greet within this long (half-open handshakes too; see CNetAdmission).
    static const uint32_t GREETING_MS = CNetAdmission::GREETING_MS;

    CNetObserverHost() = default;
    ~CNetObserverHost() override;
    CNetObserverHost(const CNetObserverHost&) = delete;
    CNetObserverHost& operator=(const CNetObserverHost&) = delete;

    // Waits for observers on the port (IPv4, and IPv6 where this machine has it); what their
    // greeting must match.
    bool Listen(uint16_t pPort, const std::string& pVersion, const std::string& pFingerprint,
                std::string& pWhy);
    // Call every frame: once the match plays (pPlaying) it follows the world; pOver once the
    // session is over (the observers are told where the match ends, and pLeaver, the side that
    // left, or fell silent (pFellSilent), if one did).
    void Pump(CGameWorld& pWorld, bool pPlaying, bool pOver, int pLeaver = 0, bool pFellSilent = false);
    void Detach(CGameWorld& pWorld);
    // A chat line for every observer.
    void Broadcast(const CNetMessage& pMessage);
    // Whether observers' lines reach the players (the host's choice, on by default).
    bool m_chatToPlayers = true;
    // Told of each line an observer says (sender set to it), and whether it may reach the players.
    std::function<void(const CNetMessage&, bool)> m_onChat;
    int Watching() const { return static_cast<int>(m_watchers.size()); }
    // The match's start date (the host's), named to observers in their catch-up.
    void SetMatchDate(int64_t pDate) { m_matchDate = pDate; }
    uint16_t GetPort() const;

    void OnMatchStarted(CGameWorld& pWorld) override;
    void OnCommand(CGameWorld& pWorld, const CMatchCommand& pCommand) override;
    void OnStepRun(CGameWorld& pWorld) override;

  private:
    struct CWatcher
    {
        _ENetPeer* peer = nullptr;
        int number = 0;
        uint32_t since = 0;
        bool greeted = false;
        bool live = false; // caught up and sent turns
        int sentThrough = 0;
        size_t sentCommands = 0;
        int acked = 0;
        CChatLimiter chat;
        bool floodSaid = false;
    };
    void OnReceive(CGameWorld& pWorld, CWatcher& pWatcher, const uint8_t* pData, size_t pSize);
    void SendTo(CWatcher& pWatcher, const CNetMessage& pMessage);
    void CatchUp(CGameWorld& pWorld, CWatcher& pWatcher);
    // The commands of steps up to pThrough that the watcher has not had.
    void SendTurn(CWatcher& pWatcher, int pThrough);
    void Drop(CWatcher& pWatcher, uint32_t pCode, const std::string& pWhy);
    void EndFor(CWatcher& pWatcher);
    CWatcher* Find(_ENetPeer* pPeer);

    _ENetHost* m_host = nullptr;
    // Observers over IPv6 reach ENet through it (none on a machine without IPv6).
    std::unique_ptr<CUdp6Bridge> m_bridge;
    std::string m_version;
    std::string m_fingerprint;
    std::vector<CWatcher> m_watchers;
    // Who holds a slot: strangers that never greet cannot keep an observer out.
    CNetAdmission m_admission;
    int Greeted() const;
    bool m_attached = false;
    // The session's match has begun (before that the board may hold the menu's demo).
    bool m_matchOn = false;
    std::vector<CMatchCommand> m_commands;
    std::string m_names[3];
    // The match has ended at m_lastStep (reason for the farewell).
    bool m_ended = false;
    int m_lastStep = 0;
    int m_endReason = BYE_FINISHED;
    int m_leaver = 0;
    int64_t m_matchDate = 0;
    int m_step = 0;
};

// The host's observers on the port after the game's, their chat joined to the match's: none
// (said on stderr; the match goes on) when that port cannot be had.
std::unique_ptr<CNetObserverHost> OpenObserverHost(const CNetSetup& pSetup, CNetChatLink& pChat);
