#include "nodes/ForkNode.h"

#include <GL/gl.h>
#include <algorithm>

#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "media/Sprite.h"
#include "nodes/EntityRegistry.h"
#include "nodes/NodeMedia.h"
#include "world/GameWorld.h"

int CForkNode::GetCost()
{
    return static_cast<int>(BASE_COST * TheWorld().GetCostFactor());
}

CForkNode::CForkNode() : m_buildUp(HEALTH)
{
    m_radius = RADIUS;
    // Fragile at first: the health is granted over the first steps.
    m_health.Reset(HEALTH);
    m_health.SetValue(1);
}

void CForkNode::Draw()
{
    CColor(1.0f, 1.0f, 1.0f, 1.0f).Apply();
    if (CSprite* sprite = FindTeamSprite("Fork", m_team))
        sprite->DrawAt(m_position.x, m_position.y);
}

void CForkNode::Update(int pDt)
{
    // Build-up only: an extender earns and spends nothing and never decays.
    if (m_buildUp.GetValue() == 0)
        return;
    int amount = std::min(m_buildUpRate, m_buildUp.GetValue());
    m_buildUp.Add(-amount);
    m_health.Add(amount);
    m_buildUpRate += pDt * 1000;
}

bool CForkNode::CanPowerMore() const
{
    return m_powered.GetFreeSlots() != 0 && IsConnected();
}

void CForkNode::AddPowered(CEntity* pUser)
{
    AW_ASSERT(pUser);
    m_powered.Add(pUser);
}

void CForkNode::RemovePowered(CEntity* pUser)
{
    AW_ASSERT(pUser);
    m_powered.Remove(pUser);
}

void CForkNode::CutPower()
{
    CEntity::CutPower();
    CutAllPowered();
}

void CForkNode::CutAllPowered()
{
    m_powered.CutAll();
}

void CForkNode::OnDeath()
{
    AddGhost(TeamSpriteId("Fork", m_team).c_str(), 0.0f);
    CEntity::OnDeath();
    CutAllPowered();
}

void CForkNode::UpdateWorth()
{
    m_powered.UpdateWorthAll();
    // An extender is worth what it keeps alive.
    m_worth = IsConnected() ? m_powered.SumWorth() : 0.0f;
}
