#pragma once

#include <string>

#include "engine/FrameHook.h"
#include <memory>

#include "net/NetChatLink.h"
#include "net/NetObserverHost.h"
#include "net/NetSession.h"

class CGameEngine;

// The network session inside the game's window once its match is on: pausing and leaving
// with the keys, the chat line, and the session's news drawn over the board. Until then the
// Play a Friend screen that opened it shows the waiting and takes the input.
class CNetGame : public CFrameHook
{
  public:
    CNetGame(CGameEngine& pEngine, const CNetSetup& pSetup);
    ~CNetGame() override;
    bool Open(std::string& pWhy);
    // The program's exit status for how the session ended: 1 when it was refused, never
    // connected, broke the rules or went out of sync, else 0.
    int ExitStatus() const;
    CNetSession& GetSession() { return m_session; }
    bool MatchSeen() const { return m_matchSeen; }

    bool OnEvent(const SDL_Event& pEvent) override;
    bool OnFrame() override;
    void DrawOver() override;

  private:
    bool OnKeyDown(int pSym);
    // The chat line goes with the session (back at the menu, or the session ends).
    void ChatOff();
    CGameEngine& m_engine;
    CNetSetup m_setup;
    CNetSession m_session;
    CNetChatLink m_chat;
    // Hosting: the observers, on the port after the game's.
    std::unique_ptr<CNetObserverHost> m_observers;
    std::string m_drawnHeadline;
    bool m_matchSeen = false;
    // The window was closed during the match: the program ends once the session has.
    bool m_quitWhenOver = false;
    // Back at the menu after the match: the session draws and takes nothing more.
    bool m_closed = false;
};

// Reads "-host [PORT]" and "-join HOST[:PORT]" (IPv6 in brackets) from the arguments. pWanted
// tells whether either was given; false, with a one-line reason, when one is malformed.
bool ReadNetOptions(int pArgc, char** pArgv, CNetSetup& pSetup, bool& pWanted, std::string& pWhy);
