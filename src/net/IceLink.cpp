#include "net/IceLink.h"

#include "net/Loopback.h"

#include <arpa/inet.h>
#include <nice/agent.h>
#include <nice/interfaces.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace
{
// Datagrams moved each way per wake: a flood is worked off over several.
const int BATCH = 32;
// The link's thread wakes at least this often, to see whether it must stop.
const int LONGEST_SLEEP_MS = 100;

uint32_t NowMs()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int OurType(NiceCandidateType pType)
{
    switch (pType)
    {
    case NICE_CANDIDATE_TYPE_SERVER_REFLEXIVE:
        return CIceCandidate::SERVER_REFLEXIVE;
    case NICE_CANDIDATE_TYPE_PEER_REFLEXIVE:
        return CIceCandidate::PEER_REFLEXIVE;
    case NICE_CANDIDATE_TYPE_RELAYED:
        return CIceCandidate::RELAYED;
    default:
        return CIceCandidate::HOST;
    }
}

NiceCandidateType NiceType(int pType)
{
    const NiceCandidateType types[] = {NICE_CANDIDATE_TYPE_HOST, NICE_CANDIDATE_TYPE_SERVER_REFLEXIVE,
                                       NICE_CANDIDATE_TYPE_PEER_REFLEXIVE, NICE_CANDIDATE_TYPE_RELAYED};
    return types[pType];
}

std::string AddressText(const NiceAddress& pAddress)
{
    char text[NICE_ADDRESS_STRING_LEN];
    nice_address_to_string(&pAddress, text);
    return std::string(text) + ":" + std::to_string(nice_address_get_port(&pAddress));
}

void SetIfKnown(NiceAgent* pAgent, const char* pName, gboolean pValue)
{
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(pAgent), pName))
        g_object_set(pAgent, pName, pValue, nullptr);
}
} // namespace

const char* CIceLink::PathName(int pKind)
{
    switch (pKind)
    {
    case PATH_DIRECT:
        return "direct";
    case PATH_ROUTERS:
        return "through your routers";
    case PATH_RELAYED:
        return "relayed by the lobby's server";
    default:
        return "not connected";
    }
}

std::unique_ptr<CIceLink> CIceLink::Start(const CIceServers& pServers, bool pHosting, uint16_t pEnetPort,
                                          std::string& pWhy)
{
    std::unique_ptr<CIceLink> link(new CIceLink);
    if (!link->Open(pServers, pHosting, pEnetPort, pWhy))
        return nullptr;
    link->m_thread = std::thread(&CIceLink::Run, link.get());
    return link;
}

bool CIceLink::Open(const CIceServers& pServers, bool pHosting, uint16_t pEnetPort, std::string& pWhy)
{
    m_hosting = pHosting;
    m_enetPort = pEnetPort;
    m_peer.reset(new unsigned char[sizeof(NiceAddress)]());
    m_loopback = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    m_wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    sockaddr_in own = LoopbackIpv4(0);
    socklen_t length = sizeof own;
    if (m_loopback < 0 || m_wake < 0 ||
        bind(m_loopback, reinterpret_cast<sockaddr*>(&own), sizeof own) != 0 ||
        getsockname(m_loopback, reinterpret_cast<sockaddr*>(&own), &length) != 0)
        return pWhy = "cannot open a UDP socket on 127.0.0.1 for the link", false;
    m_loopbackPort = ntohs(own.sin_port);
    if (pHosting)
    {
        const sockaddr_in enet = LoopbackIpv4(pEnetPort);
        if (connect(m_loopback, reinterpret_cast<const sockaddr*>(&enet), sizeof enet) != 0)
            return pWhy = "cannot reach the match's port on 127.0.0.1", false;
    }
    m_context = g_main_context_new();
    m_agent =
        nice_agent_new_full(m_context, NICE_COMPATIBILITY_RFC5245, NICE_AGENT_OPTION_REGULAR_NOMINATION);
    if (!m_agent)
        return pWhy = "the ICE library did not start", false;
    g_object_set(m_agent, "controlling-mode", pHosting ? TRUE : FALSE, nullptr);
    // UDP only, and nothing sent to the home router's UPnP service behind the player's back.
    SetIfKnown(m_agent, "ice-tcp", FALSE);
    SetIfKnown(m_agent, "upnp", FALSE);
    // A TURN allocation tells our outside address too; asking the same server for it apart
    // would only be answered on the socket libnice reads as the relay's (it passes the answer
    // over and waits for it until it gives up).
    const bool stunIsTurn = pServers.stunHost == pServers.turnHost && pServers.stunPort == pServers.turnPort;
    if (!pServers.stunHost.empty() && !stunIsTurn)
        g_object_set(m_agent, "stun-server", pServers.stunHost.c_str(), "stun-server-port",
                     static_cast<guint>(pServers.stunPort), nullptr);
    // The machine's addresses, but not IPv6 link-local ones: no other home can reach those, and
    // the servers' answers to them never come, which holds gathering up until it gives up.
    GList* addresses = nice_interfaces_get_local_ips(FALSE);
    for (GList* item = addresses; item; item = item->next)
    {
        const char* text = static_cast<const char*>(item->data);
        NiceAddress address;
        if (g_ascii_strncasecmp(text, "fe80:", 5) != 0 && nice_address_set_from_string(&address, text))
            nice_agent_add_local_address(m_agent, &address);
    }
    g_list_free_full(addresses, g_free);
    m_stream = nice_agent_add_stream(m_agent, 1);
    if (m_stream == 0)
        return pWhy = "the ICE library did not start", false;
    if (!pServers.turnHost.empty())
    {
        m_haveTurn = nice_agent_set_relay_info(m_agent, m_stream, 1, pServers.turnHost.c_str(),
                                               pServers.turnPort, pServers.turnUser.c_str(),
                                               pServers.turnPassword.c_str(), NICE_RELAY_TYPE_TURN_UDP);
        if (!m_haveTurn)
            return pWhy = "the relay server's address is not a numeric one: " + pServers.turnHost, false;
        m_turnName = pServers.turnHost + ":" + std::to_string(pServers.turnPort);
    }
    g_signal_connect(m_agent, "candidate-gathering-done", G_CALLBACK(OnGatheringDone), this);
    g_signal_connect(m_agent, "component-state-changed", G_CALLBACK(OnStateChanged), this);
    g_signal_connect(m_agent, "new-selected-pair-full", G_CALLBACK(OnPairSelected), this);
    nice_agent_attach_recv(m_agent, m_stream, 1, m_context, reinterpret_cast<NiceAgentRecvFunc>(OnReceived),
                           this);
    return true;
}

CIceLink::~CIceLink()
{
    m_stop = true;
    if (m_wake >= 0)
    {
        const uint64_t one = 1;
        (void)!write(m_wake, &one, sizeof one);
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_agent)
        g_object_unref(m_agent);
    if (m_context)
        g_main_context_unref(m_context);
    if (m_loopback >= 0)
        close(m_loopback);
    if (m_wake >= 0)
        close(m_wake);
}

int CIceLink::GetState() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_state;
}

int CIceLink::GetPathKind() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_kind;
}

std::string CIceLink::LocalPayload() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_localPayload;
}

std::string CIceLink::Describe() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_description;
}

bool CIceLink::SetRemote(const std::string& pPayload, std::string& pWhy)
{
    CIcePayload payload;
    size_t skipped = 0;
    if (!DecodeIcePayload(pPayload, payload, skipped, pWhy))
        return Fail(pWhy), false;
    if (payload.candidates.empty())
        return pWhy = "the other side sent no address it can be reached at", Fail(pWhy), false;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_remotePayload = pPayload;
        m_remotePending = true;
    }
    const uint64_t one = 1;
    (void)!write(m_wake, &one, sizeof one);
    return true;
}

void CIceLink::Fail(const std::string& pWhy)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_state == FAILED)
        return;
    m_state = FAILED;
    m_description = pWhy;
}

void CIceLink::Run()
{
    g_main_context_acquire(m_context);
    m_startedMs = NowMs();
    if (!nice_agent_gather_candidates(m_agent, m_stream))
        Fail("cannot open a UDP socket for the link");
    while (!m_stop)
    {
        Iterate(LONGEST_SLEEP_MS);
        if (GetState() == GATHERING && NowMs() - m_startedMs > GATHER_MS)
            Gathered();
        bool apply = false;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            apply = m_remotePending && m_state == GATHERED;
        }
        if (apply)
        {
            m_checkingSinceMs = NowMs();
            ApplyRemote();
        }
        if (GetState() == CHECKING && NowMs() - m_checkingSinceMs > CHECK_MS)
            Fail("no path between the two of you worked (out of time)");
        MoveDatagrams();
    }
    // The relay is told it may let go of our allocation (within half a second at most).
    bool closed = false;
    nice_agent_close_async(
        m_agent, [](GObject*, GAsyncResult*, gpointer pClosed) { *static_cast<bool*>(pClosed) = true; },
        &closed);
    for (int i = 0; i < 50 && !closed; ++i)
        Iterate(10);
    g_main_context_release(m_context);
}

void CIceLink::Iterate(int pTimeoutMs)
{
    gint priority = 0;
    g_main_context_prepare(m_context, &priority);
    std::vector<GPollFD> fds(8);
    gint timeout = 0;
    gint count = 0;
    while ((count = g_main_context_query(m_context, priority, &timeout, fds.data(),
                                         static_cast<gint>(fds.size()))) > static_cast<gint>(fds.size()))
        fds.resize(static_cast<size_t>(count));
    fds.resize(static_cast<size_t>(count));
    // libnice's sockets are among the context's; ENet's socket and the game's wake-up are ours.
    fds.push_back({m_loopback, G_IO_IN, 0});
    fds.push_back({m_wake, G_IO_IN, 0});
    if (timeout < 0 || timeout > pTimeoutMs)
        timeout = pTimeoutMs;
    g_poll(fds.data(), static_cast<guint>(fds.size()), timeout);
    g_main_context_check(m_context, priority, fds.data(), count);
    g_main_context_dispatch(m_context);
    uint64_t woken = 0;
    (void)!read(m_wake, &woken, sizeof woken);
}

void CIceLink::OnReceived(_NiceAgent*, unsigned, unsigned, unsigned pLength, char* pData, void* pSelf)
{
    // libnice passes on only datagrams from the other side's own addresses (it drops the rest,
    // and takes its checks out); before a pair is chosen ENet has nothing to hear.
    CIceLink& link = *static_cast<CIceLink*>(pSelf);
    if (!link.m_havePeer || link.m_enetPort == 0 || pLength > MAX_DATAGRAM)
    {
        ++link.m_strays;
        return;
    }
    link.m_received += pLength;
    const sockaddr_in enet = LoopbackIpv4(link.m_enetPort);
    sendto(link.m_loopback, pData, pLength, MSG_DONTWAIT, reinterpret_cast<const sockaddr*>(&enet),
           sizeof enet);
}

void CIceLink::MoveDatagrams()
{
    std::vector<uint8_t> buffer(MAX_DATAGRAM + 1);
    // From ENet to the other side, over the selected pair.
    for (int i = 0; i < BATCH; ++i)
    {
        sockaddr_in sender{};
        socklen_t length = sizeof sender;
        const ssize_t got = recvfrom(m_loopback, buffer.data(), MAX_DATAGRAM + 1, MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&sender), &length);
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (got <= 0 || static_cast<size_t>(got) > MAX_DATAGRAM || sender.sin_family != AF_INET ||
            sender.sin_addr.s_addr != htonl(INADDR_LOOPBACK))
            continue;
        if (!m_hosting)
            m_enetPort = ntohs(sender.sin_port);
        if (!m_havePeer)
            continue;
        if (nice_agent_send(m_agent, m_stream, 1, static_cast<guint>(got),
                            reinterpret_cast<const gchar*>(buffer.data())) > 0)
            m_sent += static_cast<uint64_t>(got);
    }
}

void CIceLink::Gathered()
{
    CIcePayload payload;
    gchar* ufrag = nullptr;
    gchar* password = nullptr;
    if (nice_agent_get_local_credentials(m_agent, m_stream, &ufrag, &password))
    {
        payload.ufrag = ufrag;
        payload.password = password;
    }
    g_free(ufrag);
    g_free(password);
    bool relayed = false;
    // The servers' candidates first, so that a machine with many addresses keeps them all.
    std::vector<CIceCandidate> hosts;
    GSList* candidates = nice_agent_get_local_candidates(m_agent, m_stream, 1);
    for (GSList* item = candidates; item; item = item->next)
    {
        const NiceCandidate* candidate = static_cast<const NiceCandidate*>(item->data);
        if (candidate->transport != NICE_CANDIDATE_TRANSPORT_UDP)
            continue;
        CIceCandidate ours;
        char address[NICE_ADDRESS_STRING_LEN];
        nice_address_to_string(&candidate->addr, address);
        ours.address = address;
        ours.port = static_cast<uint16_t>(nice_address_get_port(&candidate->addr));
        ours.priority = candidate->priority;
        ours.foundation = candidate->foundation;
        ours.type = OurType(candidate->type);
        relayed = relayed || ours.type == CIceCandidate::RELAYED;
        (ours.type == CIceCandidate::HOST ? hosts : payload.candidates).push_back(ours);
    }
    g_slist_free_full(candidates, reinterpret_cast<GDestroyNotify>(nice_candidate_free));
    payload.candidates.insert(payload.candidates.end(), hosts.begin(), hosts.end());
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_state != GATHERING)
        return;
    m_localPayload = EncodeIcePayload(payload);
    m_state = GATHERED;
    m_relayMissing = m_haveTurn && !relayed;
}

void CIceLink::ApplyRemote()
{
    std::string text;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        text = m_remotePayload;
        m_remotePending = false;
    }
    CIcePayload payload;
    size_t skipped = 0;
    std::string why;
    if (!DecodeIcePayload(text, payload, skipped, why))
        return Fail(why);
    m_remoteSkipped = skipped;
    nice_agent_set_remote_credentials(m_agent, m_stream, payload.ufrag.c_str(), payload.password.c_str());
    GSList* list = nullptr;
    for (const CIceCandidate& remote : payload.candidates)
    {
        NiceCandidate* candidate = nice_candidate_new(NiceType(remote.type));
        candidate->stream_id = m_stream;
        candidate->component_id = 1;
        candidate->transport = NICE_CANDIDATE_TRANSPORT_UDP;
        candidate->priority = remote.priority;
        std::strncpy(candidate->foundation, remote.foundation.c_str(), NICE_CANDIDATE_MAX_FOUNDATION - 1);
        if (!nice_address_set_from_string(&candidate->addr, remote.address.c_str()))
        {
            nice_candidate_free(candidate);
            continue;
        }
        nice_address_set_port(&candidate->addr, remote.port);
        list = g_slist_append(list, candidate);
    }
    const int added = nice_agent_set_remote_candidates(m_agent, m_stream, 1, list);
    g_slist_free_full(list, reinterpret_cast<GDestroyNotify>(nice_candidate_free));
    if (added <= 0)
        return Fail("none of the other side's addresses can be tried");
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_state == GATHERED)
        m_state = CHECKING;
}

void CIceLink::OnGatheringDone(_NiceAgent*, unsigned, void* pSelf)
{
    static_cast<CIceLink*>(pSelf)->Gathered();
}

void CIceLink::OnStateChanged(_NiceAgent*, unsigned, unsigned, unsigned pState, void* pSelf)
{
    CIceLink& link = *static_cast<CIceLink*>(pSelf);
    if (pState != NICE_COMPONENT_STATE_FAILED)
        return;
    std::string why = "no path between the two of you worked";
    if (link.m_relayMissing)
        why += ", and the relay server " + link.m_turnName + " did not answer";
    else if (!link.m_haveTurn)
        why += ", and there is no relay server to fall back on";
    link.Fail(why);
}

void CIceLink::OnPairSelected(_NiceAgent*, unsigned, unsigned, void* pLocal, void* pRemote, void* pSelf)
{
    CIceLink& link = *static_cast<CIceLink*>(pSelf);
    const NiceCandidate* local = static_cast<const NiceCandidate*>(pLocal);
    const NiceCandidate* remote = static_cast<const NiceCandidate*>(pRemote);
    const int worst = std::max(OurType(local->type), OurType(remote->type));
    std::memcpy(link.m_peer.get(), &remote->addr, sizeof(NiceAddress));
    link.m_havePeer = true;
    std::lock_guard<std::mutex> hold(link.m_lock);
    if (link.m_state == FAILED)
        return;
    link.m_state = CONNECTED;
    link.m_kind = worst == CIceCandidate::RELAYED ? PATH_RELAYED
                  : worst == CIceCandidate::HOST  ? PATH_DIRECT
                                                  : PATH_ROUTERS;
    link.m_description = AddressText(local->addr) + " " + IceTypeName(OurType(local->type)) + " - " +
                         AddressText(remote->addr) + " " + IceTypeName(OurType(remote->type));
}
