#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/NetMessage.h"
#include "net/NetSetup.h"
#include "net/NetTransport.h"
#include "world/MatchDriver.h"
#include "world/MatchObserver.h"

class CGameWorld;

// A match between two machines in lockstep. Each side runs the whole simulation; only the
// players' commands travel, each scheduled D steps ahead; a step runs once both sides' turns
// for it are in, and the state hashes are compared every SYNC_STEPS steps. The session is the
// world's driver (it holds steps) and an observer (it hashes after them).
// Its phase runs CONNECTING, GREETING, MEASURING, PLAYING, OVER; a pause, the wait for a silent
// opponent and a side's return happen within PLAYING (the returning side rebuilds during
// MEASURING). NetSession.cpp names the source each phase is written in.
class CNetSession : public CMatchDriver, public CMatchObserver
{
  public:
    enum Phase
    {
        PHASE_CONNECTING = 0, // waiting for an opponent, or reaching the host
        PHASE_GREETING,       // comparing versions
        PHASE_MEASURING,      // the host times the round trip
        PHASE_PLAYING,
        PHASE_OVER, // decided, left, refused, broken or out of sync: no more steps
    };
    enum Outcome
    {
        OUTCOME_NONE = 0,
        OUTCOME_DECIDED,       // a main node fell, or the step limit was reached
        OUTCOME_OPPONENT_LEFT, // we stayed and win
        OUTCOME_LEFT,          // we left
        OUTCOME_REFUSED,       // the handshake did not match
        OUTCOME_UNREACHABLE,   // the host never answered
        OUTCOME_BROKEN,        // a message broke the rules (theirs, or ours by their word)
        OUTCOME_DESYNC,
        OUTCOME_CLAIMED, // we were silent too long and the other side claimed the win
    };
    // Steps between state hash checks.
    static const int SYNC_STEPS = 32;
    // A side sends a turn every this many steps, its commands with it, on each channel in turn.
    static const int TURN_STEPS = 3;
    // A side this many steps behind where the other side stands now runs two steps a tick.
    static const int CATCH_UP_STEPS = 2;
    // The length of the world's step.
    static const uint32_t STEP_MS = 16;
    // Silence (no datagram at all, or no turn while a step waits for one) after which the match
    // pauses for the opponent to return.
    static const uint32_t SILENCE_MS = 10000;
    // How long a side that leaves waits for the other's last turns, so that both end alike.
    static const uint32_t LEAVE_WAIT_MS = 3000;
    // Turns that may come before the start (it travels on another channel) and wait for it.
    static const size_t MAX_EARLY_TURNS = 64;
    // How long the other's turn may be late before the window says so.
    static const uint32_t LATE_MS = 500;

    struct CStats
    {
        int delay = 0;
        uint32_t roundTripMs = 0;
        int checks = 0; // hash checks that agreed
        int stalls = 0;
        uint32_t longestStallMs = 0;
        uint32_t stalledMs = 0;
        // Traffic from the start of the match to its last step (ENet's UDP payload).
        uint64_t bytesSent = 0;
        uint64_t bytesReceived = 0;
        uint64_t datagramsSent = 0;
        uint32_t playedMs = 0;
        // A side that came back: the step, the commands and bytes of the catch-up, how long the
        // rebuild took, and (the returning side) the time from opening to standing ready.
        int rejoinStep = -1;
        int catchUpCommands = 0;
        uint64_t catchUpBytes = 0;
        uint32_t rebuildMs = 0;
        uint32_t readyAfterOpenMs = 0;
    };
    // Steps the returning side rebuilds between two services of the network.
    static const int REBUILD_STEPS_PER_PUMP = 4000;
    // The seat's holder must have been silent this long before its seat goes to another program
    // offering the token; one offering it for longer while the holder plays is refused.
    static const uint32_t HOLDER_GONE_MS = 2000;
    static const uint32_t SEAT_CLAIM_WAIT_MS = 5000;
    // Told to a program that offers a seat whose holder still plays.
    static const uint32_t CODE_SEAT_HELD = 0x5EA7;
    // Told by a side that heard nothing for the whole wait and ended with no result.
    static const uint32_t CODE_NO_RESULT = 0x0DE0;
    // How long the host waits for a returning side to stand ready before it gives up on it.
    static const uint32_t REJOIN_WAIT_MS = 20000;
    // A joiner gives up reaching a host that does not answer after this long (ENet's own
    // give-up comes only when a resend's doubled wait runs out: 15.5 s after the first).
    static const uint32_t REACH_WAIT_MS = 15000;
    // While the host is waited for, the joiner tries a new connection to its port this often,
    // in case the host's program was started again there.
    static const uint32_t REACH_AGAIN_MS = 1000;

    CNetSession() = default;
    ~CNetSession();
    CNetSession(const CNetSession&) = delete;
    CNetSession& operator=(const CNetSession&) = delete;

    // Opens the socket: waits on the port, or starts reaching the host.
    bool Open(const CNetSetup& pSetup, std::string& pWhy);
    // Services the network; starts the match in the world once both sides agree. Call it
    // every frame, whatever the world's state.
    void Pump(CGameWorld& pWorld);
    // The local player pauses or resumes both sides.
    void SetPaused(CGameWorld& pWorld, bool pPaused);
    // The local player leaves; the opponent wins. Both sides end on the same step: the
    // leaver's last closed one, once the other's turns up to it are in (at most LEAVE_WAIT_MS).
    void Leave(CGameWorld& pWorld);
    // While the opponent's connection is lost: the local player takes the win now (no result
    // when nothing at all comes from the other side, which then cannot hear the claim).
    void ClaimWin(CGameWorld& pWorld);
    // True while the opponent has been silent over SILENCE_MS and is waited for.
    bool IsOpponentDropped() const { return m_dropped; }
    // Milliseconds left to wait for a dropped opponent.
    uint32_t DropWaitLeftMs() const;
    // Drops the world's hooks into this session (before the session goes).
    void Detach(CGameWorld& pWorld);

    int GetPhase() const { return m_phase; }
    int GetOutcome() const { return m_outcome; }
    int GetTeam() const { return m_team; }
    // The match's seed, input delay and start date, once it started.
    const CNetMatchStart& GetStart() const { return m_start; }
    int GetPausedBy() const { return m_pausedBy; }
    // Once over: the side that left the match or fell silent (0: none, it was decided or broken).
    int GetLeaver() const { return m_leaver; }
    // True when that side fell silent (the win was claimed over it) rather than left.
    bool LeaverFellSilent() const { return m_leaverSilent; }
    // The name the other side's greeting gave (printable, at most a text's length); empty for none.
    const std::string& GetTheirName() const { return m_theirName; }
    // The one line that says what the session is doing or why it ended; empty while playing.
    std::string Headline() const;
    // True while a step is held only because the opponent's turn is late by over LATE_MS.
    bool IsWaitingForOpponent() const;
    const CStats& GetStats() const { return m_stats; }
    const CNetTransport& GetTransport() const { return m_transport; }
    // Every hash this side took, step and hash, in order (for tools and tests).
    const std::vector<std::pair<int, uint64_t>>& GetOwnHashes() const { return m_ownHashes; }
    // True once every hash this side sent has been answered by the other's.
    bool AllChecksAnswered() const { return m_myHashes.empty(); }

    // Sends bytes as they are, for tools that test the other side's defences.
    void SendRaw(const std::vector<uint8_t>& pBytes) { m_transport.SendUnchecked(pBytes); }
    // A packet whose last fragment never leaves (see CNetTransport::SendUnfinished), for tools.
    void SendUnfinished(size_t pBytes) { m_transport.SendUnfinished(pBytes); }

    // Told once the match starts (a replay recorder takes its settings from here).
    std::function<void(const CNetMatchStart&)> m_onMatchStart;
    // Told when a desync is found, with the step and the dump of this side's nodes at it.
    std::function<void(int, const std::string&)> m_onDesync;
    // Shown the catch-up this side is about to send, for tools that play a lying side.
    std::function<void(CNetMessage&)> m_onCatchUpSent;
    // Told of each chat line the other side sends (see CNetChatLink); dropped when unset.
    std::function<void(const CNetMessage&)> m_onChat;

    // --- CMatchDriver, CMatchObserver ---
    int StepsPerTick() override;
    bool BeforeStep(CGameWorld& pWorld) override;
    void OnStepRun(CGameWorld& pWorld) override;

    // Milliseconds on a steady clock.
    static uint32_t NowMs();
    // The input delay in steps for a measured round trip.
    static int DelayForRoundTrip(uint32_t pRoundTripMs);
    // The round trip the delay is chosen from, of those measured (not empty).
    static uint32_t MiddleRoundTrip(std::vector<uint32_t> pTrips);

  private:
    // The frame (NetSession.cpp): every event and message to the phase it belongs to.
    void OnEvent(CGameWorld& pWorld, const CNetTransport::CEvent& pEvent);
    void OnMessage(CGameWorld& pWorld, const CNetMessage& pMessage, int pChannel);
    void Send(const CNetMessage& pMessage);
    void SendPing(uint32_t pToken);
    const char* TheirName() const;

    // Waiting (NetSessionWaiting.cpp). The greeting this program sends, naming pSeat.
    CNetMessage Greeting(uint64_t pSeat) const;
    // The joiner reached the host.
    void OnConnected();
    // The host: a peer that came in, and what it sent before it greeted.
    void OnCandidate(int pCandidate);
    void OnCandidateMessage(CGameWorld& pWorld, const CNetTransport::CEvent& pEvent);

    // Greeting (NetSessionGreeting.cpp): the other side's greeting, its comparison with ours,
    // the host's round trips, the joiner's start.
    void OnGreeting(CGameWorld& pWorld, const CNetMessage& pMessage);
    void OnHello(const CNetMessage& pMessage);
    // What differs between the greeting and this program (protocol, version, data, rules),
    // each with both values; empty when nothing does.
    std::string HelloDifferences(const CNetMessage& pMessage) const;
    void OnPong(CGameWorld& pWorld, const CNetMessage& pMessage);
    void OnStart(CGameWorld& pWorld, const CNetMessage& pMessage);
    // Ends a session whose other side fell silent before the match; true if it did.
    bool EndSilentGreeting(CGameWorld& pWorld, uint32_t pNow);

    // Playing (NetLockstep.cpp).
    void StartMatch(CGameWorld& pWorld, const CNetMatchStart& pStart);
    void OwnCommand(CGameWorld& pWorld, CMatchCommand pCommand);
    void OnTurn(CGameWorld& pWorld, const CNetMessage& pMessage, int pChannel);
    void OnHash(CGameWorld& pWorld, const CNetMessage& pMessage);
    // Sends a turn when one is due; the last one (pFinal) goes on every channel.
    void SendTurn(bool pFinal);
    void SendClosed();
    void Finish(CGameWorld& pWorld);
    void CompareHashes(CGameWorld& pWorld);

    // Paused (NetSessionPause.cpp): the other side's pause, and its silence.
    void OnPause(const CNetMessage& pMessage);
    // Silence on the link now: since any datagram came, not counting time this side stood
    // still; while a step waits for their turn, since the last turn that moved the match on.
    uint32_t SilenceMs(uint32_t pNow) const;
    // Not a datagram from the other side for SILENCE_MS, or its link is gone: a claim now could
    // not be heard, and gives no winner.
    bool HeardNothing() const;
    // Marks the other side dropped or back, reaches a host that may have been started again,
    // and claims the win once the wait runs out; false once the match is no longer played.
    bool WatchSilence(CGameWorld& pWorld, uint32_t pNow);

    // Ended (NetSessionEnd.cpp). Ends the session: says why on screen and stderr, tells the
    // opponent, closes.
    void End(CGameWorld* pWorld, int pOutcome, const std::string& pText, int pByeReason);
    // The opponent broke the rules.
    void Broken(CGameWorld& pWorld, const std::string& pWhat);
    // Ends a finished match once both sides are done, or a leave the other never answered;
    // true if it did.
    bool EndWhenDone(CGameWorld& pWorld, uint32_t pNow);
    // Ends the match where both sides agreed to (a leave, a claim), with its winner.
    void EndAgreed(CGameWorld& pWorld);
    // The other side's farewell: its reason, and during the match the last step it runs.
    void OnBye(CGameWorld& pWorld, const CNetMessage& pMessage);
    void OnFarewell(CGameWorld& pWorld, const CNetMessage& pMessage);
    // The link closed, with the code the other side gave (0: ENet gave up on it).
    void OnDisconnected(CGameWorld& pWorld, uint32_t pCode);

    // Rejoining (NetRejoin.cpp). Every command of the match, for a side that comes back.
    void RecordHistory(const CMatchCommand& pCommand);
    // The host: a peer offers the seat of a running match.
    void OnSeatOffer(CGameWorld& pWorld, int pCandidate, const CNetMessage& pHello);
    // The host: the seat goes to its claimant once the holder is gone, or the claimant is refused.
    void SettleSeatClaim(CGameWorld& pWorld, uint32_t pNow);
    // A catch-up that no honest side sends: another match, or longer than this one can be.
    std::string ImplausibleCatchUp(const CNetMessage& pMessage) const;
    void SendCatchUp(CGameWorld& pWorld);
    void OnReady(CGameWorld& pWorld, const CNetMessage& pMessage);
    // The returning side: where the match stands, its commands, the rebuild.
    void OnCatchUp(CGameWorld& pWorld, const CNetMessage& pMessage);
    void OnHistory(CGameWorld& pWorld, const CNetMessage& pMessage);
    void RebuildSome(CGameWorld& pWorld);
    void SaveSeat();
    // A host started again after it crashed (NetRejoinHost.cpp): the greeting that names the
    // match it comes back to, the joiner that offers that match's seat, the wait for it.
    static uint64_t MatchTag(uint32_t pSeed, int64_t pDate);
    // The tag a host that plays the match on names it by in its greeting to newcomers.
    static uint64_t PlayingTag(uint32_t pSeed, int64_t pDate);
    bool IsReturningHost() const { return m_setup.hosting && m_returnTag != 0; }
    void OnSeatOfferToReturningHost(CGameWorld& pWorld, int pCandidate, const CNetMessage& pHello);
    void GiveUpReturning(uint32_t pNow);
    // The joiner, while the host is waited for: new connections to the host's port, and what
    // the program that answers there says.
    void ReachReturningHost(CGameWorld& pWorld);
    void OnReachEvent(CGameWorld& pWorld, const CNetTransport::CEvent& pEvent);
    // A step may run: no side is coming back and no countdown is running.
    bool RejoinHolds();
    std::string RejoinHeadline() const;

    CNetSetup m_setup;
    CNetTransport m_transport;
    int m_phase = PHASE_CONNECTING;
    int m_outcome = OUTCOME_NONE;
    std::string m_endText;
    std::string m_theirName;
    int m_team = 0; // 1 green (host), 2 blue (joiner)
    CNetMatchStart m_start;
    bool m_attached = false;

    // The host took its opponent at this time and waits for it to agree on the match (0: not).
    uint32_t m_adoptedAt = 0;
    // Round-trip measurement at the start.
    std::vector<uint32_t> m_roundTrips;
    uint32_t m_pingSentAt = 0;
    uint32_t m_lastSendAt = 0;
    uint32_t m_lastReceiveAt = 0;

    // Lockstep: every step up to m_myThrough is closed for our commands, up to m_theirThrough
    // received from the other side (m_theirThroughAt: when it last moved on).
    int m_myThrough = 0;
    int m_theirThrough = 0;
    uint32_t m_theirThroughAt = 0;
    // Turns take the channels in turn, and each covers every step since the previous turn on
    // its own channel. So each channel alone carries the whole match, and every step travels
    // in two datagrams sent a turn apart: a lost datagram, or the turns its resend holds up
    // behind it on its channel, hold up no step. Where each channel's turns reach, ours and
    // theirs:
    int m_sentThroughOn[CNetTransport::CHANNELS] = {};
    int m_theirThroughOn[CNetTransport::CHANNELS] = {};
    int m_nextChannel = 0;
    // Our commands until every channel has carried them, theirs until every one has brought them.
    std::vector<CMatchCommand> m_outbox;
    std::vector<CMatchCommand> m_theirRecent;
    // Hashes travel on the first channel behind a turn, in its datagram.
    std::vector<CNetMessage> m_hashesToSend;
    int m_pausedBy = 0;
    // This side has run its last step (a main node fell, or the step limit); the other has.
    bool m_finished = false;
    bool m_peerFinished = false;
    uint32_t m_finishedAt = 0;
    uint32_t m_heldSince = 0; // when the current stall began, 0 for none
    bool m_held = false;

    // Hashes waiting for the other side's, by step.
    std::map<int, uint64_t> m_myHashes;
    std::map<int, uint64_t> m_theirHashes;
    std::map<int, std::string> m_dumps;
    std::vector<std::pair<int, uint64_t>> m_ownHashes;
    int m_lastTheirHashStep = -1;
    CStats m_stats;
    uint64_t m_sentAtStart = 0;
    uint64_t m_receivedAtStart = 0;
    uint64_t m_datagramsAtStart = 0;
    uint32_t m_startedAt = 0;
    // Takes the traffic figures, once, at the match's last step.
    void CountTraffic();

    // Turns that came before the start, with their channels.
    std::vector<std::pair<CNetMessage, int>> m_earlyTurns;
    // The opponent is silent and waited for (since m_droppedAt); its link is gone for good.
    bool m_dropped = false;
    uint32_t m_droppedAt = 0;
    bool m_linkGone = false;
    // When Pump last ran, and the silence counted from no earlier than m_heardFloor.
    uint32_t m_lastPumpAt = 0;
    uint32_t m_heardFloor = 0;
    // This side stood still for over SILENCE_MS (until m_stoodStillUntil): the other may have
    // given up on it, so it claims no win until it hears from the other again.
    bool m_stoodStill = false;
    uint32_t m_stoodStillUntil = 0;
    // An end both sides agreed on: the last step run, who wins, how it is told.
    int m_lastStep = -1;
    int m_endWinner = 0;
    int m_endOutcome = OUTCOME_NONE;
    std::string m_endReason;
    bool m_leaving = false;
    uint32_t m_leavingSince = 0;
    // This side ends with no result after hearing nothing: its goodbye says so (not "left").
    bool m_noResult = false;
    int m_leaver = 0;
    bool m_leaverSilent = false;

    // The joiner's seat: its token, the file that keeps it, the token offered on coming back.
    uint64_t m_seatToken = 0;
    std::string m_seatPath;
    uint64_t m_offeredSeat = 0;
    // The match the offered seat is in (its seed and start date): a catch-up must be that match,
    // and no longer than it can have run since.
    uint32_t m_seatSeed = 0;
    int64_t m_seatDate = 0;
    uint32_t m_openedAt = 0;
    // A seat offered with the right token while its holder is still heard (candidate, the
    // transport's ticket for it, since when): taken back only once the holder falls silent.
    int m_seatClaimant = -1;
    uint32_t m_seatClaimTicket = 0;
    uint32_t m_seatClaimSince = 0;
    std::vector<CMatchCommand> m_history;
    bool m_historyFull = false;
    // The catch-up as it comes in and is rebuilt from (the returning side).
    CNetMessage m_catchUp;
    bool m_haveCatchUp = false;
    bool m_rebuilding = false;
    size_t m_rebuildNext = 0;
    int m_rebuiltSteps = 0;
    uint32_t m_rebuildStartedAt = 0;
    // The host: a returning side is catching up to m_rejoinStep, whose hash is m_rejoinHash.
    bool m_rejoinPending = false;
    uint32_t m_rejoinSince = 0;
    int m_rejoinStep = -1;
    uint64_t m_rejoinHash = 0;
    // Play resumes after a rejoin at this time (0: not waiting).
    uint32_t m_resumeAt = 0;
    // This side came back into the match (it rebuilt it), rather than waited for the other.
    bool m_cameBack = false;
    // A host started again with a seat kept: the match it offers to come back to (0: none).
    uint64_t m_returnTag = 0;
    // The joiner's new connection to a host that may have been started again, when it was
    // begun, how many were tried, and whether the one that answers with no match was named.
    std::unique_ptr<CNetTransport> m_reach;
    uint32_t m_reachAt = 0;
    int m_reaches = 0;
    bool m_reachToldNoMatch = false;
};
