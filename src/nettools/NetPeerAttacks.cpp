// ampwarden-netpeer's attacks on a waiting host's slots: half-open handshakes, raw datagrams
// on loopback only.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include <enet/enet.h>

#include "net/Loopback.h"
#include "nettools/NetPeer.h"

namespace NetPeer
{
namespace
{
// ENet's CONNECT as a client sends it, with a connection id of its own.
std::vector<uint8_t> ConnectDatagram(uint32_t pConnectId)
{
    ENetProtocolHeader header;
    header.peerID = ENET_HOST_TO_NET_16(ENET_PROTOCOL_MAXIMUM_PEER_ID | ENET_PROTOCOL_HEADER_FLAG_SENT_TIME);
    header.sentTime = ENET_HOST_TO_NET_16(1);
    ENetProtocolConnect connect;
    std::memset(&connect, 0, sizeof connect);
    connect.header.command = ENET_PROTOCOL_COMMAND_CONNECT | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE;
    connect.header.channelID = 0xFF;
    connect.header.reliableSequenceNumber = ENET_HOST_TO_NET_16(1);
    connect.outgoingPeerID = ENET_HOST_TO_NET_16(0);
    connect.incomingSessionID = connect.outgoingSessionID = 0xFF;
    connect.mtu = ENET_HOST_TO_NET_32(ENET_HOST_DEFAULT_MTU);
    connect.windowSize = ENET_HOST_TO_NET_32(ENET_PROTOCOL_MAXIMUM_WINDOW_SIZE);
    connect.channelCount = ENET_HOST_TO_NET_32(3);
    connect.packetThrottleInterval = ENET_HOST_TO_NET_32(ENET_PEER_PACKET_THROTTLE_INTERVAL);
    connect.packetThrottleAcceleration = ENET_HOST_TO_NET_32(ENET_PEER_PACKET_THROTTLE_ACCELERATION);
    connect.packetThrottleDeceleration = ENET_HOST_TO_NET_32(ENET_PEER_PACKET_THROTTLE_DECELERATION);
    connect.connectID = pConnectId;
    std::vector<uint8_t> bytes(sizeof header + sizeof connect);
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + sizeof header, &connect, sizeof connect);
    return bytes;
}
} // namespace

int HalfOpen(const CPeerOptions& pOptions)
{
    std::vector<int> sockets;
    const sockaddr_in to = LoopbackIpv4(pOptions.setup.address.port);
    for (int i = 0; i < pOptions.halfOpen; ++i)
    {
        const int fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in from = LoopbackIpv4(0);
        from.sin_addr.s_addr = StrangerAddress();
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0)
            return std::fprintf(stderr, "ampwarden-netpeer: no socket on 127.0.0.1\n"), 7;
        sockets.push_back(fd);
    }
    std::mt19937 random(pOptions.scriptSeed);
    long sent = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(pOptions.seconds);
    // Bounded in time and count: at most 100,000 handshakes.
    while (std::chrono::steady_clock::now() < deadline && sent < 100000)
    {
        for (int fd : sockets)
        {
            const std::vector<uint8_t> bytes = ConnectDatagram(static_cast<uint32_t>(random()));
            if (sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) >
                0)
                ++sent;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pOptions.halfOpenMs));
    }
    for (int fd : sockets)
        close(fd);
    std::printf("half-open: %ld handshakes sent from %d ports\n", sent, pOptions.halfOpen);
    return 0;
}
} // namespace NetPeer
