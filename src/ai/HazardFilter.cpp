#include "ai/HazardFilter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "world/GameWorld.h"

namespace
{
// Boxes are a pixel wider than the reach, far more than the rounding of the damage tests.
const float MARGIN = 1.0f;
const float HUGE_EXTENT = std::numeric_limits<float>::max();
} // namespace

CHazardFilter::CHazardFilter(float pRadius, CEntity* pExcluded) : m_radius(pRadius), m_excluded(pExcluded)
{
    TheWorld().ForEachHazard(
        [&](CEntity* pNode)
        {
            AW_ASSERT(pNode);
            // An unknown kind is asked everywhere.
            Hazard hazard{-HUGE_EXTENT, -HUGE_EXTENT, HUGE_EXTENT, HUGE_EXTENT, pNode};
            const int extra = pNode == m_excluded ? -1 : 0;
            if (const CAbsorberNode* absorber = dynamic_cast<const CAbsorberNode*>(pNode))
            {
                // Its blast circle grown by the candidate's radius.
                const float reach =
                    absorber->GetBlastRadius(extra) + pRadius + absorber->GetRadius() + MARGIN;
                const CVector2& at = absorber->GetPosition();
                hazard = Hazard{at.x - reach, at.y - reach, at.x + reach, at.y + reach, pNode};
            }
            else if (const CBeamNode* beam = dynamic_cast<const CBeamNode*>(pNode))
            {
                // Within the radius of the beam's line, from just ahead of the emitter to the
                // radius past the beam's end.
                const CVector2 u = beam->GetDirection();
                const CVector2 from = beam->GetPosition() + u * (beam->GetRadius() * 2.1f);
                const float length = std::max(0.0f, beam->GetBeamLength() - beam->GetRadius() + pRadius);
                const CVector2 to = from + u * (length * 1.001f + MARGIN);
                const float grow = pRadius + MARGIN;
                hazard = Hazard{std::min(from.x, to.x) - grow, std::min(from.y, to.y) - grow,
                                std::max(from.x, to.x) + grow, std::max(from.y, to.y) + grow, pNode};
            }
            // A box that is not a number holds everything.
            if (!(hazard.minX <= hazard.maxX && hazard.minY <= hazard.maxY))
                hazard = Hazard{-HUGE_EXTENT, -HUGE_EXTENT, HUGE_EXTENT, HUGE_EXTENT, pNode};
            m_hazards.push_back(hazard);
        });
}

int CHazardFilter::HitSum(const CVector2& pPoint, int* pBeamOnly) const
{
    int total = 0;
    int beamOnly = 0;
    for (const Hazard& hazard : m_hazards)
    {
        if (pPoint.x < hazard.minX || pPoint.x > hazard.maxX || pPoint.y < hazard.minY ||
            pPoint.y > hazard.maxY)
            continue;
        int kind = DAMAGE_NONE;
        // The excluded node is measured with one charge less.
        int damage = hazard.node->GetDamageAt(pPoint, m_radius, &kind, hazard.node == m_excluded ? -1 : 0);
        total += damage;
        if (kind == DAMAGE_BEAM)
            beamOnly += damage;
    }
    if (pBeamOnly)
        *pBeamOnly = beamOnly;
    return total;
}
