#pragma once

#include "engine/WindowContent.h"
#include "ui/MatchScreen.h"
#include "ui/Screen.h"
#include "ui/SessionDoor.h"

// The program over the engine: puts the world, and the screens over its menu, into the
// engine's window; opens the menu's screens; and answers the screens' requests for sessions
// through the switchboard (app/Sessions).
class CProgram : public CWindowContent, public CSessionDoor
{
  public:
    // Made on first use, which also sets it into the engine and the world; never destroyed.
    static CProgram& Instance();

    // The screens over the menu (Play a Friend, Replays, ...): shown, fed input and run while
    // the world is on its menu.
    CScreenStack& GetScreens() { return m_screens; }

    void BeginRun() override;
    void EndRun() override;
    bool OnFrame() override;
    bool Step(unsigned pElapsed) override;
    void Draw() override;
    unsigned TimeToNextStep() const override;
    bool OnEvent(const SDL_Event& pEvent) override;
    void OnInput(const SDL_Event& pEvent) override;

    bool PlayReplay(const std::string& pPath, std::string& pWhy) override;
    void Watch(unsigned pGreen, unsigned pBlue, unsigned pSeed) override;
    bool OpenNet(const CNetSetup& pSetup, std::string& pWhy) override;
    bool OpenObserve(const CNetAddress& pAddress, std::string& pWhy) override;
    bool IsNetOpen() override;
    std::string NetHeadline() override;
    bool NetMatchSeen() override;
    bool IsNetOver() override;
    unsigned NetElapsedSeconds() override;
    void CloseNet() override;

  private:
    CProgram();

    CScreenStack m_screens;
    CMatchScreen m_match;
};
