#pragma once

// F1: the keys, the node kinds with their costs and the rules, over everything.
class CHelpScreen
{
  public:
    // pInMatch: a match stands behind the screen (it goes on while the screen is open).
    void Draw(int pWidth, int pHeight, bool pInMatch);
};
