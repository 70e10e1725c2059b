#include "net/NetObserverHost.h"

#include <algorithm>
#include <cstdio>

#include <enet/enet.h>

#include "engine/Version.h"
#include "net/NetChatLink.h"
#include "net/NetSession.h"
#include "net/NetTransport.h"
#include "net/Udp6Bridge.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
// Peers let in at once: the observers, and room for strangers that have yet to greet (a
// ninth observer among them, to be told no).
const size_t SLOTS = Net::MAX_OBSERVERS + 4;
// Events taken in one pump, so that a flood never holds up a frame.
const int EVENTS_PER_PUMP = 64;
// A match with more commands than this is not kept for observers.
const size_t KEPT_COMMANDS = 4 * Net::MAX_CATCH_UP_COMMANDS;
// An IPv6 observer the bridge keeps while it is silent: longer than one is let be silent.
const uint32_t BRIDGE_IDLE_MS = 60000;

// A peer found beginning a packet longer than its host takes, and the packet's length: ENet
// would drop it unacknowledged and hold that observer's channel for it until it went silent.
thread_local ENetHost* t_oversizedAt = nullptr;
thread_local ENetPeer* t_oversizedFrom = nullptr;
thread_local uint32_t t_oversizedBytes = 0;
// The admission of the host being serviced (ENet's intercept carries no context of ours).
thread_local ENetHost* t_admittingAt = nullptr;
thread_local CNetAdmission* t_admission = nullptr;

int ENET_CALLBACK SeeOversized(ENetHost* pHost, ENetEvent* /*pEvent*/)
{
    if (t_admittingAt == pHost && t_admission->Admit(pHost, enet_time_get()))
        return 1; // a handshake with no place for it now
    const uint32_t longest = LongestAnnouncedPacket(pHost->receivedData, pHost->receivedDataLength);
    if (longest <= pHost->maximumPacketSize)
        return 0;
    for (size_t i = 0; i < pHost->peerCount && !t_oversizedFrom; ++i)
    {
        ENetPeer& peer = pHost->peers[i];
        if (peer.state != ENET_PEER_STATE_DISCONNECTED && peer.address.host == pHost->receivedAddress.host &&
            peer.address.port == pHost->receivedAddress.port)
        {
            t_oversizedAt = pHost;
            t_oversizedFrom = &peer;
            t_oversizedBytes = longest;
        }
    }
    return 1; // taken here: ENet would drop it anyway
}
} // namespace

CNetObserverHost::~CNetObserverHost()
{
    if (!m_host)
        return;
    for (CWatcher& watcher : m_watchers)
        enet_peer_disconnect_now(watcher.peer, 0);
    enet_host_flush(m_host);
    if (m_bridge)
        m_bridge->Pump();
    enet_host_destroy(m_host);
}

bool CNetObserverHost::Listen(uint16_t pPort, const std::string& pVersion, const std::string& pFingerprint,
                              std::string& pWhy)
{
    if (enet_initialize() != 0)
        return pWhy = "the network library did not start", false;
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = pPort;
    m_host = enet_host_create(&address, SLOTS, 3, 0, 0);
    if (!m_host)
        return pWhy = "cannot wait for observers on UDP port " + std::to_string(pPort) + " (is it in use?)",
               false;
    // Nothing an observer may send is longer than a message, nor needs much waiting room: ENet
    // drops what is bigger before it is put together.
    m_host->maximumPacketSize = Net::MAX_MESSAGE_BYTES;
    m_host->maximumWaitingData = 64 * Net::MAX_MESSAGE_BYTES;
    m_host->intercept = SeeOversized;
    m_version = pVersion;
    m_fingerprint = pFingerprint;
    m_admission.m_onLetGo = [this](ENetPeer* pPeer)
    {
        CWatcher* watcher = Find(pPeer);
        if (watcher)
            watcher->peer = nullptr;
    };
    // As the players' port: IPv6 on the same port number, carried to ENet by a bridge.
    std::string noIpv6;
    m_bridge = CUdp6Bridge::Host(m_host->address.port, BRIDGE_IDLE_MS, noIpv6);
    if (!m_bridge && noIpv6 != CUdp6Bridge::NO_IPV6)
        std::fprintf(stderr, "ampwarden: observers over IPv4 only: %s\n", noIpv6.c_str());
    return true;
}

uint16_t CNetObserverHost::GetPort() const
{
    return m_host ? m_host->address.port : 0;
}

void CNetObserverHost::Detach(CGameWorld& pWorld)
{
    if (m_attached)
        pWorld.RemoveObserver(this);
    m_attached = false;
}

int CNetObserverHost::Greeted() const
{
    return static_cast<int>(std::count_if(m_watchers.begin(), m_watchers.end(),
                                          [](const CWatcher& pWatcher) { return pWatcher.greeted; }));
}

CNetObserverHost::CWatcher* CNetObserverHost::Find(_ENetPeer* pPeer)
{
    for (CWatcher& watcher : m_watchers)
    {
        if (watcher.peer == pPeer)
            return &watcher;
    }
    return nullptr;
}

void CNetObserverHost::Pump(CGameWorld& pWorld, bool pPlaying, bool pOver, int pLeaver, bool pFellSilent)
{
    if (!m_host)
        return;
    // The world is followed from the first pump, so that a match rebuilt before play (a host
    // started again) is followed from its first command; each match starts the list afresh.
    if (!m_attached && !m_ended)
    {
        pWorld.AddObserver(this);
        m_attached = true;
    }
    if (pPlaying && !m_matchOn)
    {
        m_matchOn = true;
        for (int team = 1; team <= 2; ++team)
            m_names[team] = pWorld.m_sideNames[team];
    }
    if (pOver && m_matchOn && !m_ended)
    {
        // Left, claimed, broken: the match stops where the host's world stands.
        m_ended = true;
        m_lastStep = pWorld.m_matchSteps;
        // A side that left makes the other the winner: the observers are told who left.
        m_leaver = pLeaver;
        m_endReason = pLeaver != 0 && pFellSilent                           ? BYE_CLAIMED
                      : pWorld.m_result != RESULT_UNDECIDED && pLeaver == 0 ? BYE_FINISHED
                                                                            : BYE_QUIT;
        for (CWatcher& watcher : m_watchers)
            EndFor(watcher);
    }
    // The board may go on to other matches: they are nobody's to watch.
    if (m_ended)
        Detach(pWorld);
    if (m_bridge)
        m_bridge->Pump();
    ENetEvent event;
    // Every peer but the observers that greeted has GREETING_MS to do so.
    m_admission.Expire(m_host, enet_time_get());
    t_admittingAt = m_host;
    t_admission = &m_admission;
    for (int i = 0; i < EVENTS_PER_PUMP && enet_host_service(m_host, &event, 0) > 0; ++i)
    {
        switch (event.type)
        {
        case ENET_EVENT_TYPE_CONNECT:
        {
            // A full house is told at the greeting: a stranger that never greets takes no place.
            CWatcher watcher;
            watcher.peer = event.peer;
            watcher.since = CNetSession::NowMs();
            m_watchers.push_back(watcher);
            break;
        }
        case ENET_EVENT_TYPE_RECEIVE:
        {
            CWatcher* watcher = Find(event.peer);
            if (watcher)
                OnReceive(pWorld, *watcher, event.packet->data, event.packet->dataLength);
            enet_packet_destroy(event.packet);
            break;
        }
        case ENET_EVENT_TYPE_DISCONNECT:
        {
            CWatcher* watcher = Find(event.peer);
            if (watcher && watcher->greeted)
                std::fprintf(stderr, "ampwarden: observer %d left or went silent\n", watcher->number);
            if (watcher)
                watcher->peer = nullptr;
            break;
        }
        default:
            break;
        }
        m_watchers.erase(std::remove_if(m_watchers.begin(), m_watchers.end(),
                                        [](const CWatcher& pWatcher) { return pWatcher.peer == nullptr; }),
                         m_watchers.end());
    }
    t_admittingAt = nullptr;
    t_admission = nullptr;
    const std::string summary = m_admission.Summary(enet_time_get());
    if (!summary.empty())
        std::fprintf(stderr, "ampwarden: observers' port: %s\n", summary.c_str());
    CWatcher* oversized = t_oversizedAt == m_host ? Find(t_oversizedFrom) : nullptr;
    if (oversized)
        Drop(*oversized, CODE_BAD,
             "sent a packet of " + std::to_string(t_oversizedBytes) + " bytes (messages are at most " +
                 std::to_string(Net::MAX_MESSAGE_BYTES) + ")");
    if (t_oversizedAt == m_host)
        t_oversizedAt = nullptr, t_oversizedFrom = nullptr;
    for (CWatcher& watcher : m_watchers)
    {
        if (watcher.greeted && !watcher.live && m_matchOn && pWorld.m_matchSteps > 0)
            CatchUp(pWorld, watcher);
        else if (watcher.live && watcher.sentThrough - watcher.acked > LAG_LIMIT_STEPS)
            Drop(watcher, CODE_SLOW, "stopped reading (20 s behind)");
    }
    m_watchers.erase(std::remove_if(m_watchers.begin(), m_watchers.end(),
                                    [](const CWatcher& pWatcher) { return pWatcher.peer == nullptr; }),
                     m_watchers.end());
    enet_host_flush(m_host);
    if (m_bridge)
        m_bridge->Pump();
}

void CNetObserverHost::Drop(CWatcher& pWatcher, uint32_t pCode, const std::string& pWhy)
{
    if (!pWatcher.peer)
        return;
    // Strangers that never watched are counted, not each said.
    if (pWatcher.greeted)
        std::fprintf(stderr, "ampwarden: observer %d %s: dropped\n", pWatcher.number, pWhy.c_str());
    else
        m_admission.CountRefusal();
    // Nothing more is owed to it: what is queued for it goes.
    enet_peer_disconnect_now(pWatcher.peer, pCode);
    pWatcher.peer = nullptr;
}

void CNetObserverHost::SendTo(CWatcher& pWatcher, const CNetMessage& pMessage)
{
    if (!pWatcher.peer)
        return;
    const std::vector<uint8_t> bytes = EncodeNetMessage(pMessage);
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet && enet_peer_send(pWatcher.peer, 0, packet) != 0)
        enet_packet_destroy(packet);
}

void CNetObserverHost::OnReceive(CGameWorld& pWorld, CWatcher& pWatcher, const uint8_t* pData, size_t pSize)
{
    CNetMessage message;
    std::string why;
    if (!DecodeNetMessage(pData, pSize, message, why))
        return Drop(pWatcher, CODE_BAD, "sent " + why);
    if (!pWatcher.greeted)
    {
        if (message.type != NET_HELLO)
            return Drop(pWatcher, CODE_BAD, "did not greet first");
        if (message.protocol != Net::PROTOCOL_VERSION || message.version != m_version ||
            message.fingerprint != m_fingerprint || message.rules != RULES_VERSION)
            return Drop(pWatcher, CODE_REFUSED,
                        "runs another version (" + PrintableText(message.version) + ", protocol " +
                            std::to_string(message.protocol) + ")");
        if (Greeted() >= Net::MAX_OBSERVERS)
            return Drop(pWatcher, CODE_FULL,
                        "came when " + std::to_string(Net::MAX_OBSERVERS) + " watch already");
        pWatcher.greeted = true;
        m_admission.SetGreeted(pWatcher.peer);
        // The lowest number free among those watching.
        for (int n = 1; pWatcher.number == 0; ++n)
        {
            if (std::none_of(m_watchers.begin(), m_watchers.end(),
                             [n](const CWatcher& pOther) { return pOther.greeted && pOther.number == n; }))
                pWatcher.number = n;
        }
        std::fprintf(stderr, "ampwarden: observer %d is watching\n", pWatcher.number);
        if (m_matchOn && pWorld.m_matchSteps > 0)
            CatchUp(pWorld, pWatcher);
        return;
    }
    switch (message.type)
    {
    case NET_READY:
        // How far it has read; never more than it was sent.
        pWatcher.acked = std::max(pWatcher.acked, std::min(message.step, pWatcher.sentThrough));
        break;
    case NET_CHAT:
    {
        message.from = Net::CHAT_FROM_OBSERVER + pWatcher.number - 1;
        message.step = pWorld.m_matchSteps;
        if (!pWatcher.chat.Allow(CNetSession::NowMs()))
        {
            if (!pWatcher.floodSaid)
                std::fprintf(stderr,
                             "ampwarden: observer %d sends over 5 chat lines in 10 s: the rest are dropped\n",
                             pWatcher.number);
            pWatcher.floodSaid = true;
            break;
        }
        const std::string text = CleanChatText(message.text);
        if (text.empty())
            break;
        message.text = text;
        if (m_onChat)
            m_onChat(message, m_chatToPlayers);
        else
            Broadcast(message);
        break;
    }
    case NET_BYE:
        enet_peer_disconnect_later(pWatcher.peer, 0);
        break;
    default:
        Drop(pWatcher, CODE_BAD, "sent a message only players send (observers never play)");
        break;
    }
}

void CNetObserverHost::CatchUp(CGameWorld& pWorld, CWatcher& pWatcher)
{
    if (m_commands.size() > static_cast<size_t>(Net::MAX_CATCH_UP_COMMANDS))
        return Drop(pWatcher, CODE_TOO_LONG, "cannot be sent the match: over 20,000 commands");
    const int step = pWorld.m_matchSteps;
    CNetMessage watch;
    watch.type = NET_WATCH;
    watch.from = pWatcher.number;
    watch.greenName = m_names[1];
    watch.blueName = m_names[2];
    watch.paused = m_chatToPlayers;
    SendTo(pWatcher, watch);
    // Every command so far ran at a step before the one the world stands at.
    CNetMessage catchUp;
    catchUp.type = NET_CATCH_UP;
    catchUp.seed = pWorld.m_matchSeed;
    catchUp.date = m_matchDate;
    catchUp.delay = 1;
    catchUp.step = step;
    catchUp.hostThrough = catchUp.joinerThrough = step - 1;
    catchUp.hash = HashMatchState(pWorld);
    catchUp.count = static_cast<int>(m_commands.size());
    SendTo(pWatcher, catchUp);
    CNetMessage history;
    history.type = NET_HISTORY;
    for (size_t i = 0; i < m_commands.size(); ++i)
    {
        history.commands.push_back(m_commands[i]);
        if (history.commands.size() == static_cast<size_t>(Net::MAX_HISTORY_COMMANDS) ||
            i + 1 == m_commands.size())
        {
            SendTo(pWatcher, history);
            history.commands.clear();
        }
    }
    pWatcher.live = true;
    pWatcher.sentThrough = pWatcher.acked = step - 1;
    pWatcher.sentCommands = m_commands.size();
    if (m_ended)
        EndFor(pWatcher);
}

void CNetObserverHost::SendTurn(CWatcher& pWatcher, int pThrough)
{
    if (!pWatcher.live || pThrough <= pWatcher.sentThrough)
        return;
    CNetMessage turn;
    turn.type = NET_TURN;
    // A turn covers at most Net::MAX_TURN_SPAN steps and Net::MAX_TURN_COMMANDS commands.
    while (pWatcher.sentThrough < pThrough && pWatcher.peer)
    {
        turn.through = std::min(pThrough, pWatcher.sentThrough + Net::MAX_TURN_SPAN);
        turn.commands.clear();
        size_t next = pWatcher.sentCommands;
        for (; next < m_commands.size() && m_commands[next].step <= turn.through; ++next)
            turn.commands.push_back(m_commands[next]);
        if (turn.commands.size() > static_cast<size_t>(Net::MAX_TURN_COMMANDS))
        {
            // One step at a time; a single step never holds that many in a match of two.
            turn.through = pWatcher.sentThrough + 1;
            turn.commands.clear();
            next = pWatcher.sentCommands;
            for (; next < m_commands.size() && m_commands[next].step <= turn.through; ++next)
                turn.commands.push_back(m_commands[next]);
            if (turn.commands.size() > static_cast<size_t>(Net::MAX_TURN_COMMANDS))
                return Drop(pWatcher, CODE_TOO_LONG, "cannot be sent a step of over 32 commands");
        }
        turn.span = turn.through - pWatcher.sentThrough;
        SendTo(pWatcher, turn);
        pWatcher.sentThrough = turn.through;
        pWatcher.sentCommands = next;
    }
}

void CNetObserverHost::EndFor(CWatcher& pWatcher)
{
    SendTurn(pWatcher, m_lastStep);
    if (!pWatcher.peer)
        return;
    CNetMessage bye;
    bye.type = NET_BYE;
    bye.reason = m_endReason;
    bye.from = m_leaver;
    bye.lastStep = m_lastStep;
    SendTo(pWatcher, bye);
    // It reads what is queued, then goes.
    enet_peer_disconnect_later(pWatcher.peer, 0);
}

void CNetObserverHost::Broadcast(const CNetMessage& pMessage)
{
    for (CWatcher& watcher : m_watchers)
    {
        if (watcher.live)
            SendTo(watcher, pMessage);
    }
}

void CNetObserverHost::OnMatchStarted(CGameWorld& /*pWorld*/)
{
    m_commands.clear();
}

void CNetObserverHost::OnCommand(CGameWorld& pWorld, const CMatchCommand& pCommand)
{
    if (m_commands.size() >= KEPT_COMMANDS)
    {
        // Longer than anyone plays: the observers cannot be kept up with it.
        for (CWatcher& watcher : m_watchers)
            Drop(watcher, CODE_TOO_LONG, "cannot be sent a match this long");
        return;
    }
    CMatchCommand command = pCommand;
    command.step = pWorld.m_matchSteps;
    m_commands.push_back(command);
}

void CNetObserverHost::OnStepRun(CGameWorld& pWorld)
{
    if (m_ended || !m_matchOn)
        return;
    m_step = pWorld.m_matchSteps;
    const bool decided = pWorld.m_result != RESULT_UNDECIDED;
    if (decided)
    {
        m_ended = true;
        m_lastStep = m_step;
        m_endReason = BYE_FINISHED;
    }
    for (CWatcher& watcher : m_watchers)
    {
        if (decided)
            EndFor(watcher);
        else if (m_step - 1 - watcher.sentThrough >= TURN_STEPS)
            SendTurn(watcher, m_step - 1);
    }
}

std::unique_ptr<CNetObserverHost> OpenObserverHost(const CNetSetup& pSetup, CNetChatLink& pChat)
{
    std::unique_ptr<CNetObserverHost> host(new CNetObserverHost);
    std::string why;
    const uint16_t port = static_cast<uint16_t>(pSetup.address.port + 1);
    if (port == 0 || !host->Listen(port, pSetup.version, pSetup.fingerprint, why))
    {
        std::fprintf(stderr, "ampwarden: no observers: %s\n",
                     why.empty() ? "no port after the game's" : why.c_str());
        return nullptr;
    }
    host->m_chatToPlayers = pSetup.observerChat;
    CNetObserverHost* observers = host.get();
    pChat.m_toObservers = [observers](const CNetMessage& pMessage) { observers->Broadcast(pMessage); };
    host->m_onChat = [&pChat](const CNetMessage& pMessage, bool pToPlayers)
    { pChat.FromObserver(pMessage, pToPlayers); };
    return host;
}
