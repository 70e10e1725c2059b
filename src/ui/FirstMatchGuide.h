#pragma once

class CGameWorld;

// A few hints for a player's first match, each shown at the moment it applies and gone once
// the player does what it says: build an extractor, aim an emitter, cut the power of the
// enemy's shield, shield the main node under fire. It only reads the world through its
// queries: it never pauses or changes the match.
class CFirstMatchGuide
{
  public:
    enum Hint
    {
        HINT_EXTRACTOR = 0,
        HINT_AIM = 1,
        HINT_SHIELD_POWER = 2,
        HINT_MAIN_UNDER_FIRE = 3,
        HINT_NONE = 4,
    };

    // The hint that applies now on the world's board for its player, the most urgent first;
    // HINT_NONE when none does (each is done, or the match is over).
    static int Current(const CGameWorld& pWorld);
    static const char* Text(int pHint);

    void SetOn(bool pOn) { m_on = pOn; }
    bool IsOn() const { return m_on; }
    // The hint along the board's top edge, while the guide is on in a match the player plays.
    void Draw(const CGameWorld& pWorld) const;

  private:
    bool m_on = false;
};
