#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "net/NetAdmission.h"

struct _ENetHost;
struct _ENetPeer;
struct _ENetEvent;
class CUdp6Bridge;
struct CResolvedHost;

// The longest packet an ENet datagram's commands announce (a whole packet's length, or a
// fragment's total), read as ENet reads them; 0 for none, or for what ENet would not read.
uint32_t LongestAnnouncedPacket(const uint8_t* pData, size_t pSize);

// One connection to one opponent over ENet, on reliable ordered channels: ENet resends,
// orders and times out; we only hand it messages. A host lets several peers in as candidates
// and adopts the first whose greeting the session accepts; its slots are kept by CNetAdmission's
// rules (every peer greets within GREETING_MS, a few per address, a newcomer always finds a place),
// and once there is an opponent later peers are turned away (counted, not each said).
class CNetTransport
{
  public:
    enum EventKind
    {
        EVENT_NONE = 0,
        EVENT_CONNECTED,    // the opponent is there
        EVENT_RECEIVED,     // a message from the opponent in m_data
        EVENT_DISCONNECTED, // the opponent left (m_code: its reason) or timed out (m_timedOut)
        EVENT_CANDIDATE,    // hosting without an opponent yet: a peer came in (m_peer)
    };
    struct CEvent
    {
        int kind = EVENT_NONE;
        std::vector<uint8_t> data;
        int channel = 0;
        uint32_t code = 0;
        bool timedOut = false;
        // Hosting without an opponent: the candidate peer it came from, else -1.
        int candidate = -1;
        // Received, with no data: the peer began a packet this long, over MAX_PACKET_BYTES.
        // ENet drops it unacknowledged, so its channel would wait for it for as long as the
        // peer resends: the session ends instead, with the reason.
        uint32_t oversized = 0;
    };
    // A disconnect code that means "this host already has an opponent".
    static const uint32_t CODE_BUSY = 0xB05E;
    // How long a candidate has to greet before its slot is freed for another.
    static const uint32_t GREETING_MS = CNetAdmission::GREETING_MS;
    // Peer slots a host keeps: a few silent or squatting peers never fill them all.
    static const int HOST_SLOTS = 12;
    // The longest packet it takes: every message fits in Net::MAX_MESSAGE_BYTES (a turn of
    // the most commands is 871 bytes; the catch-up travels in messages of 28 commands, 758
    // bytes), so four times that leaves room. ENet otherwise puts together up to 32 MB.
    static const size_t MAX_PACKET_BYTES = 4096;
    // What a peer may have waiting in ENet's queues at once: the whole catch-up of the longest
    // match (20,000 commands, about 540 KB) four times over. ENet's own limit is 32 MB.
    static const size_t MAX_WAITING_BYTES = 2 << 20;

    CNetTransport();
    ~CNetTransport();
    CNetTransport(const CNetTransport&) = delete;
    CNetTransport& operator=(const CNetTransport&) = delete;

    // Waits for an opponent on the port (every IPv4 and IPv6 address of this machine).
    bool Listen(uint16_t pPort, std::string& pWhy);
    // Starts reaching a host by IPv4 or IPv6 address or name.
    bool Connect(const std::string& pHost, uint16_t pPort, std::string& pWhy);
    // Tools: reaching an IPv4 host from this address of this machine (a stranger's, on loopback).
    void SetSource(uint32_t pAddress) { m_source = pAddress; }
    // Starts reaching the host the other transport reached, by the address its name gave then
    // (no lookup again, which could hold the frame up while the network is in trouble).
    bool ConnectAgain(const CNetTransport& pReached, std::string& pWhy);
    // Lets go of whatever link or attempt it has (without a goodbye: its other end is gone) and
    // starts reaching the same host again, by the address looked up the first time.
    bool ConnectAgain(std::string& pWhy);
    // The next event, waiting at most pWaitMs for one; sends what is queued.
    bool Poll(CEvent& pEvent, uint32_t pWaitMs = 0);
    // Channels are ordered each on its own: a loss on one holds up only that one.
    static const int CHANNELS = 3;
    void Send(const std::vector<uint8_t>& pMessage, int pChannel = 0);
    // Sends bytes as they are, past MAX_PACKET_BYTES too, for tools that test the other side.
    void SendUnchecked(const std::vector<uint8_t>& pBytes);
    // Sends a packet of this many bytes on the first channel but never its last fragment, for
    // tools that play a peer keeping the other's channel waiting while acknowledging everything.
    void SendUnfinished(size_t pBytes);
    // To a candidate, on the first channel.
    void SendTo(int pCandidate, const std::vector<uint8_t>& pMessage);
    // The candidate becomes the opponent; every other one is turned away.
    void Adopt(int pCandidate);
    // Hosting: the opponent is let go (it never agreed on the match) and peers that come in
    // are candidates again.
    void Release(uint32_t pCode);
    // The candidate becomes the opponent in place of one whose link is lost (it came back).
    void Replace(int pCandidate);
    // The candidate is let go without a word (or with a code of the session's).
    void Drop(int pCandidate, uint32_t pCode = CODE_BUSY);
    // The candidate greeted and waits for the session's answer: no deadline lets it go
    // meanwhile. A ticket that tells this candidate from a later peer in the same slot.
    uint32_t Hold(int pCandidate);
    // True while the held candidate is still there (and not another peer in its slot).
    bool IsHeld(int pCandidate, uint32_t pTicket) const;
    // A refusal the session made (another version), counted into the summary of refusals.
    void CountRefusal();
    // Joining: the other transport's connection becomes this one's, and the link this one
    // had is forgotten without a goodbye (its other end is gone). The other is left empty.
    void TakeOver(CNetTransport& pOther);
    // Hosting with an opponent: peers that come in are candidates still, not turned away at
    // once, so that a side that lost its link may come back on a new one.
    void SetTakesReturns(bool pOn) { m_takesReturns = pOn; }
    // How long the opponent may send nothing at all before ENet gives up on it (set once
    // connected; reaching the host keeps ENet's shorter limits).
    void SetDropLimit(uint32_t pMs);
    // Milliseconds since any datagram at all came from the opponent (in order or not).
    uint32_t MsSinceHeard() const;
    // True when everything sent to the opponent has been acknowledged (or there is none).
    bool AllDelivered() const;
    // Sends what is queued now, without waiting for the next Poll.
    void Flush();
    // Says goodbye with the code, gives what is queued a moment to leave, and closes.
    void Close(uint32_t pCode);
    bool IsConnected() const { return m_peer != nullptr; }
    uint16_t GetPort() const;
    // Bytes of UDP payload sent and received so far, ENet's own headers included.
    uint64_t BytesSent() const;
    uint64_t BytesReceived() const;
    // Datagrams sent so far.
    uint64_t DatagramsSent() const;
    // ENet's current round-trip estimate in milliseconds.
    uint32_t RoundTrip() const;

  private:
    bool Open(const void* pAddress, size_t pPeers, std::string& pWhy);
    // Sees every datagram before ENet takes it: when it came and what packet sizes it announces.
    static int Intercept(_ENetHost* pHost, _ENetEvent* pEvent);
    // The event for a peer found sending an oversized packet, when it is ours to hear of.
    bool TakeOversized(CEvent& pEvent);
    bool ConnectTo(std::string& pWhy);
    // ENet's service, with the IPv6 bridge pumped around it when there is one.
    int Service(_ENetEvent* pEvent, uint32_t pWaitMs);
    // ENet doubles a resend's wait on every loss without end; after a stall of a few seconds
    // it would hold every channel for as long again. The wait is kept within a second.
    void LimitResendWait();
    void ExpireCandidates();
    _ENetPeer* Candidate(int pIndex) const;
    _ENetHost* m_host = nullptr;
    _ENetPeer* m_peer = nullptr;
    bool m_hosting = false;
    bool m_takesReturns = false;
    uint32_t m_dropLimitMs = 0;
    // Peers let in to greet, and when each came.
    std::vector<std::pair<_ENetPeer*, uint32_t>> m_candidates;
    // Hosting: who holds a slot (created by Listen).
    std::unique_ptr<CNetAdmission> m_admission;
    std::unique_ptr<CUdp6Bridge> m_bridge;
    // Joining: the host's address as looked up, and its port.
    std::unique_ptr<CResolvedHost> m_reached;
    uint16_t m_reachedPort = 0;
    uint32_t m_source = 0;
    // A peer found beginning a packet over MAX_PACKET_BYTES, not yet reported, and its size.
    _ENetPeer* m_oversizedFrom = nullptr;
    uint32_t m_oversizedBytes = 0;
    // Traffic of links this transport had before it took over another's.
    uint64_t m_carriedSent = 0;
    uint64_t m_carriedReceived = 0;
    uint64_t m_carriedDatagrams = 0;
};
