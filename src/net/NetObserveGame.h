#pragma once

#include <string>

#include "engine/FrameHook.h"
#include "net/NetObserver.h"

class CGameEngine;

// Watching a network match in the window ("-observe HOST[:PORT]"): the waiting and catching
// up veiled, then the match with the viewer's controls and the chat line; Escape stops
// watching and ends the program.
class CNetObserveGame : public CFrameHook
{
  public:
    explicit CNetObserveGame(CGameEngine& pEngine);
    ~CNetObserveGame() override;
    bool Open(const CNetAddress& pAddress, std::string& pWhy);
    // 1 when it never watched or ended badly, else 0.
    int ExitStatus() const;

    bool OnEvent(const SDL_Event& pEvent) override;
    bool OnFrame() override;
    void DrawOver() override;

  private:
    CGameEngine& m_engine;
    CNetObserver m_observer;
    std::string m_drawnHeadline;
};

// Reads "-quiet-observers": the host keeps observers' chat from the players.
bool WantsQuietObservers(int pArgc, char** pArgv);
