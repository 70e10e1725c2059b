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

    // The line for the side the player plays; nothing on a demo's board.
    void Draw(const CGameWorld& pWorld);
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
