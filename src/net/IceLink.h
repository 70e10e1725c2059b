#pragma once

#include "net/IcePayload.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct _NiceAgent;
struct _GMainContext;

// Where the STUN and TURN servers are, from the lobby's server or from Settings. Empty hosts
// leave that kind of candidate out.
struct CIceServers
{
    std::string stunHost; // numeric
    uint16_t stunPort = 3478;
    std::string turnHost; // numeric
    uint16_t turnPort = 3478;
    std::string turnUser;
    std::string turnPassword;
};

// A path to one other player through home routers, found by ICE (libnice), carrying ENet's
// datagrams as the IPv6 bridge does: ENet talks to a socket on 127.0.0.1 as if it were the
// peer, and the link copies each datagram, unread, over the pair ICE selected.
//
// libnice runs on a thread of the link's own, with a GLib main context of its own: its checks
// and keep-alives are paced by timers that must fire whatever the game's frame is doing (a
// level loading, a window dragged), and datagrams are moved as they come rather than once a
// frame. The game's thread only starts it, hands over the other side's payload and reads the
// state; those meet under one lock.
class CIceLink
{
  public:
    enum State
    {
        GATHERING = 0, // asking the servers for our outside addresses
        GATHERED,      // our payload is ready; waiting for the other side's
        CHECKING,      // trying pairs of addresses
        CONNECTED,     // a pair works and carries ENet's datagrams
        FAILED,        // nothing worked (Why says what)
    };
    // How the selected pair goes, worst of its two ends.
    enum PathKind
    {
        PATH_NONE = 0,
        PATH_DIRECT,  // to the other's own address
        PATH_ROUTERS, // through the routers' outside addresses (hole punching)
        PATH_RELAYED, // through the TURN server
    };
    // Gathering gives up on silent servers after this long and sends what it has.
    static constexpr uint32_t GATHER_MS = 3000;
    // Checks that neither work nor fail (no pair could be formed at all) give up after this long.
    static constexpr uint32_t CHECK_MS = 20000;
    static constexpr size_t MAX_DATAGRAM = 4096;

    // Starts gathering at once. The hosting side is ICE's controlling one (it picks the pair).
    // pEnetPort: hosting, the port ENet listens on (on 127.0.0.1 too); joining, 0 (ENet sends
    // to LoopbackPort() and the link answers whoever did last).
    static std::unique_ptr<CIceLink> Start(const CIceServers& pServers, bool pHosting, uint16_t pEnetPort,
                                           std::string& pWhy);
    ~CIceLink();
    CIceLink(const CIceLink&) = delete;
    CIceLink& operator=(const CIceLink&) = delete;

    int GetState() const;
    // Our payload for the other side: empty until gathered.
    std::string LocalPayload() const;
    // The other side's payload; false, with why, when it is unusable (the link then fails).
    bool SetRemote(const std::string& pPayload, std::string& pWhy);
    // Joining: where ENet sends to reach the other side.
    uint16_t LoopbackPort() const { return m_loopbackPort; }
    int GetPathKind() const;
    // "direct", "through your routers" or "relayed by the lobby's server".
    static const char* PathName(int pKind);
    // The selected pair ("198.18.1.10:4000 host - 203.0.113.22:4100 srflx"), or why it failed.
    std::string Describe() const;
    // Datagrams from the other side that came before a pair was chosen, dropped. (libnice
    // itself drops those from any address that is not one of the other side's.)
    uint64_t Strays() const { return m_strays; }
    // Bytes of ENet's carried each way.
    uint64_t BytesSent() const { return m_sent; }
    uint64_t BytesReceived() const { return m_received; }
    // Candidates dropped from the other side's payload (bad, or past the bound).
    size_t RemoteSkipped() const { return m_remoteSkipped; }

  private:
    CIceLink() = default;
    bool Open(const CIceServers& pServers, bool pHosting, uint16_t pEnetPort, std::string& pWhy);
    void Run();
    void Iterate(int pTimeoutMs);
    void MoveDatagrams();
    void Gathered();
    void ApplyRemote();
    void Fail(const std::string& pWhy);
    static void OnReceived(_NiceAgent* pAgent, unsigned pStream, unsigned pComponent, unsigned pLength,
                           char* pData, void* pSelf);
    static void OnGatheringDone(_NiceAgent* pAgent, unsigned pStream, void* pSelf);
    static void OnStateChanged(_NiceAgent* pAgent, unsigned pStream, unsigned pComponent, unsigned pState,
                               void* pSelf);
    static void OnPairSelected(_NiceAgent* pAgent, unsigned pStream, unsigned pComponent, void* pLocal,
                               void* pRemote, void* pSelf);

    _GMainContext* m_context = nullptr;
    _NiceAgent* m_agent = nullptr;
    unsigned m_stream = 0;
    bool m_hosting = false;
    bool m_haveTurn = false;
    // Gathering ended with no relayed candidate although a TURN server was named.
    bool m_relayMissing = false;
    std::string m_turnName;
    int m_loopback = -1; // on 127.0.0.1, to and from ENet
    int m_wake = -1;     // an eventfd: the game's thread has something for the link's
    uint16_t m_loopbackPort = 0;
    uint16_t m_enetPort = 0; // where ENet is (joining: learnt from its first datagram)
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    uint32_t m_startedMs = 0;
    uint32_t m_checkingSinceMs = 0;

    // Shared with the game's thread.
    mutable std::mutex m_lock;
    int m_state = GATHERING;
    int m_kind = PATH_NONE;
    std::string m_localPayload;
    std::string m_remotePayload; // set by the game's thread, applied by the link's
    bool m_remotePending = false;
    std::string m_description;
    // The selected peer's address (a NiceAddress), kept by the link's thread.
    std::unique_ptr<unsigned char[]> m_peer;
    bool m_havePeer = false;
    std::atomic<uint64_t> m_strays{0};
    std::atomic<uint64_t> m_sent{0};
    std::atomic<uint64_t> m_received{0};
    std::atomic<size_t> m_remoteSkipped{0};
};
