#include "lobby/LobbyClient.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <strophe.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lobby/LobbyXml.h"

namespace
{
using Clock = std::chrono::steady_clock;

// libstrophe is not safe to run on several threads at once, even with a context each (two
// sign-ins in step compute wrong SCRAM proofs): the connections of one process take turns.
std::mutex g_stropheTurn;

uint32_t NowMs()
{
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

bool IsNumericAddress(const std::string& pText)
{
    unsigned char bytes[16];
    return inet_pton(AF_INET, pText.c_str(), bytes) == 1 || inet_pton(AF_INET6, pText.c_str(), bytes) == 1;
}

// The local address of the route toward the server: a datagram socket "connected" there sends
// nothing, but the system picks the interface it would use.
std::string LocalAddressToward(const std::string& pServer, uint16_t pPort)
{
    addrinfo hints = {};
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(pServer.c_str(), std::to_string(pPort).c_str(), &hints, &found) != 0 || !found)
        return std::string();
    std::string address;
    const int sock = socket(found->ai_family, SOCK_DGRAM, 0);
    sockaddr_storage local = {};
    socklen_t size = sizeof local;
    if (sock >= 0 && connect(sock, found->ai_addr, found->ai_addrlen) == 0 &&
        getsockname(sock, reinterpret_cast<sockaddr*>(&local), &size) == 0)
    {
        char text[INET6_ADDRSTRLEN] = "";
        const void* bytes =
            local.ss_family == AF_INET6
                ? static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(&local)->sin6_addr)
                : static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(&local)->sin_addr);
        if (inet_ntop(local.ss_family, bytes, text, sizeof text))
            address = text;
    }
    if (sock >= 0)
        close(sock);
    freeaddrinfo(found);
    return address;
}
} // namespace

// Everything that touches libstrophe, on the connection's own thread.
struct CLobbyClient::CWorker
{
    enum State
    {
        CREATING,   // a raw stream to make the account
        CONNECTING, // signing in
        ONLINE,
        WAITING, // to sign in again
        DONE,
    };

    CLobbyLogin login;
    std::string domain;
    std::string roomAddress;
    std::string nick;
    xmpp_ctx_t* ctx = nullptr;
    xmpp_conn_t* conn = nullptr;
    State state = CONNECTING;
    bool everInRoom = false;
    bool created = false;
    bool stopping = false;
    bool connected = false;
    int tries = 0;
    int nickTries = 0;
    int firstTries = 0;
    Clock::time_point retryAt;
    bool advertising = false;
    CLobbyMatchAd ad;

    std::mutex lock;
    std::deque<std::function<void(CWorker&)>> commands;
    std::deque<CLobbyEvent> events;
    std::string localAddress;
    std::atomic<bool> quit{false};
    std::atomic<int>* refused = nullptr;
    xmpp_log_t log = {};
    std::string logName;

    void Emit(const CLobbyEvent& pEvent)
    {
        std::lock_guard<std::mutex> guard(lock);
        // A game that stops polling is not flooded: past this many, the oldest go.
        if (events.size() >= 4096)
            events.pop_front();
        events.push_back(pEvent);
    }
    void Fail(const std::string& pWhy)
    {
        CLobbyEvent event;
        event.kind = CLobbyEvent::FAILED;
        event.text = pWhy;
        Emit(event);
        state = DONE;
        if (conn && !xmpp_conn_is_disconnected(conn))
            xmpp_disconnect(conn);
    }
    void Drop()
    {
        if (conn)
            xmpp_conn_release(conn);
        conn = nullptr;
    }

    void Connect();
    void Lost(int pError);
    void SendRoomPresence(bool pLeaving);
    void Run();
};

namespace
{
using CWorker = CLobbyClient::CWorker;

int OnFeatures(xmpp_conn_t* pConn, xmpp_stanza_t* pStanza, void* pUser);

int OnRegistered(xmpp_conn_t*, xmpp_stanza_t* pStanza, void* pUser)
{
    CWorker& worker = *static_cast<CWorker*>(pUser);
    const char* type = xmpp_stanza_get_type(pStanza);
    if (type && std::strcmp(type, "result") == 0)
    {
        worker.created = true;
        CLobbyEvent event;
        event.kind = CLobbyEvent::CREATED;
        worker.Emit(event);
        xmpp_disconnect(worker.conn);
        return 0;
    }
    CLobbyElement reply;
    std::string why;
    CopyLobbyElement(pStanza, reply, why);
    const CLobbyElement* error = reply.Child("error");
    std::string text = error && error->Child("text") ? CleanChatText(error->Child("text")->text) : "";
    if (error && error->Child("conflict"))
        text = "the name " + worker.login.account + " is taken";
    worker.Fail("Cannot make the account: " + (text.empty() ? "the server refuses" : text.substr(0, 120)));
    return 0;
}

int OnProceed(xmpp_conn_t* pConn, xmpp_stanza_t*, void* pUser)
{
    CWorker& worker = *static_cast<CWorker*>(pUser);
    if (xmpp_conn_tls_start(pConn) != XMPP_EOK)
        return worker.Fail("Cannot make the account: the encryption failed"), 0;
    xmpp_handler_add(pConn, OnFeatures, XMPP_NS_STREAMS, "features", nullptr, pUser);
    xmpp_conn_open_stream_default(pConn);
    return 0;
}

// The stream to make an account: encrypted first when the server can, then the form.
int OnFeatures(xmpp_conn_t* pConn, xmpp_stanza_t* pStanza, void* pUser)
{
    CWorker& worker = *static_cast<CWorker*>(pUser);
    const bool secured = xmpp_conn_is_secured(pConn);
    if (!secured && xmpp_stanza_get_child_by_name_and_ns(pStanza, "starttls", XMPP_NS_TLS))
    {
        xmpp_handler_add(pConn, OnProceed, XMPP_NS_TLS, "proceed", nullptr, pUser);
        xmpp_send_raw_string(pConn, "<starttls xmlns='%s'/>", XMPP_NS_TLS);
        return 0;
    }
    if (!secured && worker.login.requireTls)
        return worker.Fail("Cannot make the account: the server offers no encryption"), 0;
    CLobbyElement query;
    query.name = "query";
    query.ns = XMPP_NS_REGISTER;
    query.children.resize(2);
    query.children[0].name = "username";
    query.children[0].text = worker.login.account;
    query.children[1].name = "password";
    query.children[1].text = worker.login.password;
    xmpp_stanza_t* iq = xmpp_iq_new(worker.ctx, "set", "make-account");
    xmpp_stanza_t* body = NewLobbyStanza(worker.ctx, query);
    xmpp_stanza_add_child_ex(iq, body, 0);
    xmpp_id_handler_add(pConn, OnRegistered, "make-account", pUser);
    xmpp_send(pConn, iq);
    xmpp_stanza_release(iq);
    return 0;
}

int OnPresence(xmpp_conn_t*, xmpp_stanza_t* pStanza, void* pUser)
{
    CWorker& worker = *static_cast<CWorker*>(pUser);
    CLobbyElement element;
    std::string why;
    CLobbyEvent event;
    event.kind = CLobbyEvent::PRESENCE;
    const char* type = xmpp_stanza_get_type(pStanza);
    const char* from = xmpp_stanza_get_from(pStanza);
    // Our nickname taken by someone else: another, a bounded number of times.
    if (type && std::strcmp(type, "error") == 0 && from && BareAccount(from) == worker.roomAddress)
    {
        xmpp_stanza_t* error = xmpp_stanza_get_child_by_name(pStanza, "error");
        if (error && xmpp_stanza_get_child_by_name(error, "conflict") && ++worker.nickTries < 5)
        {
            worker.nick = (worker.login.nick.empty() ? worker.login.account : worker.login.nick) + "-" +
                          std::to_string(worker.nickTries + 1);
            worker.SendRoomPresence(false);
        }
        else
        {
            CLobbyElement element;
            std::string why;
            CopyLobbyElement(pStanza, element, why);
            const CLobbyElement* reason = element.Child("error");
            worker.Fail(
                "The room " + worker.roomAddress + " refuses us" +
                (reason && !reason->children.empty() ? ": " + reason->children[0].name.substr(0, 40) : ""));
        }
        return 1;
    }
    if (!CopyLobbyElement(pStanza, element, why) ||
        !ReadRoomPresence(element, worker.roomAddress, event.presence, why))
        return ++*worker.refused, 1;
    if (event.presence.self && !event.presence.leaving)
    {
        worker.everInRoom = true;
        worker.tries = 0;
        CLobbyEvent in;
        in.kind = CLobbyEvent::IN_ROOM;
        in.text = event.presence.nick;
        worker.Emit(in);
    }
    worker.Emit(event);
    return 1;
}

int OnMessage(xmpp_conn_t*, xmpp_stanza_t* pStanza, void* pUser)
{
    CWorker& worker = *static_cast<CWorker*>(pUser);
    CLobbyElement element;
    std::string why;
    if (!CopyLobbyElement(pStanza, element, why))
        return ++*worker.refused, 1;
    CLobbyEvent event;
    if (element.Attribute("type") == "groupchat")
    {
        event.kind = CLobbyEvent::CHAT;
        if (!ReadRoomChat(element, worker.roomAddress, event.chat, why))
            return element.Child("subject") ? 1 : (++*worker.refused, 1);
        worker.Emit(event);
        return 1;
    }
    // A direct message: from another account, holding one element of the game's own.
    event.kind = CLobbyEvent::DIRECT;
    event.from = element.Attribute("from");
    event.fromAccount = BareAccount(event.from);
    for (const CLobbyElement& child : element.children)
    {
        if (child.ns == Lobby::NS)
        {
            event.payload = child;
            break;
        }
    }
    if (event.fromAccount.empty() || event.payload.name.empty() || element.Attribute("type") == "error")
        return ++*worker.refused, 1;
    worker.Emit(event);
    return 1;
}

void OnConnection(xmpp_conn_t* pConn, xmpp_conn_event_t pEvent, int pError, xmpp_stream_error_t*, void* pUser)
{
    CWorker& worker = *static_cast<CWorker*>(pUser);
    if (pEvent == XMPP_CONN_RAW_CONNECT)
    {
        xmpp_handler_add(pConn, OnFeatures, XMPP_NS_STREAMS, "features", nullptr, pUser);
        xmpp_conn_open_stream_default(pConn);
        return;
    }
    // Making an account, the raw stream is open: its features follow.
    if (pEvent == XMPP_CONN_CONNECT && worker.state == CWorker::CREATING)
        return;
    if (pEvent == XMPP_CONN_CONNECT)
    {
        worker.connected = true;
        worker.state = CWorker::ONLINE;
        {
            std::lock_guard<std::mutex> guard(worker.lock);
            worker.localAddress = LocalAddressToward(worker.login.server, worker.login.port);
        }
        xmpp_handler_add(pConn, OnPresence, nullptr, "presence", nullptr, pUser);
        xmpp_handler_add(pConn, OnMessage, nullptr, "message", nullptr, pUser);
        CLobbyEvent event;
        event.kind = CLobbyEvent::SIGNED_IN;
        worker.Emit(event);
        worker.nickTries = 0;
        worker.nick = worker.login.nick.empty() ? worker.login.account : worker.login.nick;
        worker.SendRoomPresence(false);
        return;
    }
    worker.Lost(pError);
}
} // namespace

void CLobbyClient::CWorker::Connect()
{
    Drop();
    connected = false;
    conn = xmpp_conn_new(ctx);
    long flags = XMPP_CONN_FLAG_DISABLE_SM;
    if (login.requireTls)
        flags |= XMPP_CONN_FLAG_MANDATORY_TLS;
    xmpp_conn_set_flags(conn, flags);
    xmpp_conn_set_sockopt_callback(conn, xmpp_sockopt_cb_keepalive);
    int status;
    if (state == CREATING)
    {
        xmpp_conn_set_jid(conn, domain.c_str());
        status = xmpp_connect_raw(conn, login.server.c_str(), login.port, OnConnection, this);
    }
    else
    {
        // A resource of our own per sign-in, so that a stream of ours not yet timed out on the
        // server is not confused with this one.
        char* uuid = xmpp_uuid_gen(ctx);
        const std::string jid =
            login.account + "@" + domain + "/ampwarden-" + std::string(uuid ? uuid : "0").substr(0, 8);
        xmpp_free(ctx, uuid);
        xmpp_conn_set_jid(conn, jid.c_str());
        xmpp_conn_set_pass(conn, login.password.c_str());
        status = xmpp_connect_client(conn, login.server.c_str(), login.port, OnConnection, this);
    }
    if (status != XMPP_EOK)
        Lost(-1);
}

void CLobbyClient::CWorker::Lost(int pError)
{
    const bool wasOnline = connected;
    connected = false;
    if (state == DONE || stopping)
    {
        state = DONE;
        return;
    }
    if (state == CREATING)
    {
        if (created)
            state = CONNECTING, retryAt = Clock::now();
        else
            Fail("Cannot make the account: the server at " + login.server + " does not answer");
        return;
    }
    // A first sign-in that fails is tried twice more (a busy server may drop a stream before
    // its answer), then says why; a stream that dropped once in the room is tried again longer.
    if (!everInRoom && firstTries < 2)
    {
        ++firstTries;
        state = WAITING;
        retryAt = Clock::now() + std::chrono::seconds(firstTries);
        return;
    }
    if (!everInRoom)
    {
        Fail(pError != 0 || !wasOnline ? (pError == 0 ? "The server refuses the name or password"
                                                      : "The server at " + login.server + " does not answer")
                                       : "The server ended the stream");
        return;
    }
    if (tries >= MAX_RETRIES)
    {
        Fail("The lobby is gone: gave up after " + std::to_string(tries) + " tries");
        return;
    }
    const int seconds = std::min(30, 1 << std::min(tries, 5));
    ++tries;
    state = WAITING;
    retryAt = Clock::now() + std::chrono::seconds(seconds);
    CLobbyEvent event;
    event.kind = CLobbyEvent::LOST;
    event.seconds = seconds;
    event.text = "The lobby's server is gone; trying again in " + std::to_string(seconds) + " s";
    Emit(event);
}

void CLobbyClient::CWorker::SendRoomPresence(bool pLeaving)
{
    if (!conn || !connected)
        return;
    CLobbyElement presence;
    presence.name = "presence";
    presence.Set("to", roomAddress + "/" + nick);
    if (pLeaving)
        presence.Set("type", "unavailable");
    else
    {
        CLobbyElement muc;
        muc.name = "x";
        muc.ns = "http://jabber.org/protocol/muc";
        muc.children.emplace_back();
        muc.children.back().name = "history";
        muc.children.back().Set("maxstanzas", "20");
        presence.children.push_back(muc);
        if (advertising)
            presence.children.push_back(MatchAdElement(ad));
    }
    xmpp_stanza_t* stanza = NewLobbyStanza(ctx, presence);
    xmpp_send(conn, stanza);
    xmpp_stanza_release(stanza);
}

void CLobbyClient::CWorker::Run()
{
    // A stop asked for is carried out, within about a second, however the server behaves.
    Clock::time_point stopBy = Clock::time_point::max();
    for (;;)
    {
        std::deque<std::function<void(CWorker&)>> todo;
        {
            std::lock_guard<std::mutex> guard(lock);
            todo.swap(commands);
        }
        std::unique_lock<std::mutex> turn(g_stropheTurn);
        for (auto& command : todo)
            command(*this);
        if (quit && !stopping)
        {
            stopping = true;
            stopBy = Clock::now() + std::chrono::milliseconds(1000);
            if (conn && connected)
            {
                SendRoomPresence(true);
                xmpp_disconnect(conn);
            }
            else
                state = DONE;
        }
        if (stopping && (state == DONE || Clock::now() >= stopBy || !conn || xmpp_conn_is_disconnected(conn)))
            break;
        if (!stopping && state == WAITING && Clock::now() >= retryAt)
            state = CONNECTING, Connect();
        else if (!stopping && (state == CREATING || state == CONNECTING) &&
                 (!conn || xmpp_conn_is_disconnected(conn)))
            Connect();
        if (state != DONE || stopping)
            xmpp_run_once(ctx, 0);
        turn.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::lock_guard<std::mutex> turn(g_stropheTurn);
    Drop();
    CLobbyEvent event;
    event.kind = CLobbyEvent::SIGNED_OUT;
    Emit(event);
}

CLobbyClient::CLobbyClient() = default;

CLobbyClient::~CLobbyClient()
{
    Stop();
}

bool CLobbyClient::Start(const CLobbyLogin& pLogin, std::string& pWhy)
{
    Stop();
    const std::string& name = pLogin.account;
    if (name.size() < 2 || name.size() > 20 ||
        name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_-") != std::string::npos ||
        !(name[0] >= 'a' && name[0] <= 'z'))
        return pWhy = "A name is 2 to 20 lowercase letters, digits, '-' or '_', starting with a letter",
               false;
    if (pLogin.password.empty() || pLogin.password.size() > 128)
        return pWhy = "A password is 1 to 128 characters", false;
    if (pLogin.server.empty() || pLogin.server.size() > 253 || pLogin.port == 0)
        return pWhy = "No server to reach", false;
    static std::once_flag initialized;
    std::call_once(initialized, [] { xmpp_initialize(); });
    m_worker.reset(new CWorker);
    CWorker& worker = *m_worker;
    worker.login = pLogin;
    worker.domain = !pLogin.domain.empty()            ? pLogin.domain
                    : IsNumericAddress(pLogin.server) ? std::string("localhost")
                                                      : pLogin.server;
    worker.roomAddress = pLogin.room + "@conference." + worker.domain;
    worker.state = pLogin.create ? CWorker::CREATING : CWorker::CONNECTING;
    worker.refused = &m_refusedCount;
    // AMPWARDEN_LOBBY_DEBUG=1 shows the whole stream on stderr.
    worker.ctx = xmpp_ctx_new(
        nullptr, std::getenv("AMPWARDEN_LOBBY_DEBUG") ? xmpp_get_default_logger(XMPP_LEVEL_DEBUG) : nullptr);
    m_account = pLogin.account + "@" + worker.domain;
    m_roomAddress = worker.roomAddress;
    m_room.Clear();
    m_inRoom = false;
    m_reconnects = 0;
    m_thread = std::thread([&worker] { worker.Run(); });
    return true;
}

void CLobbyClient::Stop()
{
    if (!m_worker)
        return;
    m_worker->quit = true;
    if (m_thread.joinable())
        m_thread.join();
    {
        std::lock_guard<std::mutex> turn(g_stropheTurn);
        xmpp_ctx_free(m_worker->ctx);
    }
    m_worker.reset();
    m_room.Clear();
    m_inRoom = false;
}

bool CLobbyClient::Poll(CLobbyEvent& pOut)
{
    if (!m_worker)
        return false;
    for (;;)
    {
        {
            std::lock_guard<std::mutex> guard(m_worker->lock);
            if (m_worker->events.empty())
                return false;
            pOut = std::move(m_worker->events.front());
            m_worker->events.pop_front();
        }
        switch (pOut.kind)
        {
        case CLobbyEvent::IN_ROOM:
            m_inRoom = true;
            break;
        case CLobbyEvent::PRESENCE:
            if (pOut.presence.self && pOut.presence.leaving)
                m_inRoom = false;
            if (!m_room.Apply(pOut.presence))
                continue;
            break;
        case CLobbyEvent::CHAT:
            if (!m_room.Hear(pOut.chat.nick, NowMs()))
                continue;
            break;
        case CLobbyEvent::LOST:
        case CLobbyEvent::FAILED:
            m_room.Clear();
            m_inRoom = false;
            m_reconnects += pOut.kind == CLobbyEvent::LOST;
            break;
        default:
            break;
        }
        return true;
    }
}

void CLobbyClient::Push(const std::function<void(CWorker&)>& pCommand)
{
    if (!m_worker)
        return;
    std::lock_guard<std::mutex> guard(m_worker->lock);
    if (m_worker->commands.size() < 256)
        m_worker->commands.push_back(pCommand);
}

bool CLobbyClient::Say(const std::string& pText, std::string& pWhy)
{
    CNetMessage line;
    if (!m_inRoom)
        return pWhy = "Not in the room", false;
    if (!m_chat.Say(0, 0, pText, NowMs(), line, pWhy))
        return false;
    const std::string text = line.text;
    Push(
        [text](CWorker& pWorker)
        {
            if (!pWorker.conn || !pWorker.connected)
                return;
            xmpp_stanza_t* message =
                xmpp_message_new(pWorker.ctx, "groupchat", pWorker.roomAddress.c_str(), nullptr);
            xmpp_message_set_body(message, text.c_str());
            xmpp_send(pWorker.conn, message);
            xmpp_stanza_release(message);
        });
    return true;
}

void CLobbyClient::Advertise(const CLobbyMatchAd& pAd)
{
    Push(
        [pAd](CWorker& pWorker)
        {
            pWorker.advertising = true;
            pWorker.ad = pAd;
            pWorker.SendRoomPresence(false);
        });
}

void CLobbyClient::Withdraw()
{
    Push(
        [](CWorker& pWorker)
        {
            if (!pWorker.advertising)
                return;
            pWorker.advertising = false;
            pWorker.SendRoomPresence(false);
        });
}

void CLobbyClient::SendDirect(const std::string& pTo, const CLobbyElement& pPayload)
{
    Push(
        [pTo, pPayload](CWorker& pWorker)
        {
            if (!pWorker.conn || !pWorker.connected)
                return;
            xmpp_stanza_t* message = xmpp_message_new(pWorker.ctx, "normal", pTo.c_str(), nullptr);
            xmpp_stanza_t* payload = NewLobbyStanza(pWorker.ctx, pPayload);
            xmpp_stanza_add_child_ex(message, payload, 0);
            xmpp_send(pWorker.conn, message);
            xmpp_stanza_release(message);
        });
}

void CLobbyClient::SendStanza(const CLobbyElement& pStanza)
{
    Push(
        [pStanza](CWorker& pWorker)
        {
            if (!pWorker.conn || !pWorker.connected)
                return;
            xmpp_stanza_t* stanza = NewLobbyStanza(pWorker.ctx, pStanza);
            xmpp_send(pWorker.conn, stanza);
            xmpp_stanza_release(stanza);
        });
}

std::string CLobbyClient::LocalAddress() const
{
    if (!m_worker)
        return std::string();
    std::lock_guard<std::mutex> guard(m_worker->lock);
    return m_worker->localAddress;
}
