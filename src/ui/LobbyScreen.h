#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "lobby/LobbyClient.h"
#include "lobby/LobbyMatchmaker.h"
#include "ui/Screen.h"

class CButton;
class CListView;
class CTextField;
class CToggle;
struct CNetSetup;

// The lobby: signs in to a chat server (making the account the first time), then shows who is
// in the room, the matches that wait (another version greyed, with why), and the room's chat;
// hosts a match that waits there, or joins a listed one, played as Play a Friend plays it. The
// connection runs on a thread of its own and is only polled here, once a frame. At the match's
// end the player is back here, still signed in.
class CLobbyScreen : public CScreen
{
  public:
    // pServer: the server to fill in; empty for the one in the settings.
    explicit CLobbyScreen(const std::string& pServer = std::string());
    bool OnFrame() override;
    void Back() override;

  private:
    enum View
    {
        SIGN_IN,
        ROOM
    };
    // The widgets of a view; made anew only from OnFrame, never from a widget's own handler.
    void ShowSignIn();
    void ShowRoom();
    void SignIn();
    void SignOut(const std::string& pWhy, bool pProblem);
    void Take(const CLobbyEvent& pEvent);
    void FillKeptPassword();
    std::string PasswordPath() const;
    // The open matches as rows, the one chosen kept by its account.
    void ListMatches(int64_t pNow);
    void Join();
    void Host();
    void Cancel();
    void Say();
    void OpenSession(const CNetSetup& pSetup);
    // Follows the network match opened from here.
    void FollowSession();
    void CloseSession(const std::string& pWhy, bool pProblem);
    void DrawMore() override;

    // What this build plays, read once: a match is joinable when it is the same.
    std::string m_program;
    std::string m_rules;
    CLobbyClient m_client;
    CLobbyMatchmaker m_match;
    View m_view = SIGN_IN;
    View m_wanted = SIGN_IN;
    std::string m_server;
    std::string m_account;
    bool m_signingIn = false;
    bool m_sessionOpen = false;
    bool m_listDirty = false;
    int64_t m_listedAt = 0;
    std::string m_shownStatus;
    // What the player typed, kept across the views.
    std::string m_typedAccount;
    std::string m_typedPassword;
    bool m_typedCreate = false;

    CTextField* m_serverField = nullptr;
    CTextField* m_accountField = nullptr;
    CTextField* m_passwordField = nullptr;
    CToggle* m_createToggle = nullptr;
    CListView* m_matches = nullptr;
    CButton* m_joinButton = nullptr;
    CButton* m_hostButton = nullptr;
    CButton* m_cancelButton = nullptr;
    CTextField* m_sayField = nullptr;
    // The account of each row of the list.
    std::vector<std::string> m_rowAccounts;
    std::deque<std::string> m_chat;
};
