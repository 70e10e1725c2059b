#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Where a host name or address leads: an IPv4 address for ENet itself, or an IPv6 one that
// only a bridge can reach.
struct CResolvedHost
{
    bool ipv6 = false;
    uint32_t ipv4 = 0; // in network byte order
    sockaddr_in6 address6{};
};

// Looks the host up with both families; a name that has both gives its IPv4 address, so the
// plain ENet path stays the usual one. False, with one line, when nothing is found.
bool ResolveNetHost(const std::string& pHost, uint16_t pPort, CResolvedHost& pOut, std::string& pWhy);

// ENet (1.3.17) keeps a peer's address as 32 bits and opens IPv4 sockets only. This carries
// IPv6 for it: datagrams are copied, never read, between IPv6 sockets and sockets on 127.0.0.1
// that ENet talks to as if they were the peers. It is pumped, without blocking, by the
// transport.
class CUdp6Bridge
{
  public:
    // Bigger datagrams are dropped; ENet sends 1400 bytes at most.
    static constexpr size_t MAX_DATAGRAM = 4096;
    // Remote IPv6 peers a host keeps at once (as many as it has peer slots); datagrams from
    // more are dropped.
    static constexpr size_t MAX_MAPPINGS = 12;
    // Why Host gives no bridge on a machine without IPv6 (any other reason is worth saying).
    static constexpr const char* NO_IPV6 = "this machine has no IPv6";
    // A mapping that ENet has never answered may be replaced after this long when all are taken.
    static constexpr uint32_t UNANSWERED_MS = 2000;

    // Joining: ENet, bound at 127.0.0.1:pEnetPort, connects to 127.0.0.1:pLocalPort, whose
    // datagrams go to pRemote and back. Null, with one line, when IPv6 cannot reach it.
    static std::unique_ptr<CUdp6Bridge> Join(const sockaddr_in6& pRemote, uint16_t pEnetPort,
                                             uint16_t& pLocalPort, std::string& pWhy);
    // Hosting: [::]:pPort (IPv6 only) for ENet listening on pPort; each remote gets a socket of
    // its own on 127.0.0.1, so ENet sees distinct peers. A mapping with no datagram from its
    // remote for pIdleMs goes. Null when this machine has no IPv6 or the port is taken there.
    static std::unique_ptr<CUdp6Bridge> Host(uint16_t pPort, uint32_t pIdleMs, std::string& pWhy);
    ~CUdp6Bridge();
    CUdp6Bridge(const CUdp6Bridge&) = delete;
    CUdp6Bridge& operator=(const CUdp6Bridge&) = delete;

    // Moves what is waiting, a bounded number of datagrams per socket.
    void Pump() { Pump(NowMs()); }
    void Pump(uint32_t pNowMs);
    // Waits at most pWaitMs for a datagram on one of the bridge's sockets or on pOtherFd.
    void Wait(int pOtherFd, uint32_t pWaitMs) const;
    size_t MappingCount() const { return m_mappings.size(); }
    static uint32_t NowMs();

  private:
    struct CMapping
    {
        int fd = -1; // on 127.0.0.1, connected to ENet
        sockaddr_in6 remote{};
        uint32_t lastHeard = 0;
        uint32_t since = 0;
        bool answered = false;
    };
    CUdp6Bridge() = default;
    CMapping* MappingFor(const sockaddr_in6& pRemote, uint32_t pNowMs);
    void Drop(size_t pIndex);

    bool m_hosting = false;
    int m_socket6 = -1;      // joining: connected to the remote; hosting: bound to [::]:port
    uint16_t m_enetPort = 0; // hosting: where ENet listens on 127.0.0.1
    uint32_t m_idleMs = 0;
    std::vector<CMapping> m_mappings; // joining: one, whose remote is m_socket6's
    std::vector<uint8_t> m_buffer;
};
