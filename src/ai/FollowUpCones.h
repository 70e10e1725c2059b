#pragma once

#include <bitset>
#include <vector>

#include "engine/Vector2.h"

class CEntity;

// Where a beam through a target goes on once the target falls: the directions, seen from the
// target's centre, in which a foe's node worth something stands behind it. A place whose line
// to the target points into none of them cannot hit such a node, so the ray need not be traced.
class CFollowUpCones
{
  public:
    CFollowUpCones(const CEntity* pTarget, int pTeam, const std::vector<CEntity*>& pNodes);

    // Whether the line from pFrom through the target may go on into such a node (never false
    // when it does).
    bool MayGoOn(const CVector2& pFrom) const;
    // The node the line from pFrom through the target strikes next is such a node.
    bool GoesOn(const CVector2& pFrom) const;

    // A foe's node a beam may go on into: not grey, not an absorber it would feed, worth something.
    static bool IsWorthHitting(const CEntity* pNode, int pTeam);

  private:
    static constexpr int BINS = 720;
    const CEntity* m_target;
    int m_team;
    std::bitset<BINS> m_open;
};
