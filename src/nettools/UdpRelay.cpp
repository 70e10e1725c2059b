#include "nettools/UdpRelay.h"

#include "net/Loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <queue>
#include <random>
#include <vector>

namespace
{
struct CDatagram
{
    int64_t due = 0;
    long order = 0;
    bool toServer = false;
    std::vector<uint8_t> bytes;
    bool operator>(const CDatagram& pOther) const
    {
        return due != pOther.due ? due > pOther.due : order > pOther.order;
    }
};

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int OpenSocket(uint16_t pPort)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = LoopbackIpv4(pPort);
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        close(fd);
    return -1;
}
} // namespace

bool RunUdpRelay(const CRelaySettings& pSettings, CRelayCounts& pCounts, const char** pWhy)
{
    const int front = OpenSocket(pSettings.listenPort);
    const int back = OpenSocket(0);
    if (front < 0 || back < 0)
    {
        *pWhy = "cannot open the relay's sockets on 127.0.0.1";
        if (front >= 0)
            close(front);
        if (back >= 0)
            close(back);
        return false;
    }
    const sockaddr_in server = LoopbackIpv4(pSettings.targetPort);
    sockaddr_in client{};
    bool haveClient = false;

    std::mt19937 random(pSettings.seed);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> jitter(-pSettings.jitterMs, pSettings.jitterMs);
    std::priority_queue<CDatagram, std::vector<CDatagram>, std::greater<CDatagram>> queue;
    long order = 0;

    const int64_t begin = NowMs();
    const int64_t end = begin + 1000ll * pSettings.seconds;
    auto stalling = [&pSettings, begin](int64_t pNow)
    {
        const int64_t since = pNow - begin - pSettings.stallAtMs;
        if (pSettings.stallMs <= 0 || since < 0)
            return false;
        if (pSettings.stallEveryMs <= 0)
            return since < pSettings.stallMs;
        return since % pSettings.stallEveryMs < pSettings.stallMs;
    };
    std::vector<uint8_t> buffer(65536);
    while (NowMs() < end)
    {
        const int64_t now = NowMs();
        while (!queue.empty() && queue.top().due <= now)
        {
            const CDatagram& datagram = queue.top();
            if (datagram.toServer)
                sendto(back, datagram.bytes.data(), datagram.bytes.size(), 0,
                       reinterpret_cast<const sockaddr*>(&server), sizeof server);
            else if (haveClient)
                sendto(front, datagram.bytes.data(), datagram.bytes.size(), 0,
                       reinterpret_cast<const sockaddr*>(&client), sizeof client);
            queue.pop();
        }
        int wait = 50;
        if (!queue.empty())
            wait = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(wait, queue.top().due - now)));
        pollfd fds[2] = {{front, POLLIN, 0}, {back, POLLIN, 0}};
        if (poll(fds, 2, wait) <= 0)
            continue;
        for (int i = 0; i < 2; ++i)
        {
            if (!(fds[i].revents & POLLIN))
                continue;
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t n = recvfrom(fds[i].fd, buffer.data(), buffer.size(), 0,
                                       reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (n < 0)
                continue;
            if (i == 0)
            {
                // The first sender is the client; anyone else at the front is ignored.
                if (!haveClient)
                {
                    client = from;
                    haveClient = true;
                }
                else if (from.sin_port != client.sin_port || from.sin_addr.s_addr != client.sin_addr.s_addr)
                    continue;
            }
            if (stalling(NowMs()))
            {
                ++pCounts.stalled;
                continue;
            }
            if (chance(random) < pSettings.loss)
            {
                ++pCounts.dropped;
                continue;
            }
            CDatagram datagram;
            datagram.toServer = i == 0;
            datagram.bytes.assign(buffer.begin(), buffer.begin() + n);
            datagram.due = NowMs() + std::max(0, pSettings.delayMs + jitter(random));
            if (chance(random) < pSettings.reorder)
            {
                // Held back past the next few: they overtake it.
                datagram.due += pSettings.jitterMs + 20;
                ++pCounts.reordered;
            }
            datagram.order = order++;
            if (chance(random) < pSettings.duplicate)
            {
                CDatagram copy = datagram;
                copy.due += 1 + pSettings.jitterMs / 2;
                copy.order = order++;
                queue.push(copy);
                ++pCounts.duplicated;
            }
            queue.push(datagram);
            ++pCounts.passed;
        }
    }
    close(front);
    close(back);
    return true;
}
