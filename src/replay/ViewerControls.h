#pragma once

#include <string>

#include "world/MatchDriver.h"

class CReplayTimeline;

// The controls of a match that is only watched (a replay, or a -watch match): Space pauses,
// 1 to 4 run 1, 2, 4 or 8 steps a frame, and a legend on screen says so. A replay adds its
// time line under the legend, and N jumps to its next mark. The player's own
// tool keys and clicks are kept from the match; Escape and every other key go through.
// (The controls serve every match the computer plays on both sides: the menu's demo too.)
class CViewerControls : public CMatchDriver
{
  public:
    static constexpr int MAX_SPEED = 8;
    // Steps a frame while jumping to a mark: eight game seconds.
    static constexpr int JUMP_STEPS_PER_TICK = 500;

    explicit CViewerControls(CGameWorld& pWorld) : m_world(pWorld) {}
    int StepsPerTick() override;
    bool BeforeStep(CGameWorld& pWorld) override;
    bool OnKey(CGameWorld& pWorld, int pSym, bool pPressed) override;
    bool OnMouseButton(CGameWorld& pWorld, int pButton, bool pPressed) override;
    void DrawOverlay(CGameWorld& pWorld) override;

    bool IsPaused() const { return m_paused; }
    // Steps of a match as minutes and seconds of it, "3:12".
    static std::string Clock(int pSteps, int pStepLength);
    int GetSpeed() const { return m_speed; }
    // The step a jump to the next mark runs to, -1 when none is under way.
    int GetJumpTarget() const { return m_jumpTo; }
    // Back to playing at x1, with no jump under way.
    void Reset()
    {
        m_paused = false;
        m_speed = 1;
        m_jumpTo = -1;
    }

  protected:
    // Whether the match on the board is the one being watched; the controls leave any other
    // alone (the player may go to the menu and start a game of his own).
    virtual bool IsWatching(const CGameWorld& pWorld) const;
    // What the legend says about the match, before the keys.
    virtual std::string Status(const CGameWorld& pWorld) const;
    // The time line with its marks, and the step it runs to; none for a match played live.
    virtual const CReplayTimeline* Timeline() const { return nullptr; }
    virtual int TimelineEnd() const { return 0; }

    CGameWorld& m_world;
    // What the legend says Escape does.
    std::string m_escapeText = "Esc menu";

  private:
    bool m_paused = false;
    int m_speed = 1;
    int m_jumpTo = -1;
};

// The controls the menu's demo is watched with, when no other driver is set; one for the run.
CViewerControls& MenuDemoViewer(CGameWorld& pWorld);
