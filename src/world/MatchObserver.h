#pragma once

class CGameWorld;
struct CMatchCommand;

// Watches a match from beside it (a recorder, a sync check): told when a match starts (once its
// settings are final, before its first command or step), of every command just before it is applied, after
// every step, when the match is over, and when the board is cleared. It must not change the match.
class CMatchObserver
{
  public:
    virtual ~CMatchObserver() = default;
    virtual void OnMatchStarted(CGameWorld& /*pWorld*/) {}
    virtual void OnCommand(CGameWorld& /*pWorld*/, const CMatchCommand& /*pCommand*/) {}
    virtual void OnStepRun(CGameWorld& /*pWorld*/) {}
    // Over: decided on the board, stopped at its cap or undecided, or ended by whoever drives
    // it (a network session). No step runs after it, though the board stays in view; it may
    // come more than once.
    virtual void OnMatchEnded(CGameWorld& /*pWorld*/) {}
    virtual void OnMatchCleared(CGameWorld& /*pWorld*/) {}
};
