#include "ui/LobbyScreen.h"

#include <algorithm>
#include <ctime>

#include "engine/GameEngine.h"
#include "net/NetAddress.h"
#include "net/NetSetup.h"
#include "ui/SessionDoor.h"
#include "world/GameWorld.h"

// The Lobby screen's play: the list of open matches, joining one, hosting, the chat line said,
// and the network match that follows, as Play a Friend follows its own.

namespace
{
const int HOST_PORT_TRIES = 5;

// An account as shown: its name alone on our own domain, whole on another.
std::string ShownAccount(const std::string& pAccount, const std::string& pOurs)
{
    const size_t at = pAccount.find('@');
    const size_t ourAt = pOurs.find('@');
    if (at != std::string::npos && ourAt != std::string::npos && pAccount.substr(at) == pOurs.substr(ourAt))
        return pAccount.substr(0, at);
    return pAccount;
}
} // namespace

void CLobbyScreen::ListMatches(int64_t pNow)
{
    m_listDirty = false;
    m_listedAt = pNow;
    if (!m_matches)
        return;
    const int selected = m_matches->GetSelected();
    const std::string chosen =
        selected >= 0 && selected < static_cast<int>(m_rowAccounts.size()) ? m_rowAccounts[selected] : "";
    std::vector<CListView::Row> rows;
    m_rowAccounts.clear();
    for (const CLobbyOccupant* match : m_client.Room().OpenMatches())
    {
        // Another's own name, the nickname too when it is not that name: a nickname can be
        // anything, the account is the server's word.
        std::string host = ShownAccount(match->account, m_account);
        if (match->nick != host.substr(0, host.find('@')))
            host += " (" + match->nick + ")";
        std::string why;
        const bool joinable = CanJoinAd(match->ad, m_program, m_rules, why);
        CListView::Row row;
        row.text = host + "\t" + match->ad.program + "\t" + WaitingText(match->ad.since, pNow) + "\t" +
                   (match->account == m_account ? "your match"
                    : joinable                  ? "can join"
                                                : why);
        row.dim = !joinable || match->account == m_account;
        rows.push_back(row);
        m_rowAccounts.push_back(match->account);
    }
    m_matches->SetRows(rows);
    const auto again = std::find(m_rowAccounts.begin(), m_rowAccounts.end(), chosen);
    if (again != m_rowAccounts.end())
        m_matches->Select(static_cast<int>(again - m_rowAccounts.begin()));
}

void CLobbyScreen::Join()
{
    if (!m_matches || m_sessionOpen || m_match.State() == CLobbyMatchmaker::ASKED)
        return;
    const int row = m_matches->GetSelected();
    if (row < 0 || row >= static_cast<int>(m_rowAccounts.size()))
    {
        SetStatus("No match chosen to join", true);
        return;
    }
    const std::string& account = m_rowAccounts[static_cast<size_t>(row)];
    std::string why;
    if (account == m_account)
        SetStatus("That is your own match", true);
    else if (!m_match.Join(account, why))
        SetStatus("Cannot join: " + why, true);
    else
        SetStatus("Asking " + ShownAccount(account, m_account) + " to play...", false);
}

void CLobbyScreen::Host()
{
    if (m_sessionOpen)
        return;
    // The usual port, else one of the next few (another game on this machine may hold it);
    // every other one, as observers take the port after the players'.
    CNetSetup setup;
    setup.hosting = true;
    std::string why;
    for (int i = 0; i < HOST_PORT_TRIES && !m_sessionOpen; ++i)
    {
        setup.address.port = static_cast<uint16_t>(Net::DEFAULT_PORT + 2 * i);
        m_sessionOpen = CSessionDoor::Get().OpenNet(setup, why);
    }
    if (!m_sessionOpen)
    {
        SetStatus("Cannot host: " + why, true);
        return;
    }
    m_match.Host(setup.address.port, static_cast<int64_t>(std::time(nullptr)));
}

void CLobbyScreen::Cancel()
{
    m_match.CancelJoin();
    if (m_sessionOpen)
        CloseSession("Gave up waiting", false);
}

void CLobbyScreen::Say()
{
    std::string why;
    if (m_sayField->GetText().empty())
        return;
    if (!m_client.Say(m_sayField->GetText(), why))
        SetStatus("Not said: " + why, true);
    else
        m_sayField->SetText("");
}

void CLobbyScreen::OpenSession(const CNetSetup& pSetup)
{
    std::string why;
    if (!CSessionDoor::Get().OpenNet(pSetup, why))
    {
        SetStatus((pSetup.hosting ? "Cannot host: " : "Cannot join: ") + why, true);
        return;
    }
    m_sessionOpen = true;
}

void CLobbyScreen::CloseSession(const std::string& pWhy, bool pProblem)
{
    CSessionDoor::Get().CloseNet();
    m_sessionOpen = false;
    m_match.StopHosting();
    m_match.CancelJoin();
    SetStatus(pWhy, pProblem);
    // With -once (for scripts) the program ends with the session, its status saying how.
    if (CGameEngine::Instance().HasOption("once"))
        CGameEngine::Instance().Quit();
}

void CLobbyScreen::FollowSession()
{
    const CLobbyMatchmaker::JoinState state = m_match.State();
    if (state == CLobbyMatchmaker::OFFERED)
    {
        CNetSetup setup;
        setup.address.host = m_match.Offer().host;
        setup.address.port = m_match.Offer().port;
        setup.address.ipv6 = setup.address.host.find(':') != std::string::npos;
        std::fprintf(stderr, "ampwarden: lobby: joining %s at %s port %u\n", m_match.JoinAccount().c_str(),
                     setup.address.host.c_str(), static_cast<unsigned>(setup.address.port));
        m_match.CancelJoin();
        OpenSession(setup);
    }
    else if (state == CLobbyMatchmaker::REFUSED || state == CLobbyMatchmaker::FAILED)
    {
        SetStatus("Cannot join: " + m_match.Why(), true);
        m_match.CancelJoin();
    }
    if (!m_sessionOpen)
        return;
    CSessionDoor& door = CSessionDoor::Get();
    if (!door.IsNetOpen())
    {
        m_sessionOpen = false;
        m_match.StopHosting();
        return;
    }
    // Started: the advertisement goes.
    if (door.NetMatchSeen())
        m_match.Started();
    if (door.IsNetOver() && (TheWorld().m_state == STATE_MENU || CGameEngine::Instance().HasOption("once")))
    {
        const std::string why = door.NetHeadline();
        CloseSession(why.empty() ? "The network match is over" : why, true);
    }
    else if (!door.NetMatchSeen())
        SetStatus(door.NetHeadline() + "   (" + std::to_string(door.NetElapsedSeconds()) + " s)", false);
}
