#pragma once

// F1: the keys, the node kinds with their costs and the rules, over everything.
class CHelpScreen
{
  public:
    void Draw(int pWidth, int pHeight);
};
