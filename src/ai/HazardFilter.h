#pragma once

#include <vector>

#include "engine/Vector2.h"

class CEntity;

// The hit sum of one search: every candidate is measured with the same radius and the same
// excluded node, on a board that does not change while the search runs. Each node that may
// deal damage gets a box outside which its damage is certainly zero, so a candidate asks only
// the nodes whose box holds it. Integer sums, so the order they are added in does not matter.
class CHazardFilter
{
  public:
    CHazardFilter(float pRadius, CEntity* pExcluded);

    // The same sums as CAIPlayer::HitSum at the filter's radius and excluded node.
    int HitSum(const CVector2& pPoint, int* pBeamOnly) const;

  private:
    struct Hazard
    {
        float minX;
        float minY;
        float maxX;
        float maxY;
        CEntity* node;
    };
    float m_radius;
    CEntity* m_excluded;
    std::vector<Hazard> m_hazards;
};
