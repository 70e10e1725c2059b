// ampwarden-netpeer: one side of a network match with no window, playing scripted builds
// through the real session, for tests and measurements on this machine.
//   ampwarden-netpeer --host PORT | --join PORT|[::1]:PORT   (127.0.0.1 or ::1 only)
//     [--seed N] [--steps N] [--busy STEPS] [--script-seed N] [--seconds S]
//     [--version TEXT] [--hashes FILE] [--dump-dir DIR] [--record DIR] [--desync-at STEP]
//     [--evil wrong-side|past-step|garbage|oversized --evil-at STEP] [--leave-at STEP] [--drop-wait MS]
//     [--crash-at STEP] [--countdown MS] [--fast 1]
//   --crash-at ends the program at once at the step, as a crash would (no goodbye, the seat
//   file left in $XDG_STATE_HOME); started again without it, the joiner comes back in.
//   --fast runs steps as fast as the turns allow instead of on the clock (measurements);
//   --fast-until STEP does so up to the step.
//     [--observers PORT [--quiet-observers 1]] [--say-at STEP [--chat-flood N]]
//   --observers (host) takes observers on PORT; --say-at says a chat line at the step, or
//   sends N lines at once past the limit (a flood the other side must cut).
//   ampwarden-netpeer --observe PORT|[::1]:PORT [--steps N] [--seconds S] [--fast 1] [--stop-reading-at STEP]
//     [--say-at STEP [--chat-flood N]] [--evil command|oversized --evil-at STEP] [--hashes FILE]
//     [--return-tries N]
//     watches the match of the host whose observers' port is PORT; exits 0 once it played the
//     match to the end the host named (or to --steps), 6 when it was dropped or refused.
//   ICE through routers (the addresses the link gives, not loopback only; see PeerIce.h):
//     --host PORT | --join ice, with --ice-out FILE --ice-in FILE [--stun A:P]
//     [--turn A:P --turn-user U --turn-password P]: the payloads go through the two files.
//   ampwarden-netpeer --squat N --join PORT [--seconds S]
//     N peers that connect, never greet, and connect again whenever they are let go.
// It prints one line of figures and exits 0 when the match reached its step limit with every
// hash check agreed; 3 refused, 4 the other left, 5 out of sync, 6 broken rules,
// 7 unreachable, 8 out of time, 2 bad arguments.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "arena/ArenaMatch.h"
#include "engine/CommandLine.h"
#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"
#include "engine/Version.h"
#include "net/NetAddress.h"
#include "net/NetChatLink.h"
#include "net/NetObserver.h"
#include "net/NetObserverHost.h"
#include "net/NetSession.h"
#include "net/NetTransport.h"
#include "nettools/LobbyPeer.h"
#include "nettools/PeerIce.h"
#include "replay/ReplayRecorder.h"
#include "ui/ChatBoard.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
struct CPeerOptions
{
    CNetSetup setup;
    int busy = 0;
    uint32_t scriptSeed = 1;
    int seconds = 60;
    std::string hashFile;
    std::string recordFolder;
    int desyncAt = -1;
    std::string evil;
    int evilAt = 100;
    int leaveAt = -1;
    int crashAt = -1;
    bool fast = false;
    // With fast: as fast as the turns allow only up to this step, then on the clock.
    int fastUntil = 1 << 30;
    int squatters = 0;
    // Watching: the observers' port a host opens, or the one an observer reaches.
    int observersPort = 0;
    CNetAddress observe;
    bool quietObservers = false;
    // An observer that stops reading at this step (and sleeps out its time).
    int stopReadingAt = -1;
    // An observer that lost its host tries it again this many times (0: the observer's own count).
    int returnTries = 0;
    // Chat: a line at this step; or a flood of this many lines at once, past the limit.
    int sayAt = -1;
    int chatFlood = 0;
    CPeerIceOptions ice;
};

// "[::1]:PORT" or "127.0.0.1:PORT": this machine only.
bool JoinsLoopback(const char* pText, CNetAddress& pOut)
{
    std::string why;
    CNetAddress address;
    if (!ParseNetAddress(pText, address, why) || (address.host != "::1" && address.host != "127.0.0.1"))
        return false;
    pOut = address;
    return true;
}

bool ReadOptions(int pArgc, char** pArgv, CPeerOptions& pOut)
{
    pOut.setup.version = ProgramVersion();
    pOut.setup.fingerprint = DataFingerprint("Data/resources.xml");
    pOut.setup.address.host = "127.0.0.1";
    pOut.observe.host = "127.0.0.1";
    bool side = false;
    for (int i = 1; i + 1 < pArgc; i += 2)
    {
        const std::string name = pArgv[i];
        const char* value = pArgv[i + 1];
        long long number = 0;
        const bool isNumber = ParseWholeNumber(value, 0, 4294967295ll, number);
        if (pOut.ice.Read(name, value))
            continue;
        if (name == "--join" && std::string(value) == "ice")
            side = true, pOut.setup.hosting = false, pOut.setup.address.port = 0;
        else if (name == "--host" || name == "--join")
        {
            pOut.setup.hosting = name == "--host";
            side = isNumber && number > 0 && number < 65536;
            pOut.setup.address.port = static_cast<uint16_t>(number);
            if (!isNumber && !pOut.setup.hosting)
                side = JoinsLoopback(value, pOut.setup.address);
        }
        else if (name == "--version")
            pOut.setup.version = value;
        else if (name == "--hashes")
            pOut.hashFile = value;
        else if (name == "--dump-dir")
            pOut.setup.dumpFolder = value;
        else if (name == "--record")
            pOut.recordFolder = value;
        else if (name == "--evil")
            pOut.evil = value;
        else if (name == "--observe" && !isNumber)
            side = JoinsLoopback(value, pOut.observe) && pOut.observe.port > 0;
        else if (!isNumber || number > 1000000000)
            return false;
        else if (name == "--seed")
            pOut.setup.haveSeed = true, pOut.setup.seed = static_cast<uint32_t>(number);
        else if (name == "--steps")
            pOut.setup.stepLimit = static_cast<int>(number);
        else if (name == "--busy")
            pOut.busy = static_cast<int>(number);
        else if (name == "--script-seed")
            pOut.scriptSeed = static_cast<uint32_t>(number);
        else if (name == "--seconds")
            pOut.seconds = static_cast<int>(number);
        else if (name == "--desync-at")
            pOut.desyncAt = static_cast<int>(number);
        else if (name == "--evil-at")
            pOut.evilAt = static_cast<int>(number);
        else if (name == "--leave-at")
            pOut.leaveAt = static_cast<int>(number);
        else if (name == "--crash-at")
            pOut.crashAt = static_cast<int>(number);
        else if (name == "--countdown")
            pOut.setup.resumeCountdownMs = static_cast<uint32_t>(number);
        else if (name == "--fast")
            pOut.fast = number != 0;
        else if (name == "--fast-until")
            pOut.fast = true, pOut.fastUntil = static_cast<int>(number);
        else if (name == "--drop-wait")
            pOut.setup.dropWaitMs = static_cast<uint32_t>(number);
        else if (name == "--squat")
            pOut.squatters = static_cast<int>(std::min(8ll, number));
        else if (name == "--observers" && number > 0 && number < 65536)
            pOut.observersPort = static_cast<int>(number);
        else if (name == "--observe" && number > 0 && number < 65536)
            pOut.observe.port = static_cast<uint16_t>(number), side = true;
        else if (name == "--quiet-observers")
            pOut.quietObservers = number != 0;
        else if (name == "--return-tries")
            pOut.returnTries = static_cast<int>(number);
        else if (name == "--stop-reading-at")
            pOut.stopReadingAt = static_cast<int>(number);
        else if (name == "--say-at")
            pOut.sayAt = static_cast<int>(number);
        else if (name == "--chat-flood")
            pOut.chatFlood = static_cast<int>(std::min(1000ll, number));
        else
            return false;
    }
    // Joining through routers needs the files the payloads go through.
    return side &&
           (pOut.setup.hosting || pOut.setup.address.port > 0 || pOut.ice.On() || pOut.observe.port > 0);
}

// A build of a random kind from a random own node, somewhere within its reach.
void IssueScriptedBuild(CGameWorld& pWorld, int pTeam, std::mt19937& pRandom)
{
    std::vector<CEntity*> sources;
    for (CEntity* node : pWorld.GetNodes())
    {
        if (node->GetTeam() == pTeam && node->CanPowerMore())
            sources.push_back(node);
    }
    if (sources.empty())
        return;
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    CEntity* source = sources[pRandom() % sources.size()];
    const float angle = unit(pRandom) * 6.2831853f;
    const float reach =
        source->GetRadius() + 20.0f + unit(pRandom) * (source->GetPowerRange() - source->GetRadius() - 25.0f);
    CMatchCommand command;
    command.kind = CMD_BUILD;
    command.team = pTeam;
    // Mostly extenders, so that the network grows and the beams find targets.
    const int tools[8] = {TOOL_EXTENDER, TOOL_EXTENDER, TOOL_EXTENDER, TOOL_BEAM,
                          TOOL_BEAM,     TOOL_SHIELD,   TOOL_ABSORBER, TOOL_EXTRACTOR};
    command.tool = tools[pRandom() % 8];
    const CVector2 at = source->GetPosition();
    command.point = CVector2(std::fmin(944.0f, std::fmax(1.0f, at.x + std::cos(angle) * reach)),
                             std::fmin(629.0f, std::fmax(1.0f, at.y + std::sin(angle) * reach)));
    // Beams aim at the other side's main node.
    command.aim = CVector2(pTeam == 1 ? 787.5f : 157.5f, 315.0f);
    command.node = pWorld.MatchIdOf(source);
    pWorld.IssuePlayerCommand(command);
}

void SendEvil(CNetSession& pSession, const std::string& pMode, int pStep)
{
    CNetMessage turn;
    turn.type = NET_TURN;
    turn.through = pStep + 40;
    CMatchCommand command;
    command.kind = CMD_BUILD;
    command.tool = TOOL_EXTENDER;
    command.point = CVector2(400.0f, 300.0f);
    command.node = 1;
    command.step = turn.through;
    command.team = 3 - pSession.GetTeam(); // the other side's team
    if (pMode == "past-step")
    {
        command.team = pSession.GetTeam();
        turn.through = 40;
        turn.span = 40;
        command.step = 1;
    }
    turn.commands.push_back(command);
    std::vector<uint8_t> bytes = EncodeNetMessage(turn);
    if (pMode == "garbage")
        bytes = {NET_TURN, 0xFF, 0xFF, 0xFF, 0x7F, 0x09};
    // Far longer than any message, past the size the other side takes.
    if (pMode == "oversized")
        bytes.assign(64 * 1024, NET_TURN);
    pSession.SendRaw(bytes);
}

int ExitCode(const CNetSession& pSession)
{
    switch (pSession.GetOutcome())
    {
    case CNetSession::OUTCOME_DECIDED:
        return pSession.AllChecksAnswered() ? 0 : 5;
    case CNetSession::OUTCOME_REFUSED:
        return 3;
    case CNetSession::OUTCOME_OPPONENT_LEFT:
    case CNetSession::OUTCOME_LEFT:
    case CNetSession::OUTCOME_CLAIMED:
        return 4;
    case CNetSession::OUTCOME_DESYNC:
        return 5;
    case CNetSession::OUTCOME_BROKEN:
        return 6;
    case CNetSession::OUTCOME_UNREACHABLE:
        return 7;
    default:
        return 8;
    }
}
// Peers that take a host's slots and say nothing: each connects, and connects again once let
// go, until the time is up. Prints how often they were let go.
// N chat lines at once, past the sender's limit of its own (the receiver must cut them).
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
            }
            std::string why;
            if (!peer)
            {
                peer.reset(new CNetTransport);
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
} // namespace

int main(int argc, char** argv)
{
    const auto programStart = std::chrono::steady_clock::now();
    // The lobby (LobbyPeer.h) finds or offers the match, then the peer plays it as usual.
    CLobbyPeer lobby;
    std::vector<char*> lobbyArgs;
    if (const int lobbyExit = lobby.Begin(argc, argv, lobbyArgs); lobbyExit >= 0)
        return lobbyExit;
    argc = static_cast<int>(lobbyArgs.size());
    argv = lobbyArgs.data();
    CPeerOptions options;
    if (!ReadOptions(argc, argv, options))
    {
        std::fprintf(stderr,
                     "usage: ampwarden-netpeer --host PORT | --join PORT [options] (see the source)\n");
        return 2;
    }
    if (options.squatters > 0)
        return Squat(options);
    std::string why;
    CGameEngine& engine = CGameEngine::Instance();
    engine.Configure(DisplayConfig::Default());
    if (!LoadStandInSprites("Data/resources.xml", why))
    {
        std::fprintf(stderr, "ampwarden-netpeer: %s\n", why.c_str());
        return 2;
    }
    CGameWorld& world = engine.GetWorld();
    world.m_keepEffects = false;
    if (options.observe.port > 0)
        return Observe(options, world);
    CNetSession session;
    // Recorded as the game records a network match: the host's start date on both sides.
    CReplayRecorder recorder(options.recordFolder);
    CNetChatLink chat;
    chat.Attach(session, world);
    if (!options.recordFolder.empty())
    {
        chat.m_record = [&recorder, &world](int pFrom, const std::string& pText)
        { recorder.OnChat(world, pFrom, pText); };
        recorder.Attach(world);
        session.m_onMatchStart = [&recorder](const CNetMatchStart& pStart)
        { recorder.SetDate(ReplayDate(pStart.date)); };
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(options.seconds);
    // Joining through ICE: the link first, then ENet reaches the other side through it.
    CPeerIce ice;
    if (options.ice.On() && !options.setup.hosting)
    {
        if (!ice.Start(options.ice, false, 0, why))
            return std::fprintf(stderr, "ampwarden-netpeer: %s\n", why.c_str()), 7;
        while (!ice.Connected() && Clock::now() < deadline)
        {
            if (!ice.Step(why))
                return std::fprintf(stderr, "ampwarden-netpeer: %s\n", why.c_str()), 7;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (!ice.Connected())
            return std::fprintf(stderr, "ampwarden-netpeer: could not reach the other side in time\n"), 8;
        ice.Step(why);
        options.setup.address.host = "127.0.0.1";
        options.setup.address.port = ice.Link()->LoopbackPort();
    }
    if (!session.Open(options.setup, why))
    {
        std::fprintf(stderr, "ampwarden-netpeer: %s\n", why.c_str());
        return 7;
    }
    if (options.ice.On() && options.setup.hosting &&
        !ice.Start(options.ice, true, options.setup.address.port, why))
        return std::fprintf(stderr, "ampwarden-netpeer: %s\n", why.c_str()), 7;
    long long firstStepMs = -1;
    std::unique_ptr<CNetObserverHost> observers;
    if (options.setup.hosting && options.observersPort > 0)
    {
        CNetSetup setup = options.setup;
        setup.address.port = static_cast<uint16_t>(options.observersPort - 1);
        setup.observerChat = !options.quietObservers;
        observers = OpenObserverHost(setup, chat);
        if (!observers)
            return 7;
    }
    auto pumpObservers = [&observers, &session, &world]
    {
        if (observers)
            observers->Pump(world, session.GetPhase() == CNetSession::PHASE_PLAYING,
                            session.GetPhase() == CNetSession::PHASE_OVER);
    };
    const long long openedAfterMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - programStart)
            .count();

    std::mt19937 script(options.scriptSeed * 2 + static_cast<uint32_t>(options.setup.hosting));
    auto last = Clock::now();
    int lastStep = -1;
    bool evilSent = false;
    while (session.GetPhase() != CNetSession::PHASE_OVER && Clock::now() < deadline)
    {
        session.Pump(world);
        pumpObservers();
        if (ice.Link() && !ice.Step(why))
        {
            std::fprintf(stderr, "ampwarden-netpeer: %s\n", why.c_str());
            return 7;
        }
        lobby.Pump(session.GetPhase() == CNetSession::PHASE_PLAYING);
        if (session.GetPhase() == CNetSession::PHASE_PLAYING)
        {
            if (firstStepMs < 0 && world.m_matchSteps > 0 && ice.Link())
                firstStepMs = ice.Elapsed();
            const auto now = Clock::now();
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last).count();
            last += std::chrono::milliseconds(elapsed);
            if (options.fast && world.m_matchSteps >= options.fastUntil)
                options.fast = false;
            world.Update(options.fast ? 16u : static_cast<unsigned>(elapsed));
            const int step = world.m_matchSteps;
            if (step != lastStep)
            {
                lastStep = step;
                if (options.busy > 0 && step % options.busy == 0)
                    IssueScriptedBuild(world, session.GetTeam(), script);
                // A frame may run more than one step (catching up): each happens once, at the
                // first step at or past its own.
                if (options.desyncAt >= 0 && step >= options.desyncAt)
                    world.GetTeam(session.GetTeam()).AddEnergy(12345), options.desyncAt = -1;
                if (options.leaveAt >= 0 && step >= options.leaveAt)
                    session.Leave(world), options.leaveAt = -1;
                if (options.crashAt >= 0 && step >= options.crashAt)
                {
                    std::fprintf(stderr, "ampwarden-netpeer: crashing at step %d\n", step);
                    std::_Exit(9);
                }
                if (options.sayAt >= 0 && step >= options.sayAt && options.chatFlood > 0)
                    Flood([&session](const std::vector<uint8_t>& pBytes) { session.SendRaw(pBytes); },
                          session.GetTeam(), step, options.chatFlood);
                else if (options.sayAt >= 0 && step >= options.sayAt)
                    chat.Say("good game");
                if (options.sayAt >= 0 && step >= options.sayAt)
                    options.sayAt = -1;
                if (!options.evil.empty() && !evilSent && step >= options.evilAt)
                {
                    SendEvil(session, options.evil, step);
                    evilSent = true;
                }
            }
            if (options.fast)
                std::this_thread::yield();
            else
                std::this_thread::sleep_for(
                    std::chrono::milliseconds(std::min(12u, std::max(1u, world.TimeToNextStep()))));
        }
        else
        {
            last = Clock::now();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    if (session.GetPhase() != CNetSession::PHASE_OVER)
        std::fprintf(stderr, "ampwarden-netpeer: out of time at step %d\n", world.m_matchSteps);
    // The observers are told where the match ended and given a moment to read it.
    for (int i = 0; observers && i < 300 && observers->Watching() > 0; ++i)
    {
        pumpObservers();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    const CNetSession::CStats& stats = session.GetStats();
    const double seconds = stats.playedMs / 1000.0;
    std::printf(
        "netpeer %s: steps %d checks %d delay %d rtt %u ms stalls %d (%.1f/min) longest %u ms stalled %u ms "
        "sent %llu B (%.0f B/s, %.0f B/s with IPv4 and UDP headers) received %llu B (%.0f B/s) over %.1f s, "
        "%zu nodes\n",
        session.GetTeam() == 1 ? "green" : "blue", world.m_matchSteps, stats.checks, stats.delay,
        stats.roundTripMs, stats.stalls, seconds > 0 ? stats.stalls * 60.0 / seconds : 0.0,
        stats.longestStallMs, stats.stalledMs, static_cast<unsigned long long>(stats.bytesSent),
        seconds > 0 ? stats.bytesSent / seconds : 0.0,
        seconds > 0 ? (stats.bytesSent + 28.0 * stats.datagramsSent) / seconds : 0.0,
        static_cast<unsigned long long>(stats.bytesReceived),
        seconds > 0 ? stats.bytesReceived / seconds : 0.0, seconds, world.GetNodes().size());
    if (stats.rejoinStep >= 0)
        std::printf(
            "netpeer %s: rejoin at step %d: %d commands, %llu bytes of catch-up; rebuilt in %u ms, ready %u "
            "ms after opening, %lld ms after the program started\n",
            session.GetTeam() == 1 ? "green" : "blue", stats.rejoinStep, stats.catchUpCommands,
            static_cast<unsigned long long>(stats.catchUpBytes), stats.rebuildMs, stats.readyAfterOpenMs,
            stats.readyAfterOpenMs > 0 ? openedAfterMs + stats.readyAfterOpenMs : 0ll);
    std::printf("netpeer %s: final step %d hash %s; chat heard %d, dropped %d; observers left %d\n",
                session.GetTeam() == 1 ? "green" : "blue", world.m_matchSteps,
                HashText(HashMatchState(world)).c_str(), chat.Heard(), chat.Dropped(),
                observers ? observers->Watching() : 0);
    if (CIceLink* link = ice.Link())
        std::printf("netpeer %s: ice %s (%s); first step %lld ms after the link started; carried %llu B out, "
                    "%llu B in; %llu strays dropped; %zu of the other side's candidates passed over\n",
                    session.GetTeam() == 1 ? "green" : "blue", CIceLink::PathName(link->GetPathKind()),
                    link->Describe().c_str(), firstStepMs, static_cast<unsigned long long>(link->BytesSent()),
                    static_cast<unsigned long long>(link->BytesReceived()),
                    static_cast<unsigned long long>(link->Strays()), link->RemoteSkipped());
    if (!options.hashFile.empty())
    {
        std::ofstream out(options.hashFile);
        for (const auto& check : session.GetOwnHashes())
            out << check.first << ' ' << std::hex << check.second << std::dec << '\n';
    }
    lobby.End();
    if (observers)
        observers->Detach(world);
    chat.Detach();
    session.Detach(world);
    if (!options.recordFolder.empty())
        recorder.Detach(world);
    return ExitCode(session);
}
