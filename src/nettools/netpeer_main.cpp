// ampwarden-netpeer: one side of a network match with no window, playing scripted builds
// through the real session, for tests and measurements on this machine.
//   ampwarden-netpeer --host PORT | --join PORT|[::1]:PORT   (127.0.0.1 or ::1 only)
//     [--seed N] [--steps N] [--busy STEPS] [--script-seed N] [--seconds S]
//     [--version TEXT] [--hashes FILE] [--dump-dir DIR] [--record DIR] [--desync-at STEP]
//     [--evil wrong-side|past-step|garbage|oversized --evil-at STEP] [--leave-at STEP] [--drop-wait MS]
//     [--crash-at STEP] [--countdown MS] [--fast 1]
//   --crash-at ends the program at once at the step, as a crash would (no goodbye, the seat
//   file left in $XDG_STATE_HOME); started again without it, the joiner comes back in.
//   --crash-when-over 1 ends it so as soon as the match is over (as a crash on the result
//   screen), before anything is detached or closed.
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
//     N peers (at most 32) that connect, never greet, and connect again whenever let go;
//     with --squat-greets 1 they greet as this version would, then never agree on the match.
//   ampwarden-netpeer --half-open N --join PORT [--half-open-ms MS] [--seconds S]
//     raw ENet handshakes from N ports, a new one from each every MS, never finished.
//   --evil catch-up (a host) sends a side that comes back a catch-up at step 100,000,000.
//   --evil stall|fragments (a player) stops sending turns at the step but keeps the link alive:
//     with its heartbeat, or with a packet whose last fragment never comes (and the heartbeat).
// It prints one line of figures and exits 0 when the match reached its step limit with every
// hash check agreed; 3 refused, 4 the other left, 5 out of sync, 6 broken rules,
// 7 unreachable, 8 out of time, 2 bad arguments.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "arena/ArenaMatch.h"
#include "engine/DisplayConfig.h"
#include "engine/GameEngine.h"
#include "net/NetChatLink.h"
#include "net/NetObserverHost.h"
#include "net/NetSession.h"
#include "net/NetTransport.h"
#include "nettools/LobbyPeer.h"
#include "nettools/NetPeer.h"
#include "nettools/PeerIce.h"
#include "replay/ReplayRecorder.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
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
} // namespace

using NetPeer::CPeerOptions;

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
    if (!NetPeer::ReadOptions(argc, argv, options))
    {
        std::fprintf(stderr,
                     "usage: ampwarden-netpeer --host PORT | --join PORT [options] (see the source)\n");
        return 2;
    }
    if (options.squatters > 0)
        return NetPeer::Squat(options);
    if (options.halfOpen > 0)
        return NetPeer::HalfOpen(options);
    std::string why;
    CGameEngine& engine = CGameEngine::Instance();
    engine.Configure(DisplayConfig::Default());
    if (!LoadStandInSprites("Data/resources.xml", why))
    {
        std::fprintf(stderr, "ampwarden-netpeer: %s\n", why.c_str());
        return 2;
    }
    CGameWorld& world = TheWorld();
    world.m_keepEffects = false;
    if (options.observe.port > 0)
        return NetPeer::Observe(options, world);
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
    // A host that lies to a side coming back: a catch-up far past where any match can stand.
    if (options.evil == "catch-up")
        session.m_onCatchUpSent = [](CNetMessage& pHeader)
        {
            pHeader.step = 100000000;
            pHeader.hostThrough = pHeader.joinerThrough = pHeader.step;
        };
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
        if (observers && session.GetPhase() == CNetSession::PHASE_PLAYING)
            observers->SetMatchDate(session.GetStart().date);
        if (observers)
            observers->Pump(world, session.GetPhase() == CNetSession::PHASE_PLAYING,
                            session.GetPhase() == CNetSession::PHASE_OVER, session.GetLeaver(),
                            session.LeaverFellSilent());
    };
    const long long openedAfterMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - programStart)
            .count();

    std::mt19937 script(options.scriptSeed * 2 + static_cast<uint32_t>(options.setup.hosting));
    auto last = Clock::now();
    int lastStep = -1;
    bool evilSent = false;
    // A liar that stops its world keeps pumping the link: it answers and acknowledges, no turn leaves.
    const bool stalls = options.evil == "stall" || options.evil == "fragments";
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
        if (stalls && evilSent)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        else if (session.GetPhase() == CNetSession::PHASE_PLAYING)
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
                    NetPeer::Flood([&session](const std::vector<uint8_t>& pBytes)
                                   { session.SendRaw(pBytes); },
                                   session.GetTeam(), step, options.chatFlood);
                else if (options.sayAt >= 0 && step >= options.sayAt)
                    chat.Say("good game");
                if (options.sayAt >= 0 && step >= options.sayAt)
                    options.sayAt = -1;
                if (!options.evil.empty() && !evilSent && step >= options.evilAt)
                {
                    if (options.evil == "fragments")
                        session.SendUnfinished(3000);
                    else if (!stalls && options.evil != "catch-up")
                        SendEvil(session, options.evil, step);
                    evilSent = true;
                    if (stalls)
                        std::fprintf(stderr, "ampwarden-netpeer: sends no more turns from step %d\n", step);
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
    else if (options.crashWhenOver)
    {
        std::fprintf(stderr, "ampwarden-netpeer: crashing after the end at step %d\n", world.m_matchSteps);
        std::_Exit(9);
    }
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
                NetPeer::HashText(HashMatchState(world)).c_str(), chat.Heard(), chat.Dropped(),
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
