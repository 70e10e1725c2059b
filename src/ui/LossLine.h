#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "world/MatchStats.h"

class CGameWorld;
class CRingBatch;

// Tells the player what they just lost and what destroyed it: a line over the board for a few
// seconds, with the losses of one moment grouped by cause, and a fading ring on the board
// where each node stood.
class CLossLine
{
  public:
    // Losses this close together are told as one moment.
    static constexpr int MOMENT_MS = 600;
    static constexpr int SHOW_MS = 4000;
    static constexpr int MARK_MS = 2500;

    // The losses of pTeam from pFromStep on, grouped by cause: "Extender and 2 shields destroyed
    // by blue's beam; absorber cut off from power". Empty when there are none.
    static std::string Describe(const std::vector<CMatchStats::Loss>& pLosses, int pTeam, int pFromStep);

    // The moments of pTeam's losses, newest last, at most pMax of them, each told as Describe
    // tells it after the match time it began at: "3:12  Extender destroyed by blue's beam".
    static std::vector<std::string> Log(const std::vector<CMatchStats::Loss>& pLosses, int pTeam,
                                        int pMomentSteps, int pStepLength, size_t pMax);
    // What destroyed the team's main node and what fell with it; empty while it stands.
    static std::string MainFall(const std::vector<CMatchStats::Loss>& pLosses, int pTeam);

    // The line for the side the player plays; nothing on a demo's board. Stands at the board's
    // bottom edge, clear of its sites; the summary, when open, tells the fall of a main node.
    void Draw(const CGameWorld& pWorld);
    // The loss log (the L key): the last few moments of loss, on a panel of their own.
    void DrawLog(const CGameWorld& pWorld);
    static constexpr size_t LOG_LINES = 6;
    // The rings where the player's nodes fell, added to the board's batch.
    void DrawMarks(const CGameWorld& pWorld, CRingBatch& pRings) const;

    // The text now told for the world's player (empty when nothing is), as Draw shows it.
    const std::string& Current(const CGameWorld& pWorld);

  private:
    size_t m_seen = 0;
    int m_fromStep = -1;
    int m_lastStep = -1;
    std::string m_text;
};
