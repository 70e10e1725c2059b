#include "nettools/UdpRelay.h"

#include "net/Loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
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
    int client = 0; // the number of the client it came from or goes to
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

// A sender at the front, and the socket through which the server sees it.
struct CClient
{
    sockaddr_in address{};
    int back = -1;
    int number = 0;
    int64_t heard = 0;
};
// Clients kept at once; the one silent longest makes room for a new one.
const size_t MAX_CLIENTS = 16;

bool SameAddress(const sockaddr_in& pA, const sockaddr_in& pB)
{
    return pA.sin_port == pB.sin_port && pA.sin_addr.s_addr == pB.sin_addr.s_addr;
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
    if (front < 0)
    {
        *pWhy = "cannot open the relay's sockets on 127.0.0.1";
        return false;
    }
    const sockaddr_in server = LoopbackIpv4(pSettings.targetPort);
    // The first sender is the client; with newClient every new sender is one more, as a
    // program started again (or a second connection) sends from a new port: the server then
    // sees each come from a port of its own, as it would.
    std::vector<CClient> clients;
    int clientCount = 0;
    auto clientNumbered = [&clients](int pNumber) -> CClient*
    {
        for (CClient& client : clients)
        {
            if (client.number == pNumber)
                return &client;
        }
        return nullptr;
    };

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
            const CClient* client = clientNumbered(datagram.client);
            if (!client)
                ; // for or from a client let go since: gone with it
            else if (datagram.toServer)
                sendto(client->back, datagram.bytes.data(), datagram.bytes.size(), 0,
                       reinterpret_cast<const sockaddr*>(&server), sizeof server);
            else
                sendto(front, datagram.bytes.data(), datagram.bytes.size(), 0,
                       reinterpret_cast<const sockaddr*>(&client->address), sizeof client->address);
            queue.pop();
        }
        int wait = 50;
        if (!queue.empty())
            wait = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(wait, queue.top().due - now)));
        std::vector<pollfd> fds(1, pollfd{front, POLLIN, 0});
        std::vector<int> numbers(1, 0);
        for (const CClient& client : clients)
        {
            fds.push_back(pollfd{client.back, POLLIN, 0});
            numbers.push_back(client.number);
        }
        if (poll(fds.data(), fds.size(), wait) <= 0)
            continue;
        for (size_t i = 0; i < fds.size(); ++i)
        {
            if (!(fds[i].revents & POLLIN))
                continue;
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t n = recvfrom(fds[i].fd, buffer.data(), buffer.size(), 0,
                                       reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (n < 0)
                continue;
            int number = numbers[i];
            if (i == 0)
            {
                CClient* known = nullptr;
                for (CClient& client : clients)
                {
                    if (SameAddress(client.address, from))
                        known = &client;
                }
                if (!known && (clients.empty() || pSettings.newClient))
                {
                    CClient fresh;
                    fresh.back = OpenSocket(0);
                    if (fresh.back < 0)
                        continue;
                    if (clients.size() >= MAX_CLIENTS)
                    {
                        auto quiet = std::min_element(clients.begin(), clients.end(),
                                                      [](const CClient& pA, const CClient& pB)
                                                      { return pA.heard < pB.heard; });
                        close(quiet->back);
                        clients.erase(quiet);
                    }
                    fresh.address = from;
                    fresh.number = ++clientCount;
                    clients.push_back(fresh);
                    known = &clients.back();
                }
                if (!known)
                    continue; // anyone but the client at the front is ignored
                known->heard = NowMs();
                number = known->number;
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
            datagram.client = number;
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
    for (const CClient& client : clients)
        close(client.back);
    return true;
}
