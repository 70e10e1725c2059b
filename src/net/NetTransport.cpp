#include "net/NetTransport.h"

#include <cstdlib>

#include <enet/enet.h>

#include "net/Udp6Bridge.h"

namespace
{
// Both a crashed and a silent peer are dropped within this long.
const enet_uint32 TIMEOUT_MIN_MS = 5000;
const enet_uint32 TIMEOUT_MAX_MS = 10000;
// How long a goodbye may wait for its acknowledgement.
const int CLOSE_WAIT_MS = 300;

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
} // namespace

CNetTransport::CNetTransport() = default;

CNetTransport::~CNetTransport()
{
    if (m_host)
        enet_host_destroy(m_host);
}

int CNetTransport::Service(ENetEvent* pEvent, uint32_t pWaitMs)
{
    if (!m_bridge)
        return enet_host_service(m_host, pEvent, pWaitMs);
    // IPv6 datagrams wait on the bridge's sockets, so the bridge is what waits.
    m_bridge->Wait(m_host->socket, pWaitMs);
    m_bridge->Pump();
    const int result = enet_host_service(m_host, pEvent, 0);
    m_bridge->Pump();
    return result;
}

bool CNetTransport::Open(const void* pAddress, size_t pPeers, std::string& pWhy)
{
    if (!StartEnet())
        return pWhy = "the network library did not start", false;
    m_host = enet_host_create(static_cast<const ENetAddress*>(pAddress), pPeers, CHANNELS, 0, 0);
    if (!m_host)
        return pWhy = "cannot open a UDP socket there (is the port in use?)", false;
    return true;
}

bool CNetTransport::Listen(uint16_t pPort, std::string& pWhy)
{
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = pPort;
    m_hosting = true;
    // One slot for the opponent and one to turn a third peer away politely.
    if (!Open(&address, 2, pWhy))
        return false;
    // Without IPv6 here, hosting goes on over IPv4 alone.
    std::string noIpv6;
    m_bridge = CUdp6Bridge::Host(pPort, TIMEOUT_MAX_MS, noIpv6);
    return true;
}

bool CNetTransport::Connect(const std::string& pHost, uint16_t pPort, std::string& pWhy)
{
    CResolvedHost resolved;
    if (!ResolveNetHost(pHost, pPort, resolved, pWhy))
        return false;
    ENetAddress address;
    address.host = resolved.ipv4;
    address.port = pPort;
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
    else if (!Open(nullptr, 1, pWhy))
        return false;
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
    ENetEvent event;
    // Stray datagrams and broken ones are ENet's to drop; only its events reach us.
    while (Service(&event, pWaitMs) > 0)
    {
        switch (event.type)
        {
        case ENET_EVENT_TYPE_CONNECT:
            if (m_peer && event.peer != m_peer)
            {
                enet_peer_disconnect_now(event.peer, CODE_BUSY);
                pEvent.kind = EVENT_TURNED_AWAY;
                return true;
            }
            m_peer = event.peer;
            enet_peer_timeout(m_peer, 0, TIMEOUT_MIN_MS, TIMEOUT_MAX_MS);
            pEvent.kind = EVENT_CONNECTED;
            return true;
        case ENET_EVENT_TYPE_RECEIVE:
        {
            const bool ours = event.peer == m_peer;
            if (ours)
            {
                pEvent.kind = EVENT_RECEIVED;
                pEvent.channel = event.channelID;
                pEvent.data.assign(event.packet->data, event.packet->data + event.packet->dataLength);
            }
            enet_packet_destroy(event.packet);
            if (ours)
                return true;
            break;
        }
        case ENET_EVENT_TYPE_DISCONNECT:
            if (event.peer != m_peer && m_peer)
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
    return false;
}

void CNetTransport::Send(const std::vector<uint8_t>& pMessage, int pChannel)
{
    if (!m_peer || pChannel < 0 || pChannel >= CHANNELS)
        return;
    ENetPacket* packet = enet_packet_create(pMessage.data(), pMessage.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet && enet_peer_send(m_peer, static_cast<enet_uint8>(pChannel), packet) != 0)
        enet_packet_destroy(packet);
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
    m_bridge.reset();
}

uint16_t CNetTransport::GetPort() const
{
    return m_host ? m_host->address.port : 0;
}

uint64_t CNetTransport::BytesSent() const
{
    return m_host ? m_host->totalSentData : 0;
}

uint64_t CNetTransport::BytesReceived() const
{
    return m_host ? m_host->totalReceivedData : 0;
}

uint32_t CNetTransport::RoundTrip() const
{
    return m_peer ? m_peer->roundTripTime : 0;
}

uint64_t CNetTransport::DatagramsSent() const
{
    return m_host ? m_host->totalSentPackets : 0;
}
