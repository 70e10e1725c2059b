#pragma once

class CGameWorld;

// What decides when a match's steps run, where it is not simply the clock: a replay being
// watched (paused, or several steps a frame) or a network session (a step waits until both
// sides' turns for it are in). It hands in the commands due before each step.
class CMatchDriver
{
  public:
    virtual ~CMatchDriver() = default;
    // How many steps one due step of the clock becomes (speeds above 1 for a replay).
    virtual int StepsPerTick() { return 1; }
    // Called before each step would run, with the world between steps; false holds the step
    // (and every later one in this frame).
    virtual bool BeforeStep(CGameWorld& /*pWorld*/) { return true; }
    // Input in a match reaches the driver first; true when it keeps it for itself (a viewer's
    // pause and speed keys) and the player's handlers never see it.
    virtual bool OnKey(CGameWorld& /*pWorld*/, int /*pSym*/, bool /*pPressed*/) { return false; }
    virtual bool OnMouseButton(CGameWorld& /*pWorld*/, int /*pButton*/, bool /*pPressed*/) { return false; }
    // Drawn over the match screen (a viewer's legend).
    virtual void DrawOverlay(CGameWorld& /*pWorld*/) {}
};
