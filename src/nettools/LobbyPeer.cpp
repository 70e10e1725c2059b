#include "nettools/LobbyPeer.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <thread>

#include "engine/Version.h"
#include "lobby/LobbyMatchmaker.h"
#include "net/NetAddress.h"

namespace
{
using Clock = std::chrono::steady_clock;

int Say(int pStatus, const std::string& pText)
{
    std::fprintf(stderr, "ampwarden-netpeer: %s\n", pText.c_str());
    return pStatus;
}
} // namespace

bool CLobbyPeer::WaitFor(const std::function<bool(const CLobbyEvent&)>& pDone, int pSeconds,
                         std::string& pWhy)
{
    const auto deadline = Clock::now() + std::chrono::seconds(pSeconds);
    while (Clock::now() < deadline)
    {
        CLobbyEvent event;
        while (m_client.Poll(event))
        {
            if (event.kind == CLobbyEvent::FAILED)
                return pWhy = event.text, false;
            if (event.kind == CLobbyEvent::CHAT)
                ++m_chatHeard;
            TakeServices(event);
            if (event.kind == CLobbyEvent::DIRECT && m_hosting)
                Answer(event);
            if (pDone(event))
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pWhy = "out of time", false;
}

int CLobbyPeer::Begin(int pArgc, char** pArgv, std::vector<char*>& pArgs)
{
    CLobbyLogin login;
    std::string server;
    int seconds = 60;
    m_program = ProgramVersion();
    for (int i = 1; i < pArgc; ++i)
    {
        const std::string name = pArgv[i];
        const std::string value = i + 1 < pArgc ? pArgv[i + 1] : "";
        const bool ours = name == "--lobby" || name == "--account" || name == "--password" ||
                          name == "--register" || name == "--domain" || name == "--host-lobby" ||
                          name == "--join-lobby" || name == "--lobby-evil" || name == "--nick" ||
                          name == "--lobby-crowd" || name == "--crowd-ads" || name == "--lobby-ice";
        if (!ours)
        {
            m_ice.Read(name, value.c_str());
            if (name == "--version")
                m_program = value;
            if (name == "--seconds")
                seconds = std::atoi(value.c_str());
            if (name == "--host")
                m_gamePort = static_cast<uint16_t>(std::atoi(value.c_str()));
            m_args.push_back(name);
            if (i + 1 < pArgc)
                m_args.push_back(value);
            ++i;
            continue;
        }
        m_active = true;
        // --register and --host-lobby stand alone, or take 1 or 0.
        const bool flag = name == "--register" || name == "--host-lobby";
        const bool on = !flag || value != "0";
        if (!flag || value == "0" || value == "1")
            ++i;
        if (name == "--lobby")
            server = value;
        else if (name == "--account")
            login.account = value;
        else if (name == "--password")
            login.password = value;
        else if (name == "--register")
            login.create = on;
        else if (name == "--domain")
            login.domain = value;
        else if (name == "--host-lobby")
            m_hosting = on;
        else if (name == "--join-lobby")
            m_joinAccount = value;
        else if (name == "--lobby-evil")
            m_evil = value;
        else if (name == "--nick")
            login.nick = value;
        else if (name == "--lobby-crowd")
            m_crowd = std::max(0, std::min(1000, std::atoi(value.c_str())));
        else if (name == "--lobby-ice")
            m_useIce = value == "1";
        else if (name == "--crowd-ads")
            m_crowdAds = std::max(0, std::min(1000, std::atoi(value.c_str())));
    }
    pArgs.clear();
    pArgs.push_back(pArgv[0]);
    if (!m_active)
    {
        for (int i = 1; i < pArgc; ++i)
            pArgs.push_back(pArgv[i]);
        return -1;
    }
    CNetAddress address;
    std::string why;
    if (server.empty() || !ParseNetAddress(server, address, why))
        return Say(2, "--lobby needs SERVER[:PORT]" + (why.empty() ? "" : ": " + why));
    login.server = address.host;
    login.port = address.port ? address.port : 5222;
    m_rules = DataFingerprint("Data/resources.xml");
    if (m_crowd > 0)
        return Crowd(login, seconds);
    if (m_hosting == !m_joinAccount.empty() && m_evil.empty())
        return Say(2, "a lobby peer needs --host-lobby or --join-lobby ACCOUNT");
    if (!m_client.Start(login, why))
        return Say(2, why);
    const auto started = Clock::now();
    if (!WaitFor([](const CLobbyEvent& pEvent) { return pEvent.kind == CLobbyEvent::IN_ROOM; }, 20, why))
        return Say(7, "lobby: " + why);
    std::printf("lobby: in the room as %s after %lld ms\n", m_client.Account().c_str(),
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count()));
    if (!m_evil.empty())
        return Evil(seconds);
    if (m_hosting)
    {
        if (m_gamePort == 0)
        {
            m_gamePort = Net::DEFAULT_PORT;
            m_args.push_back("--host");
            m_args.push_back(std::to_string(m_gamePort));
        }
        CLobbyMatchAd ad;
        ad.program = m_program;
        ad.rules = m_rules;
        ad.since = static_cast<int64_t>(std::time(nullptr));
        m_client.Advertise(ad);
    }
    else
    {
        // The account named, on the server's domain unless it names its own.
        if (m_joinAccount.find('@') == std::string::npos)
            m_joinAccount += m_client.Account().substr(m_client.Account().find('@'));
        const CLobbyOccupant* host = nullptr;
        auto found = [this, &host](const CLobbyEvent&)
        {
            host = m_client.Room().MatchOf(m_joinAccount);
            return host != nullptr;
        };
        if (!WaitFor(found, 20, why))
            return Say(7, "lobby: no open match of " + m_joinAccount + ": " + why);
        for (const CLobbyOccupant* match : m_client.Room().OpenMatches())
            std::printf("lobby: open match of %s (nick %s) program %s\n", match->account.c_str(),
                        match->nick.c_str(), match->ad.program.c_str());
        if (host->ad.program != m_program || host->ad.rules != m_rules)
            return Say(3, "lobby: " + m_joinAccount + " plays program version " + host->ad.program +
                              " (rules " + host->ad.rules + "); this is " + m_program + ": cannot join");
        CLobbyJoin ask;
        ask.program = m_program;
        ask.rules = m_rules;
        const std::string to = host->address;
        const auto asked = Clock::now();
        m_asked = asked;
        const int status = m_useIce ? JoinThroughRouters(ask, to) : JoinByAddress(ask, to);
        if (status >= 0)
            return status;
    }
    std::fflush(stdout);
    for (std::string& arg : m_args)
        pArgs.push_back(&arg[0]);
    return -1;
}

int CLobbyPeer::Ask(const CLobbyJoin& pAsk, const std::string& pTo, CLobbyJoin& pAnswer)
{
    std::string why;
    m_client.SendDirect(pTo, JoinElement(pAsk));
    std::string refused;
    auto answered = [this, &pAnswer, &refused](const CLobbyEvent& pEvent)
    {
        // Only the advertised account's answer counts.
        if (pEvent.kind != CLobbyEvent::DIRECT || pEvent.fromAccount != m_joinAccount)
            return false;
        if (!ReadJoin(pEvent.payload, pAnswer, refused))
            return true;
        return pAnswer.kind != CLobbyJoin::ASK;
    };
    if (!WaitFor(answered, 10, why))
        return Say(7, "lobby: " + m_joinAccount + " does not answer: " + why);
    if (!refused.empty())
        return Say(7, "lobby: " + m_joinAccount + " sent " + refused);
    if (pAnswer.kind == CLobbyJoin::REFUSE)
        return Say(3, "lobby: " + m_joinAccount + " refuses: " + pAnswer.why);
    return -1;
}

int CLobbyPeer::JoinByAddress(const CLobbyJoin& pAsk, const std::string& pTo)
{
    CLobbyJoin answer;
    if (const int status = Ask(pAsk, pTo, answer); status >= 0)
        return status;
    if (answer.host != "127.0.0.1" && answer.host != "::1")
        return Say(7, "lobby: the offer is for " + answer.host + "; this tool plays on loopback only");
    std::printf("lobby: offer from %s after %lld ms\n", m_joinAccount.c_str(),
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_asked).count()));
    m_args.push_back("--join");
    m_args.push_back((answer.host == "::1" ? "[::1]:" : "127.0.0.1:") + std::to_string(answer.port));
    return -1;
}

void CLobbyPeer::TakeServices(const CLobbyEvent& pEvent)
{
    // Servers named on the command line (Settings, in the game) come first.
    if (pEvent.kind != CLobbyEvent::SERVICES || m_servicesTaken)
        return;
    m_servicesTaken = true;
    if (!m_ice.servers.stunHost.empty() || !m_ice.servers.turnHost.empty())
        return;
    const CLobbyServices& named = pEvent.services;
    m_ice.servers.stunHost = named.stunHost;
    m_ice.servers.stunPort = named.stunPort;
    m_ice.servers.turnHost = named.turnHost;
    m_ice.servers.turnPort = named.turnPort;
    m_ice.servers.turnUser = named.turnUser;
    m_ice.servers.turnPassword = named.turnPassword;
    std::printf("lobby: the server names STUN %s:%d and TURN %s:%d\n", named.stunHost.c_str(), named.stunPort,
                named.turnHost.c_str(), named.turnPort);
}

int CLobbyPeer::JoinThroughRouters(CLobbyJoin& pAsk, const std::string& pTo)
{
    std::string why;
    // The server's STUN and TURN servers come just after signing in; without them (a server
    // that has none) only direct paths are tried.
    if (m_ice.servers.stunHost.empty() && m_ice.servers.turnHost.empty())
        WaitFor([this](const CLobbyEvent&) { return m_servicesTaken; }, 3, why);
    m_links.emplace_back();
    m_links.back().link = CIceLink::Start(m_ice.servers, false, 0, why);
    CIceLink* link = m_links.back().link.get();
    if (!link)
        return Say(7, why);
    // Bounded by the link's own gathering limit.
    while (link->GetState() == CIceLink::GATHERING)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    pAsk.ice = link->LocalPayload();
    CLobbyJoin answer;
    if (const int status = Ask(pAsk, pTo, answer); status >= 0)
        return status;
    if (answer.ice.empty())
        return Say(7, "lobby: " + m_joinAccount + " offers no way through routers");
    if (!link->SetRemote(answer.ice, why))
        return Say(7, "could not reach the other side: " + why);
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (link->GetState() != CIceLink::CONNECTED && link->GetState() != CIceLink::FAILED &&
           Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (link->GetState() != CIceLink::CONNECTED)
        return Say(7, "could not reach the other side: " + (link->GetState() == CIceLink::FAILED
                                                                ? link->Describe()
                                                                : std::string("out of time")));
    m_links.back().said = true;
    std::printf("lobby: connected %s (%s) %lld ms after the join was asked\n",
                CIceLink::PathName(link->GetPathKind()), link->Describe().c_str(),
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_asked).count()));
    m_args.push_back("--join");
    m_args.push_back("127.0.0.1:" + std::to_string(link->LoopbackPort()));
    std::fflush(stdout);
    return -1;
}

void CLobbyPeer::PumpLinks()
{
    for (CLink& entry : m_links)
    {
        const int state = entry.link->GetState();
        if (!entry.to.empty() && state != CIceLink::GATHERING)
        {
            CLobbyJoin answer;
            answer.kind = state == CIceLink::FAILED ? CLobbyJoin::REFUSE : CLobbyJoin::OFFER;
            answer.why = entry.link->Describe();
            answer.host = m_client.LocalAddress();
            answer.port = m_gamePort;
            answer.ice = entry.link->LocalPayload();
            ++m_offers;
            m_client.SendDirect(entry.to, JoinElement(answer));
            entry.to.clear();
        }
        if (state == CIceLink::CONNECTED && !entry.said)
        {
            entry.said = true;
            std::printf("lobby: connected %s (%s)\n", CIceLink::PathName(entry.link->GetPathKind()),
                        entry.link->Describe().c_str());
            std::fflush(stdout);
        }
    }
}

void CLobbyPeer::Answer(const CLobbyEvent& pEvent)
{
    CLobbyJoin ask;
    std::string why;
    if (!ReadJoin(pEvent.payload, ask, why) || ask.kind != CLobbyJoin::ASK)
        return;
    CLobbyJoin answer = HostAnswer(ask, m_withdrawn, m_program, m_rules, m_client.LocalAddress(), m_gamePort);
    // Through routers: the offer goes once our link has gathered (PumpLinks).
    if (!ask.ice.empty() && answer.kind == CLobbyJoin::OFFER)
    {
        std::unique_ptr<CIceLink> link;
        // Joins that failed and were answered give their place up.
        for (size_t i = m_links.size(); i-- > 0;)
        {
            if (m_links[i].to.empty() && m_links[i].link->GetState() == CIceLink::FAILED)
                m_links.erase(m_links.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (m_links.size() >= MAX_LINKS)
            answer.kind = CLobbyJoin::REFUSE, answer.why = "too many joins at once";
        else if (!(link = CIceLink::Start(m_ice.servers, true, m_gamePort, why)) ||
                 !link->SetRemote(ask.ice, why))
            answer.kind = CLobbyJoin::REFUSE, answer.why = why;
        else
        {
            m_links.push_back({pEvent.from, std::move(link), false});
            return;
        }
    }
    if (m_evil == "bad-port")
    {
        CLobbyElement offer = JoinElement(answer);
        offer.attributes[1].second = "70000";
        m_client.SendDirect(pEvent.from, offer);
        return;
    }
    ++m_offers;
    m_client.SendDirect(pEvent.from, JoinElement(answer));
}

void CLobbyPeer::Pump(bool pPlaying)
{
    if (!m_active)
        return;
    PumpLinks();
    if (!m_hosting && pPlaying && !m_firstStepSaid)
    {
        m_firstStepSaid = true;
        std::printf(
            "lobby: first step %lld ms after the join was asked\n",
            static_cast<long long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_asked).count()));
    }
    if (m_hosting && pPlaying && !m_withdrawn)
    {
        m_client.Withdraw();
        m_withdrawn = true;
        std::printf("lobby: match started; advertisement withdrawn\n");
    }
    CLobbyEvent event;
    while (m_client.Poll(event))
    {
        if (event.kind == CLobbyEvent::LOST)
            ++m_lost, std::fprintf(stderr, "ampwarden-netpeer: lobby: %s\n", event.text.c_str());
        else if (event.kind == CLobbyEvent::FAILED)
            std::fprintf(stderr, "ampwarden-netpeer: lobby: %s\n", event.text.c_str());
        else if (event.kind == CLobbyEvent::IN_ROOM && m_lost > 0)
            std::fprintf(stderr, "ampwarden-netpeer: lobby: back in the room\n");
        else if (event.kind == CLobbyEvent::CHAT)
            ++m_chatHeard;
        else if (event.kind == CLobbyEvent::SERVICES)
            TakeServices(event);
        else if (event.kind == CLobbyEvent::DIRECT && m_hosting)
            Answer(event);
    }
}

void CLobbyPeer::End()
{
    if (!m_active)
        return;
    Pump(false);
    for (const CLink& entry : m_links)
    {
        if (entry.link->GetState() == CIceLink::CONNECTED)
            std::printf("lobby: path %s (%s); carried %llu B out, %llu B in\n",
                        CIceLink::PathName(entry.link->GetPathKind()), entry.link->Describe().c_str(),
                        static_cast<unsigned long long>(entry.link->BytesSent()),
                        static_cast<unsigned long long>(entry.link->BytesReceived()));
    }
    std::printf("lobby: offers %d, lost %d times, chat heard %d, dropped %d, refused %d, players %zu, open "
                "matches %zu\n",
                m_offers, m_lost, m_chatHeard, m_client.Room().ChatDropped(), m_client.Refused(),
                m_client.Room().Occupants().size(), m_client.Room().OpenMatches().size());
    m_client.Stop();
}

int CLobbyPeer::Evil(int pSeconds)
{
    CLobbyMatchAd ad;
    ad.program = m_program;
    ad.rules = m_rules;
    ad.since = static_cast<int64_t>(std::time(nullptr));
    if (m_evil == "bad-version")
        ad.program = "9.99-evil";
    else if (m_evil == "long-text")
        ad.program.assign(10 * 1024, 'A');
    m_hosting = true;
    m_gamePort = 9;
    if (m_evil == "many-ads")
    {
        for (int i = 0; i < 1000; ++i)
        {
            ad.since += 1;
            m_client.Advertise(ad);
            if (i % 100 == 99)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    else if (m_evil == "flood")
    {
        for (int i = 0; i < 100; ++i)
        {
            CLobbyElement line;
            line.name = "message";
            line.Set("to", m_client.RoomAddress()).Set("type", "groupchat");
            line.children.emplace_back();
            line.children.back().name = "body";
            line.children.back().text = "flood line " + std::to_string(i + 1);
            m_client.SendStanza(line);
            if (i % 50 == 49)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    else if (m_evil != "idle")
        m_client.Advertise(ad);
    std::printf("lobby: %s sent\n", m_evil.c_str());
    std::fflush(stdout);
    std::string why;
    WaitFor([](const CLobbyEvent&) { return false; }, pSeconds, why);
    End();
    return 0;
}

int CLobbyPeer::Crowd(const CLobbyLogin& pLogin, int pSeconds)
{
    std::vector<std::unique_ptr<CLobbyClient>> clients;
    const auto started = Clock::now();
    std::string why;
    for (int i = 0; i < m_crowd; ++i)
    {
        CLobbyLogin login = pLogin;
        login.account = "crowd" + std::to_string(i + 1);
        login.password = "pw-" + login.account;
        clients.emplace_back(new CLobbyClient);
        if (!clients.back()->Start(login, why))
            return Say(2, why);
    }
    // All in the room, as the first of them sees it (bounded by --seconds).
    std::vector<bool> in(clients.size(), false);
    size_t inRoom = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(pSeconds);
    while (Clock::now() < deadline &&
           (inRoom < clients.size() || clients[0]->Room().Occupants().size() < clients.size()))
    {
        for (size_t i = 0; i < clients.size(); ++i)
        {
            CLobbyEvent event;
            while (clients[i]->Poll(event))
            {
                if (event.kind == CLobbyEvent::FAILED)
                    return Say(7, "lobby: " + clients[i]->Account() + ": " + event.text);
                if (event.kind == CLobbyEvent::IN_ROOM && !in[i])
                {
                    in[i] = true, ++inRoom;
                    if (static_cast<int>(i) < m_crowdAds)
                    {
                        CLobbyMatchAd ad;
                        ad.program = m_program;
                        ad.rules = m_rules;
                        ad.since = static_cast<int64_t>(std::time(nullptr)) - static_cast<int64_t>(i);
                        clients[i]->Advertise(ad);
                    }
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const long long fillMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
    // One client's frames, polled as the Lobby screen polls and lists (the others are drained).
    double totalUs = 0;
    double longestUs = 0;
    int frames = 0;
    size_t listed = 0;
    while (Clock::now() < deadline && frames < 1200)
    {
        const auto frame = Clock::now();
        CLobbyEvent event;
        while (clients[0]->Poll(event))
            ;
        listed = clients[0]->Room().OpenMatches().size();
        const double us =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - frame).count() / 1000.0;
        totalUs += us;
        longestUs = std::max(longestUs, us);
        ++frames;
        for (size_t i = 1; i < clients.size(); ++i)
            while (clients[i]->Poll(event))
                ;
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    std::printf(
        "crowd: %zu of %zu in the room after %lld ms; the first sees %zu players and %zu open matches; "
        "its frame costs %.1f us on average, %.1f us at most, over %d frames\n",
        inRoom, clients.size(), fillMs, clients[0]->Room().Occupants().size(), listed,
        frames ? totalUs / frames : 0.0, longestUs, frames);
    std::fflush(stdout);
    for (auto& client : clients)
        client->Stop();
    return inRoom == clients.size() ? 0 : 8;
}
