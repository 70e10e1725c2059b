#pragma once

class CGameWorld;
class CRingBatch;

// What the screen that shows a match draws into the world's picture, each at its place: marks
// among the board's rings, panels over the hud, and a screen over everything. The world knows
// that screen only through these calls.
class CMatchOverlay
{
  public:
    virtual ~CMatchOverlay() = default;
    virtual void DrawMarks(const CGameWorld& pWorld, CRingBatch& pRings) = 0;
    virtual void DrawOverHud(const CGameWorld& pWorld) = 0;
    virtual void DrawOverAll(const CGameWorld& pWorld) = 0;
};
