#include "nodes/ResourceNode.h"

#include <GL/gl.h>

#include "engine/Assert.h"
#include "media/Color.h"
#include "media/Sprite.h"
#include "nodes/EntityRegistry.h"
#include "nodes/NodeMedia.h"

CResourceNode::CResourceNode() : m_occupancy(1000)
{
    m_radius = RADIUS;
    // Beams pass over sites, and an extractor may stand on one.
    m_blocksBeams = false;
    m_occupancy.SetValue(0);
}

void CResourceNode::Update(int pDt)
{
    // Only the colour follows the occupancy, over one second; a site never decays.
    m_occupancy.Add(IsAvailable() ? -pDt : pDt);
}

void CResourceNode::Occupy(CEntity* pUser, float)
{
    AW_ASSERT(m_freeSlots);
    AW_ASSERT(pUser);
    --m_freeSlots;
    m_user = GetEntityId(pUser);
}

void CResourceNode::Release(CEntity* pUser)
{
    AW_ASSERT(pUser);
    ++m_freeSlots;
    m_user = 0;
}

void CResourceNode::TakeDamage(int, const CVector2&, int, CEntity*)
{
    // Sites cannot be harmed: no record, no health change, no sparks.
}

CEntity* CResourceNode::GetUser() const
{
    return GetEntity(m_user);
}

void CResourceNode::GetTint(float pOut[3]) const
{
    static const float FREE[3] = {0.5f, 0.7f, 0.5f};
    static const float TAKEN[3] = {0.4f, 0.5f, 0.4f};
    float d = m_occupancy.GetFraction(1000);
    for (int i = 0; i < 3; ++i)
        pOut[i] = FREE[i] * (1.0f - d) + TAKEN[i] * d;
}

void CResourceNode::Draw()
{
    float tint[3];
    GetTint(tint);
    CColor(tint[0], tint[1], tint[2], 1.0f).Apply();
    if (CSprite* sprite = FindNodeSprite("Resource"))
        sprite->DrawAt(m_position.x, m_position.y);
}
