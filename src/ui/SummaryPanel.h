#pragma once

class CGameWorld;

// The summary of a match over the board: a hint at the key while it is closed, the banner of a
// watched match, and when open the panel with both sides' figures and the graphs.
class CSummaryPanel
{
  public:
    void Draw(const CGameWorld& pWorld);
};
