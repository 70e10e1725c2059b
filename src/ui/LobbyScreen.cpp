#include "ui/LobbyScreen.h"

#include <GL/gl.h>

#include <cstdio>
#include <ctime>

#include "engine/GameEngine.h"
#include "engine/Version.h"
#include "lobby/LobbyPassword.h"
#include "net/NetAddress.h"
#include "ui/AppSettings.h"
#include "ui/MenuScreens.h"
#include "ui/SessionDoor.h"
#include "world/ChatText.h"

namespace
{
const size_t CHAT_SHOWN = 8;
const int LIST_TOP = 192;
const int LIST_ROW = 24;
const int LIST_ROWS = 7;
const int BUTTONS_TOP = LIST_TOP + LIST_ROW * LIST_ROWS + 12;
const int PLAYERS_TOP = BUTTONS_TOP + 44;
const int CHAT_TOP = PLAYERS_TOP + 44;
const int SAY_TOP = CHAT_TOP + static_cast<int>(CHAT_SHOWN) * 18 + 8;

CRect Row(int pIndex)
{
    using namespace ScreenLayout;
    return {LEFT, TOP + pIndex * PITCH, WIDTH, HEIGHT};
}

int64_t Now()
{
    return static_cast<int64_t>(std::time(nullptr));
}
} // namespace

CLobbyScreen::CLobbyScreen(const std::string& pServer)
    : CScreen("Lobby"), m_program(ProgramVersion()), m_rules(DataFingerprint(RESOURCE_CATALOGUE)),
      m_match(m_client, m_program, m_rules),
      m_server(pServer.empty() ? CAppSettings::Instance().Get().lobbyServer : pServer)
{
    ShowSignIn();
    SetStatus("Sign in to see who plays and which matches wait", false);
}

std::string CLobbyScreen::PasswordPath() const
{
    const std::string folder = StateFolder();
    return folder.empty() ? folder : LobbyPasswordPath(folder, m_server, m_typedAccount);
}

void CLobbyScreen::ShowSignIn()
{
    m_view = m_wanted = SIGN_IN;
    m_widgets.clear();
    m_chosen = -1;
    m_matches = nullptr;
    m_sayField = nullptr;
    m_serverField = Add(std::make_unique<CTextField>(Row(0), "Server", 64, m_server));
    m_serverField->m_onLeave = [this] { m_server = m_serverField->GetText(); };
    m_accountField = Add(std::make_unique<CTextField>(Row(1), "Account name", 20, m_typedAccount));
    m_accountField->m_accepts = [](char c)
    { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'; };
    m_accountField->m_onLeave = [this] { FillKeptPassword(); };
    m_passwordField = Add(std::make_unique<CTextField>(Row(2), "Password", 128, m_typedPassword));
    m_passwordField->m_secret = true;
    m_passwordField->m_onEnter = [this] { SignIn(); };
    m_createToggle = Add(std::make_unique<CToggle>(Row(3), "Create this account", m_typedCreate));
    Add(std::make_unique<CButton>(Row(4), "Sign in", [this] { SignIn(); }));
    Add(std::make_unique<CButton>(Row(7), "Back", [this] { Back(); }));
    MoveChoice(1);
}

void CLobbyScreen::ShowRoom()
{
    using namespace ScreenLayout;
    m_view = m_wanted = ROOM;
    m_widgets.clear();
    m_chosen = -1;
    m_serverField = m_accountField = m_passwordField = nullptr;
    m_createToggle = nullptr;
    Add(std::make_unique<CButton>(CRect{LEFT + 480, TOP, WIDTH - 480, HEIGHT}, "Sign out",
                                  [this] { SignOut("Signed out", false); }));
    m_matches =
        Add(std::make_unique<CListView>(CRect{LEFT, LIST_TOP, WIDTH, LIST_ROW * LIST_ROWS}, LIST_ROW));
    m_matches->m_columns = {0, 220, 330, 440};
    // Enter or a click on a match joins it at once.
    m_matches->m_onChoose = [this](int) { Join(); };
    m_joinButton =
        Add(std::make_unique<CButton>(CRect{LEFT, BUTTONS_TOP, 200, HEIGHT}, "Join", [this] { Join(); }));
    m_hostButton = Add(std::make_unique<CButton>(CRect{LEFT + 240, BUTTONS_TOP, 240, HEIGHT}, "Host a match",
                                                 [this] { Host(); }));
    m_cancelButton = Add(std::make_unique<CButton>(CRect{LEFT + 520, BUTTONS_TOP, 200, HEIGHT}, "Cancel",
                                                   [this] { Cancel(); }));
    m_sayField =
        Add(std::make_unique<CTextField>(CRect{LEFT, SAY_TOP, WIDTH, HEIGHT}, "Say", Chat::MAX_BYTES));
    m_sayField->m_onEnter = [this] { Say(); };
    Add(std::make_unique<CButton>(CRect{LEFT, SAY_TOP + PITCH, WIDTH, HEIGHT}, "Back", [this] { Back(); }));
    m_listDirty = true;
    Choose(1);
}

void CLobbyScreen::FillKeptPassword()
{
    m_typedAccount = m_accountField->GetText();
    std::string kept;
    if (m_passwordField->GetText().empty() && !PasswordPath().empty() &&
        LoadLobbyPassword(PasswordPath(), kept))
    {
        m_passwordField->SetText(kept);
        SetStatus("The password kept for " + m_typedAccount + " is filled in", false);
    }
}

void CLobbyScreen::SignIn()
{
    m_server = m_serverField->GetText();
    m_typedAccount = m_accountField->GetText();
    m_typedPassword = m_passwordField->GetText();
    m_typedCreate = m_createToggle->IsOn();
    CNetAddress address;
    std::string why;
    if (!ParseNetAddress(m_server, address, why))
    {
        SetStatus("Cannot sign in: the server " + m_server.substr(0, 64) + ": " + why, true);
        return;
    }
    CLobbyLogin login;
    login.server = address.host;
    login.port = address.port ? address.port : 5222;
    login.account = m_typedAccount;
    login.password = m_typedPassword;
    login.create = m_typedCreate;
    if (!m_client.Start(login, why))
    {
        SetStatus("Cannot sign in: " + why, true);
        return;
    }
    m_signingIn = true;
    m_account = m_client.Account();
    SetStatus((m_typedCreate ? "Making the account " : "Signing in as ") + m_account + "...", false);
}

void CLobbyScreen::SignOut(const std::string& pWhy, bool pProblem)
{
    if (m_sessionOpen && !CSessionDoor::Get().NetMatchSeen())
        CloseSession(pWhy, pProblem);
    m_match.StopHosting();
    m_match.CancelJoin();
    m_client.Stop();
    m_signingIn = false;
    m_chat.clear();
    m_wanted = SIGN_IN;
    SetStatus(pWhy, pProblem);
}

void CLobbyScreen::Back()
{
    SignOut("Signed out", false);
    CScreen::Back();
}

void CLobbyScreen::Take(const CLobbyEvent& pEvent)
{
    switch (pEvent.kind)
    {
    case CLobbyEvent::CREATED:
        // Made: the next sign-in only signs in.
        m_typedCreate = false;
        if (m_createToggle)
            m_createToggle->m_index = 0;
        SetStatus("Made the account " + m_account + "; signing in...", false);
        break;
    case CLobbyEvent::SIGNED_IN:
        SetStatus("Signed in as " + m_account + "; entering the room...", false);
        break;
    case CLobbyEvent::IN_ROOM:
    {
        m_signingIn = false;
        // Kept for the next time, in the state folder only.
        std::string why;
        if (!PasswordPath().empty() && !SaveLobbyPassword(PasswordPath(), m_typedPassword, why))
            std::fprintf(stderr, "ampwarden: cannot keep the lobby password: %s\n", why.c_str());
        std::fprintf(stderr, "ampwarden: lobby: in the room as %s\n", m_account.c_str());
        // Also after the server came back (the waiting shows instead while a match is open).
        if (!m_sessionOpen)
            SetStatus("In the room as " + m_account, false);
        m_wanted = ROOM;
        m_listDirty = true;
        break;
    }
    case CLobbyEvent::PRESENCE:
        m_listDirty = true;
        break;
    case CLobbyEvent::CHAT:
        m_chat.push_back(pEvent.chat.nick + ": " + pEvent.chat.text);
        while (m_chat.size() > CHAT_SHOWN)
            m_chat.pop_front();
        break;
    case CLobbyEvent::DIRECT:
        m_match.Take(pEvent);
        break;
    case CLobbyEvent::LOST:
        m_listDirty = true;
        SetStatus(pEvent.text, true);
        break;
    case CLobbyEvent::FAILED:
        // A match in play goes on without the lobby.
        if (m_sessionOpen && CSessionDoor::Get().NetMatchSeen())
        {
            m_client.Stop();
            m_wanted = SIGN_IN;
            SetStatus("The lobby is gone: " + pEvent.text, true);
        }
        else
            SignOut((m_signingIn ? "Cannot sign in: " : "The lobby is gone: ") + pEvent.text, true);
        break;
    case CLobbyEvent::SIGNED_OUT:
    // The STUN and TURN servers matter only to a join through routers, which this screen does
    // not make yet: it joins by the address the host offers.
    case CLobbyEvent::SERVICES:
        break;
    }
}

bool CLobbyScreen::OnFrame()
{
    bool changed = false;
    CLobbyEvent event;
    while (m_client.Poll(event))
    {
        Take(event);
        changed = true;
    }
    m_match.Tick();
    FollowSession();
    if (m_wanted != m_view)
    {
        if (m_wanted == ROOM)
            ShowRoom();
        else
            ShowSignIn();
        changed = true;
    }
    // The waiting times move on once a second.
    const int64_t now = Now();
    if (m_view == ROOM && (m_listDirty || now != m_listedAt))
    {
        ListMatches(now);
        changed = true;
    }
    if (m_view == ROOM)
    {
        const bool busy = m_sessionOpen || m_match.State() == CLobbyMatchmaker::ASKED;
        m_joinButton->m_enabled = !busy && m_client.InRoom();
        m_hostButton->m_enabled = !busy && m_client.InRoom();
        m_cancelButton->m_enabled = busy;
    }
    changed = changed || m_status != m_shownStatus;
    m_shownStatus = m_status;
    return changed;
}

void CLobbyScreen::DrawMore()
{
    using namespace ScreenLayout;
    glColor4f(0.8f, 0.9f, 0.8f, 1.0f);
    if (m_view == SIGN_IN)
    {
        UiDraw::Text(LEFT, TOP + 5 * PITCH,
                     "A name is 2 to 20 lowercase letters, digits, - or _, starting with a letter.", true);
        UiDraw::Text(LEFT, TOP + 5 * PITCH + 20,
                     "The password is kept on this machine, readable by you alone (never in the settings).",
                     true);
        return;
    }
    UiDraw::Text(LEFT, TOP + 6, UiDraw::Fit("Signed in as " + m_account + " on " + m_server, 460, true),
                 true);
    UiDraw::Text(LEFT + 8, LIST_TOP - 20, "Host", true);
    UiDraw::Text(LEFT + 8 + 220, LIST_TOP - 20, "Version", true);
    UiDraw::Text(LEFT + 8 + 330, LIST_TOP - 20, "Waiting", true);
    if (m_matches && m_matches->Size() == 0)
        UiDraw::Text(LEFT + 8, LIST_TOP + 4, "No match waits: host one, and it shows here to everyone.",
                     true);
    // Who is in the room, cut to two lines.
    const auto& occupants = m_client.Room().Occupants();
    std::string players = "In the room (" + std::to_string(occupants.size()) + "):";
    for (const auto& entry : occupants)
        players += " " + entry.second.nick + ",";
    if (!occupants.empty())
        players.pop_back();
    const std::string first = UiDraw::Fit(players, WIDTH, true);
    UiDraw::Text(LEFT, PLAYERS_TOP, first.substr(0, first.size() - (first.size() < players.size() ? 3 : 0)),
                 true);
    if (first.size() < players.size())
        UiDraw::Text(LEFT, PLAYERS_TOP + 18, UiDraw::Fit(players.substr(first.size() - 3), WIDTH, true),
                     true);
    glColor4f(0.9f, 0.9f, 0.9f, 1.0f);
    int y = CHAT_TOP;
    for (const std::string& line : m_chat)
    {
        UiDraw::Text(LEFT, y, UiDraw::Fit(line, WIDTH, true), true);
        y += 18;
    }
}
