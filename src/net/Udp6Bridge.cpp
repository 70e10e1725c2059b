#include "net/Udp6Bridge.h"

#include "net/Loopback.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace
{
// Datagrams moved from one socket in one pump: a flood is worked off over several frames.
const int PUMP_BATCH = 64;

// A non-blocking socket on 127.0.0.1 (a port of its own) that talks only to 127.0.0.1:pPeer.
int OpenLoopbackTo(uint16_t pPeer, uint16_t* pOwnPort)
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in own = LoopbackIpv4(0);
    const sockaddr_in peer = LoopbackIpv4(pPeer);
    socklen_t length = sizeof own;
    if (bind(fd, reinterpret_cast<sockaddr*>(&own), sizeof own) != 0 ||
        connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length) != 0)
    {
        close(fd);
        return -1;
    }
    if (pOwnPort)
        *pOwnPort = ntohs(own.sin_port);
    return fd;
}

bool SameRemote(const sockaddr_in6& pA, const sockaddr_in6& pB)
{
    return pA.sin6_port == pB.sin6_port && pA.sin6_scope_id == pB.sin6_scope_id &&
           std::memcmp(&pA.sin6_addr, &pB.sin6_addr, sizeof pA.sin6_addr) == 0;
}

// The length of the next datagram in pBuffer, or -1 when none is waiting or it is too big.
// Errors a connected socket reports for an earlier send (an unreachable port) are passed over.
ssize_t Receive(int pFd, std::vector<uint8_t>& pBuffer, sockaddr_in6* pFrom, bool& pMore)
{
    socklen_t length = sizeof(sockaddr_in6);
    const ssize_t got = recvfrom(pFd, pBuffer.data(), pBuffer.size(), 0, reinterpret_cast<sockaddr*>(pFrom),
                                 pFrom ? &length : nullptr);
    pMore = got >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    if (got <= 0 || static_cast<size_t>(got) > CUdp6Bridge::MAX_DATAGRAM)
        return -1;
    if (pFrom && (length != sizeof(sockaddr_in6) || pFrom->sin6_family != AF_INET6))
        return -1;
    return got;
}
} // namespace

bool ResolveNetHost(const std::string& pHost, uint16_t pPort, CResolvedHost& pOut, std::string& pWhy)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(pHost.c_str(), nullptr, &hints, &found) != 0 || !found)
        return pWhy = "cannot find that host", false;
    const addrinfo* four = nullptr;
    const addrinfo* six = nullptr;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next)
    {
        if (!four && entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in))
            four = entry;
        if (!six && entry->ai_family == AF_INET6 && entry->ai_addrlen >= sizeof(sockaddr_in6))
            six = entry;
    }
    pOut = CResolvedHost();
    if (four)
        pOut.ipv4 = reinterpret_cast<const sockaddr_in*>(four->ai_addr)->sin_addr.s_addr;
    else if (six)
    {
        pOut.ipv6 = true;
        std::memcpy(&pOut.address6, six->ai_addr, sizeof pOut.address6);
        pOut.address6.sin6_port = htons(pPort);
    }
    freeaddrinfo(found);
    if (!four && !six)
        return pWhy = "cannot find that host", false;
    return true;
}

uint32_t CUdp6Bridge::NowMs()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::unique_ptr<CUdp6Bridge> CUdp6Bridge::Join(const sockaddr_in6& pRemote, uint16_t pEnetPort,
                                               uint16_t& pLocalPort, std::string& pWhy)
{
    std::unique_ptr<CUdp6Bridge> bridge(new CUdp6Bridge);
    bridge->m_buffer.resize(MAX_DATAGRAM + 1);
    bridge->m_socket6 = socket(AF_INET6, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (bridge->m_socket6 < 0)
        return pWhy = "cannot reach an IPv6 address: this machine has no IPv6", nullptr;
    if (connect(bridge->m_socket6, reinterpret_cast<const sockaddr*>(&pRemote), sizeof pRemote) != 0)
    {
        if (errno == EADDRNOTAVAIL || errno == ENETUNREACH)
            return pWhy = "cannot reach an IPv6 address: this machine has no IPv6 route there", nullptr;
        return pWhy = std::string("cannot reach that IPv6 address: ") + std::strerror(errno), nullptr;
    }
    CMapping mapping;
    mapping.fd = OpenLoopbackTo(pEnetPort, &pLocalPort);
    if (mapping.fd < 0)
        return pWhy = "cannot open a UDP socket on 127.0.0.1 to carry IPv6", nullptr;
    mapping.remote = pRemote;
    mapping.answered = true;
    bridge->m_mappings.push_back(mapping);
    return bridge;
}

std::unique_ptr<CUdp6Bridge> CUdp6Bridge::Host(uint16_t pPort, uint32_t pIdleMs, std::string& pWhy)
{
    std::unique_ptr<CUdp6Bridge> bridge(new CUdp6Bridge);
    bridge->m_buffer.resize(MAX_DATAGRAM + 1);
    bridge->m_hosting = true;
    bridge->m_enetPort = pPort;
    bridge->m_idleMs = pIdleMs;
    bridge->m_socket6 = socket(AF_INET6, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (bridge->m_socket6 < 0)
        return pWhy = NO_IPV6, nullptr;
    // IPv4 stays ENet's own, on the same port number.
    const int one = 1;
    sockaddr_in6 any{};
    any.sin6_family = AF_INET6;
    any.sin6_port = htons(pPort);
    any.sin6_addr = in6addr_any;
    if (setsockopt(bridge->m_socket6, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one) != 0 ||
        bind(bridge->m_socket6, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0)
        return pWhy = "port " + std::to_string(pPort) + " over IPv6: " + std::strerror(errno), nullptr;
    return bridge;
}

CUdp6Bridge::~CUdp6Bridge()
{
    for (const CMapping& mapping : m_mappings)
        close(mapping.fd);
    if (m_socket6 >= 0)
        close(m_socket6);
}

void CUdp6Bridge::Drop(size_t pIndex)
{
    close(m_mappings[pIndex].fd);
    m_mappings.erase(m_mappings.begin() + static_cast<std::ptrdiff_t>(pIndex));
}

CUdp6Bridge::CMapping* CUdp6Bridge::MappingFor(const sockaddr_in6& pRemote, uint32_t pNowMs)
{
    for (CMapping& mapping : m_mappings)
    {
        if (SameRemote(mapping.remote, pRemote))
            return &mapping;
    }
    if (m_mappings.size() >= MAX_MAPPINGS)
    {
        // A remote that ENet never answered sent it nothing it took: it may give way.
        size_t stale = m_mappings.size();
        for (size_t i = 0; i < m_mappings.size() && stale == m_mappings.size(); ++i)
        {
            if (!m_mappings[i].answered && pNowMs - m_mappings[i].since > UNANSWERED_MS)
                stale = i;
        }
        if (stale == m_mappings.size())
            return nullptr;
        Drop(stale);
    }
    CMapping mapping;
    mapping.fd = OpenLoopbackTo(m_enetPort, nullptr);
    if (mapping.fd < 0)
        return nullptr;
    mapping.remote = pRemote;
    mapping.since = pNowMs;
    m_mappings.push_back(mapping);
    return &m_mappings.back();
}

void CUdp6Bridge::Pump(uint32_t pNowMs)
{
    bool more = true;
    // From the remotes to ENet.
    for (int i = 0; i < PUMP_BATCH && more; ++i)
    {
        sockaddr_in6 from{};
        const ssize_t got = Receive(m_socket6, m_buffer, m_hosting ? &from : nullptr, more);
        if (got < 0)
            continue;
        CMapping* mapping = m_hosting ? MappingFor(from, pNowMs) : &m_mappings[0];
        if (!mapping)
            continue;
        mapping->lastHeard = pNowMs;
        send(mapping->fd, m_buffer.data(), static_cast<size_t>(got), MSG_DONTWAIT);
    }
    // From ENet to the remotes.
    for (size_t m = 0; m < m_mappings.size(); ++m)
    {
        CMapping& mapping = m_mappings[m];
        more = true;
        for (int i = 0; i < PUMP_BATCH && more; ++i)
        {
            const ssize_t got = Receive(mapping.fd, m_buffer, nullptr, more);
            if (got < 0)
                continue;
            mapping.answered = true;
            if (m_hosting)
                sendto(m_socket6, m_buffer.data(), static_cast<size_t>(got), MSG_DONTWAIT,
                       reinterpret_cast<const sockaddr*>(&mapping.remote), sizeof mapping.remote);
            else
                send(m_socket6, m_buffer.data(), static_cast<size_t>(got), MSG_DONTWAIT);
        }
    }
    // Remotes gone quiet for longer than ENet waits for a peer.
    for (size_t m = m_mappings.size(); m_hosting && m-- > 0;)
    {
        if (pNowMs - m_mappings[m].lastHeard > m_idleMs)
            Drop(m);
    }
}

void CUdp6Bridge::Wait(int pOtherFd, uint32_t pWaitMs) const
{
    if (pWaitMs == 0)
        return;
    pollfd fds[MAX_MAPPINGS + 2];
    nfds_t count = 0;
    fds[count++] = {m_socket6, POLLIN, 0};
    for (const CMapping& mapping : m_mappings)
        fds[count++] = {mapping.fd, POLLIN, 0};
    if (pOtherFd >= 0)
        fds[count++] = {pOtherFd, POLLIN, 0};
    poll(fds, count, static_cast<int>(pWaitMs));
}
