#include "net/NetTransport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <enet/enet.h>

#include "net/Udp6Bridge.h"

namespace
{
// A host that does not answer is given up within this long.
const enet_uint32 TIMEOUT_MIN_MS = 5000;
const enet_uint32 TIMEOUT_MAX_MS = 10000;
// The longest a resend waits once connected (the shortest: a few round trips on loopback).
const enet_uint32 RESEND_WAIT_MAX_MS = 1000;
const enet_uint32 RESEND_WAIT_MIN_MS = 200;
// An IPv6 sender the bridge keeps while it is silent: longer than a dropped opponent is waited for.
const uint32_t BRIDGE_IDLE_MS = 120000;
// How long a goodbye may wait for its acknowledgement (what is queued before it goes first, resent on loss).
const int CLOSE_WAIT_MS = 1000;

bool StartEnet()
{
    static const bool started = []
    {
        if (enet_initialize() != 0)
            return false;
        std::atexit(enet_deinitialize);
        return true;
    }();
    return started;
}

// The transport whose host is being serviced: ENet's intercept carries no context of ours.
thread_local CNetTransport* t_serviced = nullptr;

void StampNow(ENetPeer* pPeer)
{
    pPeer->data = reinterpret_cast<void*>(static_cast<uintptr_t>(enet_time_get() | 1u));
}

// Every datagram, whatever ENet then makes of it, stamps the peers at the address it came
// from: silence is the time since the last one, not since the last message ENet could deliver
// in order. The first of them, if any.
ENetPeer* StampSender(ENetHost* pHost)
{
    const ENetAddress& from = pHost->receivedAddress;
    ENetPeer* first = nullptr;
    for (size_t i = 0; i < pHost->peerCount; ++i)
    {
        ENetPeer& peer = pHost->peers[i];
        if (peer.state == ENET_PEER_STATE_DISCONNECTED || peer.address.host != from.host ||
            peer.address.port != from.port)
            continue;
        StampNow(&peer);
        if (!first)
            first = &peer;
    }
    return first;
}

} // namespace

CNetTransport::CNetTransport() = default;

CNetTransport::~CNetTransport()
{
    if (m_host)
        enet_host_destroy(m_host);
}

int CNetTransport::Intercept(ENetHost* pHost, ENetEvent* /*pEvent*/)
{
    CNetTransport* serviced = t_serviced && t_serviced->m_host == pHost ? t_serviced : nullptr;
    if (serviced && serviced->m_admission && serviced->m_admission->Admit(pHost, enet_time_get()))
        return 1; // a handshake with no place for it now
    ENetPeer* sender = StampSender(pHost);
    const uint32_t longest = LongestAnnouncedPacket(pHost->receivedData, pHost->receivedDataLength);
    if (longest <= pHost->maximumPacketSize)
        return 0;
    if (sender && t_serviced && t_serviced->m_host == pHost && !t_serviced->m_oversizedFrom)
    {
        t_serviced->m_oversizedFrom = sender;
        t_serviced->m_oversizedBytes = longest;
    }
    return 1; // taken here: ENet would drop it anyway
}

bool CNetTransport::TakeOversized(CEvent& pEvent)
{
    ENetPeer* from = m_oversizedFrom;
    m_oversizedFrom = nullptr;
    if (!from || (from != m_peer && !Candidate(static_cast<int>(from - m_host->peers))))
        return false;
    pEvent = CEvent();
    pEvent.kind = EVENT_RECEIVED;
    pEvent.oversized = m_oversizedBytes;
    pEvent.candidate = from == m_peer ? -1 : static_cast<int>(from - m_host->peers);
    return true;
}

int CNetTransport::Service(ENetEvent* pEvent, uint32_t pWaitMs)
{
    t_serviced = this;
    int result = 0;
    if (!m_bridge)
        result = enet_host_service(m_host, pEvent, pWaitMs);
    else
    {
        // IPv6 datagrams wait on the bridge's sockets, so the bridge is what waits.
        m_bridge->Wait(m_host->socket, pWaitMs);
        m_bridge->Pump();
        result = enet_host_service(m_host, pEvent, 0);
        m_bridge->Pump();
    }
    t_serviced = nullptr;
    return result;
}

bool CNetTransport::Open(const void* pAddress, size_t pPeers, std::string& pWhy)
{
    if (!StartEnet())
        return pWhy = "the network library did not start", false;
    m_host = enet_host_create(static_cast<const ENetAddress*>(pAddress), pPeers, CHANNELS, 0, 0);
    if (!m_host)
        return pWhy = "cannot open a UDP socket there (is the port in use?)", false;
    m_host->intercept = Intercept;
    m_host->maximumPacketSize = MAX_PACKET_BYTES;
    m_host->maximumWaitingData = MAX_WAITING_BYTES;
    return true;
}

bool CNetTransport::Listen(uint16_t pPort, std::string& pWhy)
{
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = pPort;
    m_hosting = true;
    if (!Open(&address, HOST_SLOTS, pWhy))
        return false;
    m_admission.reset(new CNetAdmission);
    m_admission->m_onLetGo = [this](ENetPeer* pPeer)
    {
        m_candidates.erase(std::remove_if(m_candidates.begin(), m_candidates.end(),
                                          [pPeer](const std::pair<_ENetPeer*, uint32_t>& pCandidate)
                                          { return pCandidate.first == pPeer; }),
                           m_candidates.end());
        if (m_oversizedFrom == pPeer)
            m_oversizedFrom = nullptr;
    };
    // Without IPv6 here, hosting goes on over IPv4 alone; a port another program holds is said.
    std::string noIpv6;
    m_bridge = CUdp6Bridge::Host(m_host->address.port, BRIDGE_IDLE_MS, noIpv6);
    if (!m_bridge && noIpv6 != CUdp6Bridge::NO_IPV6)
        std::fprintf(stderr, "ampwarden: waiting over IPv4 only: %s\n", noIpv6.c_str());
    return true;
}

bool CNetTransport::Connect(const std::string& pHost, uint16_t pPort, std::string& pWhy)
{
    m_reached.reset(new CResolvedHost);
    m_reachedPort = pPort;
    return ResolveNetHost(pHost, pPort, *m_reached, pWhy) && ConnectTo(pWhy);
}

bool CNetTransport::ConnectAgain(const CNetTransport& pReached, std::string& pWhy)
{
    if (!pReached.m_reached)
        return pWhy = "no host reached before", false;
    m_reached.reset(new CResolvedHost(*pReached.m_reached));
    m_reachedPort = pReached.m_reachedPort;
    return ConnectTo(pWhy);
}

bool CNetTransport::ConnectAgain(std::string& pWhy)
{
    if (!m_reached)
        return pWhy = "no host reached before", false;
    m_carriedSent = BytesSent();
    m_carriedReceived = BytesReceived();
    m_carriedDatagrams = DatagramsSent();
    if (m_host)
        enet_host_destroy(m_host);
    m_host = nullptr;
    m_peer = nullptr;
    m_oversizedFrom = nullptr;
    m_candidates.clear();
    m_bridge.reset();
    return ConnectTo(pWhy);
}

bool CNetTransport::ConnectTo(std::string& pWhy)
{
    const CResolvedHost& resolved = *m_reached;
    ENetAddress address;
    address.host = resolved.ipv4;
    address.port = m_reachedPort;
    if (resolved.ipv6)
    {
        // ENet talks to the bridge on 127.0.0.1; the bridge to the host over IPv6.
        ENetAddress loopback;
        loopback.host = htonl(INADDR_LOOPBACK);
        loopback.port = 0;
        if (!Open(&loopback, 1, pWhy))
            return false;
        m_bridge = CUdp6Bridge::Join(resolved.address6, m_host->address.port, address.port, pWhy);
        if (!m_bridge)
            return false;
        address.host = loopback.host;
    }
    else
    {
        ENetAddress source;
        source.host = m_source;
        source.port = 0;
        if (!Open(m_source != 0 ? &source : nullptr, 1, pWhy))
            return false;
    }
    m_peer = enet_host_connect(m_host, &address, CHANNELS, 0);
    if (!m_peer)
        return pWhy = "cannot start the connection", false;
    enet_peer_timeout(m_peer, 0, TIMEOUT_MIN_MS, TIMEOUT_MAX_MS);
    // Not connected until ENet says so.
    m_peer = nullptr;
    return true;
}

bool CNetTransport::Poll(CEvent& pEvent, uint32_t pWaitMs)
{
    pEvent = CEvent();
    if (!m_host)
        return false;
    if (TakeOversized(pEvent))
        return true;
    ExpireCandidates();
    LimitResendWait();
    ENetEvent event;
    // Stray datagrams and broken ones are ENet's to drop; only its events reach us.
    while (Service(&event, pWaitMs) > 0)
    {
        const int index = static_cast<int>(event.peer - m_host->peers);
        const bool candidate = Candidate(index) != nullptr;
        switch (event.type)
        {
        case ENET_EVENT_TYPE_CONNECT:
            StampNow(event.peer);
            if (m_peer && event.peer != m_peer && !m_takesReturns)
            {
                enet_peer_disconnect_now(event.peer, CODE_BUSY);
                CountRefusal();
                break;
            }
            if (m_hosting)
            {
                // Only a greeting makes a peer the opponent.
                m_candidates.emplace_back(event.peer, enet_time_get());
                enet_peer_timeout(event.peer, 0, GREETING_MS, GREETING_MS);
                pEvent.kind = EVENT_CANDIDATE;
                pEvent.candidate = index;
                return true;
            }
            m_peer = event.peer;
            SetDropLimit(m_dropLimitMs);
            pEvent.kind = EVENT_CONNECTED;
            return true;
        case ENET_EVENT_TYPE_RECEIVE:
        {
            const bool ours = event.peer == m_peer || candidate;
            if (ours)
            {
                pEvent.kind = EVENT_RECEIVED;
                pEvent.channel = event.channelID;
                pEvent.candidate = candidate ? index : -1;
                pEvent.data.assign(event.packet->data, event.packet->data + event.packet->dataLength);
            }
            enet_packet_destroy(event.packet);
            if (ours)
                return true;
            break;
        }
        case ENET_EVENT_TYPE_DISCONNECT:
            if (candidate)
            {
                m_candidates.erase(std::remove_if(m_candidates.begin(), m_candidates.end(),
                                                  [&event](const std::pair<_ENetPeer*, uint32_t>& pCandidate)
                                                  { return pCandidate.first == event.peer; }),
                                   m_candidates.end());
                break;
            }
            if (event.peer != m_peer && (m_peer || m_hosting))
                break; // a turned-away peer going
            pEvent.kind = EVENT_DISCONNECTED;
            pEvent.code = event.data;
            // ENet reports a timeout as a disconnect with no goodbye.
            pEvent.timedOut = event.data == 0 && event.peer->state == ENET_PEER_STATE_ZOMBIE;
            m_peer = nullptr;
            return true;
        default:
            break;
        }
        pWaitMs = 0;
    }
    return TakeOversized(pEvent);
}

void CNetTransport::TakeOver(CNetTransport& pOther)
{
    m_carriedSent = BytesSent() + pOther.m_carriedSent;
    m_carriedReceived = BytesReceived() + pOther.m_carriedReceived;
    m_carriedDatagrams = DatagramsSent() + pOther.m_carriedDatagrams;
    if (m_peer)
        enet_peer_reset(m_peer);
    if (m_host)
        enet_host_destroy(m_host);
    m_host = pOther.m_host;
    m_peer = pOther.m_peer;
    m_oversizedFrom = nullptr;
    m_hosting = pOther.m_hosting;
    m_candidates = std::move(pOther.m_candidates);
    m_bridge = std::move(pOther.m_bridge);
    if (pOther.m_reached)
        m_reached = std::move(pOther.m_reached);
    pOther.m_host = nullptr;
    pOther.m_peer = nullptr;
    pOther.m_candidates.clear();
    SetDropLimit(m_dropLimitMs);
}

void CNetTransport::SetDropLimit(uint32_t pMs)
{
    m_dropLimitMs = pMs;
    // ENet's own limit is the session's, so that the session is the one that decides.
    if (m_peer && pMs > 0)
        enet_peer_timeout(m_peer, 0, pMs, pMs);
    else if (m_peer)
        enet_peer_timeout(m_peer, 0, TIMEOUT_MIN_MS, TIMEOUT_MAX_MS);
}

uint32_t CNetTransport::MsSinceHeard() const
{
    if (!m_peer)
        return 0;
    const enet_uint32 heard = static_cast<enet_uint32>(reinterpret_cast<uintptr_t>(m_peer->data));
    // The stamp is made odd (never 0), so it may lie a millisecond ahead of the clock.
    const int32_t since = static_cast<int32_t>(enet_time_get() - heard);
    return heard == 0 || since < 0 ? 0 : static_cast<uint32_t>(since);
}

void CNetTransport::LimitResendWait()
{
    if (!m_peer || m_peer->state != ENET_PEER_STATE_CONNECTED)
        return;
    const enet_uint32 wait =
        std::min(RESEND_WAIT_MAX_MS, std::max(RESEND_WAIT_MIN_MS, 2 * m_peer->roundTripTime));
    for (ENetListIterator it = enet_list_begin(&m_peer->sentReliableCommands);
         it != enet_list_end(&m_peer->sentReliableCommands); it = enet_list_next(it))
    {
        ENetOutgoingCommand* command = reinterpret_cast<ENetOutgoingCommand*>(it);
        command->roundTripTimeout = std::min(command->roundTripTimeout, wait);
    }
}

void CNetTransport::Send(const std::vector<uint8_t>& pMessage, int pChannel)
{
    if (!m_peer || pChannel < 0 || pChannel >= CHANNELS)
        return;
    ENetPacket* packet = enet_packet_create(pMessage.data(), pMessage.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet && enet_peer_send(m_peer, static_cast<enet_uint8>(pChannel), packet) != 0)
        enet_packet_destroy(packet);
}

void CNetTransport::SendUnchecked(const std::vector<uint8_t>& pBytes)
{
    if (!m_host)
        return;
    const size_t most = m_host->maximumPacketSize;
    m_host->maximumPacketSize = std::max(most, pBytes.size());
    Send(pBytes);
    m_host->maximumPacketSize = most;
}

bool CNetTransport::AllDelivered() const
{
    return !m_peer ||
           (enet_list_empty(&m_peer->sentReliableCommands) && enet_list_empty(&m_peer->outgoingCommands));
}

void CNetTransport::Flush()
{
    if (m_host)
        enet_host_flush(m_host);
    if (m_bridge)
        m_bridge->Pump();
}

void CNetTransport::Close(uint32_t pCode)
{
    if (!m_host)
        return;
    if (m_peer)
    {
        // What is queued goes first (ENet sends a disconnect after the reliable data).
        enet_peer_disconnect_later(m_peer, pCode);
        ENetEvent event;
        for (int waited = 0; waited < CLOSE_WAIT_MS && m_peer; waited += 10)
        {
            while (m_peer && Service(&event, 10) > 0)
            {
                if (event.type == ENET_EVENT_TYPE_RECEIVE)
                    enet_packet_destroy(event.packet);
                else if (event.type == ENET_EVENT_TYPE_DISCONNECT && event.peer == m_peer)
                    m_peer = nullptr;
            }
        }
        if (m_peer)
            enet_peer_reset(m_peer);
        m_peer = nullptr;
    }
    enet_host_destroy(m_host);
    m_host = nullptr;
    m_oversizedFrom = nullptr;
    m_candidates.clear();
    m_bridge.reset();
}

uint16_t CNetTransport::GetPort() const
{
    return m_host ? m_host->address.port : 0;
}

uint64_t CNetTransport::BytesSent() const
{
    return m_carriedSent + (m_host ? m_host->totalSentData : 0);
}

uint64_t CNetTransport::BytesReceived() const
{
    return m_carriedReceived + (m_host ? m_host->totalReceivedData : 0);
}

uint32_t CNetTransport::RoundTrip() const
{
    return m_peer ? m_peer->roundTripTime : 0;
}

uint64_t CNetTransport::DatagramsSent() const
{
    return m_carriedDatagrams + (m_host ? m_host->totalSentPackets : 0);
}
