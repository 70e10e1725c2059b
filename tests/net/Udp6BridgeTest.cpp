#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/Udp6Bridge.h"

namespace
{
// A socket on loopback (::1 or 127.0.0.1), any port.
int Open(int pFamily, uint16_t* pPort = nullptr)
{
    const int fd = socket(pFamily, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    sockaddr_storage address{};
    socklen_t length = pFamily == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
    address.ss_family = static_cast<sa_family_t>(pFamily);
    if (pFamily == AF_INET)
        reinterpret_cast<sockaddr_in*>(&address)->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    else
        reinterpret_cast<sockaddr_in6*>(&address)->sin6_addr = in6addr_loopback;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    if (pPort)
        *pPort = ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    return fd;
}

// The next datagram at pFd, the bridge pumped meanwhile; "" after a quarter of a second without one.
std::string Next(CUdp6Bridge& pBridge, int pFd, uint16_t* pFromPort = nullptr, uint32_t pNow = 0)
{
    char bytes[8192];
    sockaddr_in6 from{};
    for (int i = 0; i < 25; ++i)
    {
        pBridge.Pump(pNow ? pNow : CUdp6Bridge::NowMs());
        socklen_t length = sizeof from;
        const ssize_t got =
            recvfrom(pFd, bytes, sizeof bytes, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (got >= 0)
        {
            if (pFromPort)
                *pFromPort = ntohs(from.sin6_port); // sin_port sits at the same place
            return std::string(bytes, static_cast<size_t>(got));
        }
        pBridge.Wait(pFd, 10);
    }
    return std::string();
}
} // namespace

TEST(Udp6BridgeTest, AHostKeepsABoundedNumberOfRemotesApartAndDropsOversizedDatagrams)
{
    uint16_t port = 0;
    const int enet = Open(AF_INET, &port); // stands in for ENet's socket
    std::string why;
    std::unique_ptr<CUdp6Bridge> bridge = CUdp6Bridge::Host(port, 10000, why);
    if (!bridge)
        GTEST_SKIP() << why;
    sockaddr_in6 to{};
    to.sin6_family = AF_INET6, to.sin6_addr = in6addr_loopback, to.sin6_port = htons(port);
    auto send6 = [&](int pFd, const std::string& pBytes)
    { sendto(pFd, pBytes.data(), pBytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to); };
    // Two remotes more than the bridge keeps.
    const int kept = static_cast<int>(CUdp6Bridge::MAX_MAPPINGS);
    const std::string firstOver = "from " + std::to_string(kept);
    int remotes[CUdp6Bridge::MAX_MAPPINGS + 2];
    uint16_t mapped[CUdp6Bridge::MAX_MAPPINGS + 2] = {};
    for (int i = 0; i < kept + 2; ++i)
    {
        ASSERT_GE(remotes[i] = Open(AF_INET6), 0);
        send6(remotes[i], "from " + std::to_string(i));
        EXPECT_EQ(Next(*bridge, enet, &mapped[i]), i < kept ? "from " + std::to_string(i) : "") << i;
    }
    EXPECT_EQ(bridge->MappingCount(), CUdp6Bridge::MAX_MAPPINGS);
    for (int i = 1; i < kept; ++i)
        EXPECT_NE(mapped[i], mapped[0]);
    // ENet's answer reaches only the remote it was for.
    sockaddr_in back{};
    back.sin_family = AF_INET, back.sin_addr.s_addr = htonl(INADDR_LOOPBACK),
    back.sin_port = htons(mapped[2]);
    sendto(enet, "back", 4, 0, reinterpret_cast<sockaddr*>(&back), sizeof back);
    EXPECT_EQ(Next(*bridge, remotes[2]), "back");
    EXPECT_EQ(Next(*bridge, remotes[1]), "");
    // ENet's MTU is far below the limit; anything above it is dropped.
    send6(remotes[0], std::string(CUdp6Bridge::MAX_DATAGRAM + 1, 'x'));
    EXPECT_EQ(Next(*bridge, enet), "");
    send6(remotes[0], std::string(CUdp6Bridge::MAX_DATAGRAM, 'x'));
    EXPECT_EQ(Next(*bridge, enet).size(), CUdp6Bridge::MAX_DATAGRAM);
    // A remote that ENet never answered gives way after a while, not the one it answered.
    const uint32_t later = CUdp6Bridge::NowMs() + CUdp6Bridge::UNANSWERED_MS + 1000;
    send6(remotes[kept], firstOver);
    EXPECT_EQ(Next(*bridge, enet, nullptr, later), firstOver);
    EXPECT_EQ(bridge->MappingCount(), CUdp6Bridge::MAX_MAPPINGS);
    sendto(enet, "again", 5, 0, reinterpret_cast<sockaddr*>(&back), sizeof back);
    EXPECT_EQ(Next(*bridge, remotes[2], nullptr, later), "again");
    // Every mapping goes once its remote has been quiet for longer than ENet waits.
    bridge->Pump(later + 10001);
    EXPECT_EQ(bridge->MappingCount(), 0u);
    for (int fd : remotes)
        close(fd);
    close(enet);
}
