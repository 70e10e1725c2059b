#include "ui/FriendScreen.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <GL/gl.h>

#include <algorithm>

#include "engine/GameEngine.h"
#include "net/NetAddress.h"
#include "net/NetSession.h"
#include "ui/AppSettings.h"
#include "ui/MenuScreens.h"
#include "ui/SessionDoor.h"
#include "world/GameWorld.h"

namespace
{
const int RECENT_SHOWN = 5;

CRect Row(int pIndex)
{
    using namespace ScreenLayout;
    return {LEFT, TOP + pIndex * PITCH, WIDTH, HEIGHT};
}
} // namespace

std::vector<std::string> LocalAddresses()
{
    std::vector<std::string> v4;
    std::vector<std::string> v6;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return v4;
    for (const ifaddrs* item = list; item; item = item->ifa_next)
    {
        if (!item->ifa_addr || (item->ifa_flags & IFF_LOOPBACK) || !(item->ifa_flags & IFF_UP))
            continue;
        char text[INET6_ADDRSTRLEN] = {};
        if (item->ifa_addr->sa_family == AF_INET)
        {
            inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(item->ifa_addr)->sin_addr, text,
                      sizeof text);
            v4.push_back(text);
        }
        else if (item->ifa_addr->sa_family == AF_INET6)
        {
            const in6_addr& address = reinterpret_cast<const sockaddr_in6*>(item->ifa_addr)->sin6_addr;
            // A link-local address needs the interface named as well; it is left out.
            if (IN6_IS_ADDR_LINKLOCAL(&address) || IN6_IS_ADDR_LOOPBACK(&address))
                continue;
            inet_ntop(AF_INET6, &address, text, sizeof text);
            v6.push_back(std::string("[") + text + "]");
        }
    }
    freeifaddrs(list);
    v4.insert(v4.end(), v6.begin(), v6.end());
    v4.erase(std::unique(v4.begin(), v4.end()), v4.end());
    return v4;
}

CFriendScreen::CFriendScreen() : CScreen("Play a Friend")
{
    m_port =
        Add(std::make_unique<CTextField>(Row(0), "Port to host on", 5, std::to_string(Net::DEFAULT_PORT)));
    m_port->m_accepts = [](char c) { return c >= '0' && c <= '9'; };
    m_port->m_onEnter = [this] { Host(); };
    Add(std::make_unique<CButton>(Row(1), "Host a match", [this] { Host(); }));
    m_address = Add(std::make_unique<CTextField>(Row(4), "Join HOST[:PORT]", 64));
    m_address->m_onEnter = [this] { Join(m_address->GetText()); };
    const std::vector<std::string>& recent = CAppSettings::Instance().GetRecentHosts();
    if (!recent.empty())
        m_address->SetText(recent.front());
    // Join and Watch side by side, each with a hit area of its own.
    const CRect join = Row(5);
    Add(std::make_unique<CButton>(CRect{join.x, join.y, 280, join.h}, "Join",
                                  [this] { Join(m_address->GetText()); }));
    Add(std::make_unique<CButton>(CRect{join.x + 300, join.y, join.w - 300, join.h}, "Watch their match",
                                  [this] { Watch(m_address->GetText()); }));
    // The last addresses joined, one click away, in a column of their own; a place with no
    // address is blank and cannot be chosen.
    for (int i = 0; i < RECENT_SHOWN; ++i)
    {
        auto choose = [this, i]
        {
            const std::string address = m_recent[static_cast<size_t>(i)]->m_label;
            m_address->SetText(address);
            Join(address);
        };
        const CRect place{ScreenLayout::LEFT + 300, Row(6).y + i * 28, 420, 26};
        m_recent.push_back(Add(std::make_unique<CButton>(place, "", choose)));
    }
    ShowRecent();
    m_cancel = Add(std::make_unique<CButton>(Row(12), "Cancel", [this] { Cancel(); }));
    m_cancel->m_enabled = false;
    Add(std::make_unique<CButton>(Row(13), "Back", [this] { Back(); }));
    m_addresses = LocalAddresses();
    SetStatus("Host and tell your friend an address below, or join theirs", false);
}

namespace
{
std::string AddressText(const CNetAddress& pAddress, int pPort)
{
    return (pAddress.ipv6 ? "[" + pAddress.host + "]" : pAddress.host) + ":" + std::to_string(pPort);
}
} // namespace

bool CFriendScreen::Start(const CNetSetup& pSetup)
{
    const CNetAddress& address = pSetup.address;
    if (pSetup.hosting)
        m_port->SetText(std::to_string(address.port));
    else
        m_address->SetText(AddressText(address, address.port));
    return OpenSession(&pSetup, nullptr, pSetup.hosting ? "Cannot host: " : "Cannot join: ");
}

bool CFriendScreen::StartWatching(const CNetAddress& pObservers)
{
    // The field holds the host's own port, as for joining.
    if (pObservers.port > 1)
        m_address->SetText(AddressText(pObservers, pObservers.port - 1));
    return OpenSession(nullptr, &pObservers, "Cannot watch: ");
}

bool CFriendScreen::OpenSession(const CNetSetup* pSetup, const CNetAddress* pObservers,
                                const std::string& pFailure)
{
    std::string why;
    if (pSetup ? !CSessionDoor::Get().OpenNet(*pSetup, why)
               : !CSessionDoor::Get().OpenObserve(*pObservers, why))
    {
        SetStatus(pFailure + why, true);
        return false;
    }
    m_cancel->m_enabled = true;
    m_chosen = static_cast<int>(WidgetCount()) - 2;
    return true;
}

void CFriendScreen::Host()
{
    uint16_t port = 0;
    if (!ParseNetPort(m_port->GetText(), port))
    {
        SetStatus("The port is a number from 1 to 65535", true);
        return;
    }
    CNetSetup setup;
    setup.hosting = true;
    setup.address.port = port;
    OpenSession(&setup, nullptr, "Cannot host: ");
}

bool ReadTypedAddress(const std::string& pTyped, const std::string& pVerb, std::string& pAddress,
                      CNetAddress& pOut, std::string& pProblem)
{
    const size_t first = pTyped.find_first_not_of(" \t");
    pAddress = first == std::string::npos ? std::string()
                                          : pTyped.substr(first, pTyped.find_last_not_of(" \t") - first + 1);
    pOut = CNetAddress();
    pOut.port = Net::DEFAULT_PORT;
    std::string why;
    if (ParseNetAddress(pAddress, pOut, why))
        return true;
    pProblem = "Cannot " + pVerb + (pAddress.empty() ? "" : " " + pAddress.substr(0, 64)) + ": " + why;
    return false;
}

void CFriendScreen::Join(const std::string& pTyped)
{
    CNetSetup setup;
    std::string address;
    std::string problem;
    if (!ReadTypedAddress(pTyped, "join", address, setup.address, problem))
    {
        SetStatus(problem, true);
        return;
    }
    m_address->SetText(address);
    if (OpenSession(&setup, nullptr, "Cannot join: "))
        Remember(address);
}

void CFriendScreen::Watch(const std::string& pTyped)
{
    CNetAddress observers;
    std::string address;
    std::string problem;
    if (!ReadTypedAddress(pTyped, "watch", address, observers, problem))
    {
        SetStatus(problem, true);
        return;
    }
    m_address->SetText(address);
    // Observers are taken on the port after the players'.
    if (observers.port == 65535)
    {
        SetStatus("Cannot watch: the host's port is at most 65534 (observers take the next)", true);
        return;
    }
    ++observers.port;
    if (OpenSession(nullptr, &observers, "Cannot watch: "))
        Remember(address);
}

void CFriendScreen::Remember(const std::string& pAddress)
{
    CAppSettings::Instance().AddRecentHost(pAddress);
    ShowRecent();
}

void CFriendScreen::ShowRecent()
{
    const std::vector<std::string>& recent = CAppSettings::Instance().GetRecentHosts();
    for (size_t i = 0; i < m_recent.size(); ++i)
    {
        m_recent[i]->m_label = i < recent.size() ? recent[i] : std::string();
        m_recent[i]->m_enabled = i < recent.size();
    }
}

void CFriendScreen::Cancel()
{
    if (!CSessionDoor::Get().IsNetOpen())
        return;
    Close("Gave up waiting", false);
}

void CFriendScreen::Close(const std::string& pWhy, bool pProblem)
{
    CGameEngine& engine = CGameEngine::Instance();
    CSessionDoor::Get().CloseNet();
    m_cancel->m_enabled = false;
    // Cancel has nothing more to give up: the choice goes on to Back.
    if (m_chosen >= 0 && GetWidget(static_cast<size_t>(m_chosen)) == m_cancel)
        m_chosen = static_cast<int>(WidgetCount()) - 1;
    SetStatus(pWhy, pProblem);
    // With -once (for scripts) the program ends with the session, its status saying how.
    if (engine.HasOption("once"))
        engine.Quit();
}

void CFriendScreen::Back()
{
    Cancel();
    CScreen::Back();
}

bool CFriendScreen::OnFrame()
{
    if (CSessionDoor::Get().IsNetOpen())
    {
        CGameEngine& engine = CGameEngine::Instance();
        // Refused, unreachable, or the match is over and left (at once with -once): the reason
        // stays here.
        if (CSessionDoor::Get().IsNetOver() && (TheWorld().m_state == STATE_MENU || engine.HasOption("once")))
        {
            const std::string why = CSessionDoor::Get().NetHeadline();
            Close(why.empty() ? "The network match is over" : why, true);
        }
        else if (!CSessionDoor::Get().NetMatchSeen())
        {
            SetStatus(CSessionDoor::Get().NetHeadline() + "   (" +
                          std::to_string(CSessionDoor::Get().NetElapsedSeconds()) + " s)",
                      false);
        }
    }
    const bool changed = m_status != m_shownStatus;
    m_shownStatus = m_status;
    return changed;
}

void CFriendScreen::DrawMore()
{
    using namespace ScreenLayout;
    glColor4f(0.8f, 0.9f, 0.8f, 1.0f);
    std::string line = "This machine: ";
    if (m_addresses.empty())
        line += "no network address found";
    for (size_t i = 0; i < m_addresses.size() && i < 4; ++i)
        line += (i ? ",  " : "") + m_addresses[i];
    UiDraw::Text(LEFT, TOP + 2 * PITCH + 4, line, true);
    UiDraw::Text(LEFT, TOP + 2 * PITCH + 22,
                 "Over the internet, your router may need the port forwarded to this machine.", true);
    if (m_recent.front()->m_enabled)
    {
        glColor4f(0.8f, 0.9f, 0.8f, 1.0f);
        UiDraw::Text(LEFT, TOP + 6 * PITCH + 4, "Joined lately:", true);
    }
}
