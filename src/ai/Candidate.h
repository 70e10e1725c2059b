#pragma once

#include <vector>

#include "engine/Vector2.h"

class CEntity;

// A scored place the opponent might build on. Lower scores are better.
struct PosCandidate
{
    CEntity* node = nullptr; // what the candidate was generated for; not owned
    CVector2 pos;            // rounded to whole pixels after scoring
    float score = 0.0f;
    int hits = 0; // hit sum measured at the position
};

// The result of a search: a copy of the accepted candidate, or one without a node.
using CSpot = PosCandidate;

// Candidate records are pooled for the whole run, so a decision that weighs thousands of
// places allocates nothing once the pool has grown.
class CandidatePool
{
  public:
    static CandidatePool& GetInstance();

    // The last record given back (fields as they were left), or a new zeroed one.
    PosCandidate* Take();
    void GiveBack(PosCandidate* pRecord);
    std::size_t GetMadeCount() const { return m_all.size(); }
    std::size_t GetFreeCount() const { return m_free.size(); }

  private:
    CandidatePool() = default;
    std::vector<PosCandidate*> m_free;
    std::vector<PosCandidate*> m_all;
};
