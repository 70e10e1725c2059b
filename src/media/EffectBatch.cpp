#include "media/EffectBatch.h"

#include <GL/gl.h>

#include "media/Graphic.h"

namespace
{
bool Touch(const CGraphic& pA, const CGraphic& pB)
{
    const float reach = pA.GetReach() + pB.GetReach();
    return (pA.GetPosition() - pB.GetPosition()).LengthSq() <= reach * reach;
}
} // namespace

std::vector<size_t> EffectDrawOrder(const std::vector<CGraphic*>& pEffects)
{
    std::vector<size_t> order;
    order.reserve(pEffects.size());
    std::vector<size_t> stills;
    std::vector<size_t> moving;
    auto closeGroup = [&]()
    {
        order.insert(order.end(), stills.begin(), stills.end());
        order.insert(order.end(), moving.begin(), moving.end());
        stills.clear();
        moving.clear();
    };
    for (size_t i = 0; i < pEffects.size(); ++i)
    {
        if (pEffects[i]->IsMoving())
        {
            moving.push_back(i);
            continue;
        }
        // A still one is drawn before the group's moving ones: it must not pass one it touches.
        for (size_t m : moving)
        {
            if (Touch(*pEffects[i], *pEffects[m]))
            {
                closeGroup();
                break;
            }
        }
        stills.push_back(i);
    }
    closeGroup();
    return order;
}

void DrawEffects(const std::vector<CGraphic*>& pEffects)
{
    for (size_t i : EffectDrawOrder(pEffects))
        pEffects[i]->DrawBatched();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
