// ampwarden-netpeer's roles beside a player's: a headless observer, and squatters; and what
// the player's role shares with them.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

#include <arpa/inet.h>

#include "engine/Version.h"
#include "net/NetObserver.h"
#include "net/NetTransport.h"
#include "nettools/NetPeer.h"
#include "world/ChatBoard.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace NetPeer
{
uint32_t StrangerAddress()
{
    return htonl(0x7F000002); // 127.0.0.2
}

void Flood(const std::function<void(const std::vector<uint8_t>&)>& pSend, int pFrom, int pStep, int pCount)
{
    for (int i = 0; i < pCount; ++i)
    {
        CNetMessage line;
        line.type = NET_CHAT;
        line.step = pStep;
        line.from = pFrom;
        line.text = "flood line " + std::to_string(i + 1);
        pSend(EncodeNetMessage(line));
    }
}

std::string HashText(uint64_t pHash)
{
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(pHash));
    return text;
}

// A headless observer: catches up, follows, and prints what it cost.
int Observe(const CPeerOptions& pOptions, CGameWorld& pWorld)
{
    CNetObserver observer(pWorld);
    if (pOptions.returnTries > 0)
        observer.SetReturnTries(pOptions.returnTries);
    std::string why;
    if (!observer.Open(pOptions.observe, pOptions.setup.version, pOptions.setup.fingerprint, why))
        return std::fprintf(stderr, "ampwarden-netpeer: %s\n", why.c_str()), 7;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(pOptions.seconds);
    auto last = Clock::now();
    int lastStep = -1;
    bool reading = true;
    std::ofstream hashes;
    if (!pOptions.hashFile.empty())
        hashes.open(pOptions.hashFile);
    while (observer.GetPhase() != CNetObserver::PHASE_OVER && Clock::now() < deadline)
    {
        if (!reading)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        observer.Pump();
        const auto now = Clock::now();
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count();
        last += std::chrono::milliseconds(elapsed);
        if (observer.GetPhase() == CNetObserver::PHASE_WATCHING)
            pWorld.Update(pOptions.fast ? 16u * 8 : static_cast<unsigned>(elapsed));
        const int step = pWorld.m_matchSteps;
        const int limit = pOptions.setup.stepLimit;
        if (limit > 0 && step >= limit && observer.GetPhase() == CNetObserver::PHASE_WATCHING)
            break;
        if (step != lastStep && observer.GetPhase() == CNetObserver::PHASE_WATCHING)
        {
            lastStep = step;
            if (step % CNetSession::SYNC_STEPS == 0 && hashes)
                hashes << step << ' ' << std::hex << HashMatchState(pWorld) << std::dec << '\n';
            if (step >= pOptions.stopReadingAt && pOptions.stopReadingAt >= 0)
            {
                std::fprintf(stderr, "ampwarden-netpeer: observer stops reading at step %d\n", step);
                reading = false;
            }
            if (step >= pOptions.sayAt && pOptions.sayAt >= 0)
            {
                const int from = Net::CHAT_FROM_OBSERVER + observer.GetNumber() - 1;
                if (pOptions.chatFlood > 0)
                    Flood([&observer](const std::vector<uint8_t>& pBytes) { observer.SendRaw(pBytes); }, from,
                          step, pOptions.chatFlood);
                else
                    observer.Say("watching from afar");
                const_cast<CPeerOptions&>(pOptions).sayAt = -1;
            }
            if (!pOptions.evil.empty() && step >= pOptions.evilAt)
            {
                CNetMessage turn;
                turn.type = NET_TURN;
                turn.through = turn.span = 1;
                std::vector<uint8_t> bytes = EncodeNetMessage(turn);
                if (pOptions.evil == "oversized")
                    bytes.assign(64 * 1024, NET_CHAT);
                observer.SendRaw(bytes);
                const_cast<CPeerOptions&>(pOptions).evil.clear();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pOptions.fast ? 0 : 2));
    }
    if (observer.GetPhase() != CNetObserver::PHASE_OVER)
        std::fprintf(stderr, "ampwarden-netpeer: out of time at step %d\n", pWorld.m_matchSteps);
    const CNetObserver::CStats& stats = observer.GetStats();
    const double seconds = stats.watchedMs / 1000.0;
    std::printf(
        "observer %d: caught up at step %d from %d commands (rebuilt in %u ms, ready %u ms after opening); "
        "watched to step %d, final hash %s; received %llu B to catch up, then %.0f B/s over %.1f s; %zu chat "
        "lines; came back %d times\n",
        observer.GetNumber(), stats.catchUpStep, stats.catchUpCommands, stats.rebuildMs,
        stats.readyAfterOpenMs, pWorld.m_matchSteps, HashText(HashMatchState(pWorld)).c_str(),
        static_cast<unsigned long long>(stats.catchUpBytes),
        seconds > 0 ? (stats.bytesReceived - stats.catchUpBytes) / seconds : 0.0, seconds,
        CChatBoard::Instance().Lines().size(), stats.returns);
    observer.Stop();
    const bool reached = pOptions.setup.stepLimit > 0 && pWorld.m_matchSteps >= pOptions.setup.stepLimit;
    return observer.EndedWell() || reached ? 0 : 6;
}

int Squat(const CPeerOptions& pOptions)
{
    std::vector<std::unique_ptr<CNetTransport>> peers(static_cast<size_t>(pOptions.squatters));
    int connects = 0;
    int letGo = 0;
    long pings = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(pOptions.seconds);
    while (std::chrono::steady_clock::now() < deadline && connects < 1000)
    {
        for (std::unique_ptr<CNetTransport>& peer : peers)
        {
            CNetTransport::CEvent event;
            for (int i = 0; peer && i < 16 && peer->Poll(event); ++i)
            {
                if (event.kind == CNetTransport::EVENT_DISCONNECTED)
                {
                    ++letGo;
                    peer.reset();
                }
                else if (event.kind == CNetTransport::EVENT_CONNECTED && pOptions.squatGreets)
                {
                    CNetMessage hello;
                    hello.type = NET_HELLO;
                    hello.protocol = Net::PROTOCOL_VERSION;
                    hello.version = pOptions.setup.version;
                    hello.fingerprint = pOptions.setup.fingerprint;
                    hello.rules = RULES_VERSION;
                    peer->Send(EncodeNetMessage(hello));
                }
            }
            // Talking without agreeing: a ping now and then, never an answer to the host's.
            if (peer && pOptions.squatGreets && peer->IsConnected() && ++pings % 50 == 0)
            {
                CNetMessage ping;
                ping.type = NET_PING;
                peer->Send(EncodeNetMessage(ping));
            }
            std::string why;
            if (!peer)
            {
                peer.reset(new CNetTransport);
                peer->SetSource(StrangerAddress());
                ++connects;
                if (!peer->Connect(pOptions.setup.address.host, pOptions.setup.address.port, why))
                    return std::fprintf(stderr, "ampwarden-netpeer: %s\n", why.c_str()), 7;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::printf("squatters: %d connections, let go %d times\n", connects, letGo);
    return 0;
}
} // namespace NetPeer
