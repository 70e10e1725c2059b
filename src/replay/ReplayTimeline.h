#pragma once

#include <vector>

#include "replay/ReplayFormat.h"

class CGameWorld;

// The marks on a replay's time line: where a main node began to take damage and where nodes
// fell, over the whole match. They come from the replay's own play, run headless before the
// viewer shows it (a quarter of an hour plays in well under a second); watching them changes
// nothing in the match.
class CReplayTimeline
{
  public:
    enum MarkKind
    {
        MARK_MAIN_HIT = 0,
        MARK_FELL = 1,
    };
    struct Mark
    {
        int step;
        int kind;
        int team;
    };
    // Damage or losses of one side this close together make one mark.
    static constexpr int GAP_MS = 3000;
    // A jump lands this long before its mark, so that what happens there is seen.
    static constexpr int LEAD_MS = 2000;

    // Plays the replay on the engine's world headless and gathers its marks; the world is
    // left cleared, and no recorder keeps this play.
    static CReplayTimeline Gather(const CReplay& pReplay);

    // Before the first step and after each: what the step changed.
    void Observe(const CGameWorld& pWorld);
    const std::vector<Mark>& GetMarks() const { return m_marks; }
    // The step a jump from pNow goes to (its mark's step less the lead, never before pNow),
    // -1 when no mark lies ahead.
    int NextJump(int pNow, int pStepLength) const;

    // The line from pLeft to pRight at pY: the part played brighter, a tick above it where a main
    // node was hit and below it where nodes fell, each in the side's colour.
    void Draw(float pLeft, float pRight, float pY, int pNow, int pLastStep) const;

  private:
    void AddMark(int pStep, int pKind, int pTeam, int pGapSteps);

    std::vector<Mark> m_marks;
    // Per side: the main node's health as last seen, and the last step each kind was seen.
    int m_health[3] = {-1, -1, -1};
    int m_lastSeen[2][3] = {{-1, -1, -1}, {-1, -1, -1}};
    size_t m_lossesSeen = 0;
};
