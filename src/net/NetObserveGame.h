#pragma once

#include <string>

#include "engine/FrameHook.h"
#include "net/NetObserver.h"

class CGameEngine;

// Watching a network match in the window, opened from the Play a Friend screen (or for
// "-observe HOST[:PORT]"), which shows the waiting: then the catching up and the match with
// the viewer's controls and the chat line. Escape stops watching and goes back to that screen.
class CNetObserveGame : public CFrameHook
{
  public:
    explicit CNetObserveGame(CGameEngine& pEngine);
    ~CNetObserveGame() override;
    bool Open(const CNetAddress& pAddress, std::string& pWhy);
    // Stops watching (the end of the match, or by choice) and lets go of the world, which goes
    // back to the menu.
    void Leave();
    // Over: the link or the match ended, or it was left.
    bool IsOver() const;
    // Whether the match has come on the board.
    bool BoardShown() const { return m_boardShown; }
    std::string Headline() const;
    // 1 when it was refused, unreachable, dropped or out of step, else 0 (left by choice too).
    int ExitStatus() const;

    bool OnEvent(const SDL_Event& pEvent) override;
    bool OnFrame() override;
    void DrawOver() override;

  private:
    CGameEngine& m_engine;
    CNetObserver m_observer;
    std::string m_drawnHeadline;
    bool m_boardShown = false;
    // Let go of the world; m_left when that was before the match or the link ended.
    bool m_closed = false;
    bool m_left = false;
};

// Reads "-quiet-observers": the host keeps observers' chat from the players.
bool WantsQuietObservers(int pArgc, char** pArgv);
