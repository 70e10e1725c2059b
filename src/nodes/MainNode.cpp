#include "nodes/MainNode.h"

#include <GL/gl.h>

#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "media/Sprite.h"
#include "nodes/EntityRegistry.h"
#include "nodes/NodeMedia.h"
#include "world/GameWorld.h"

CMainNode::CMainNode()
{
    m_radius = RADIUS;
    m_health.Reset(HEALTH);
    m_mainNode = true;
}

void CMainNode::Draw()
{
    CColor(1.0f, 1.0f, 1.0f, 1.0f).Apply();
    if (CSprite* sprite = FindTeamSprite("CPU", m_team))
        sprite->DrawAt(m_position.x, m_position.y);
}

void CMainNode::Update(int pDt)
{
    m_energyFlow = INCOME_FLOW;
    TheWorld().GetTeam(m_team).AddEnergy(pDt * (INCOME_FLOW / 1000));
    ApplyDecay(pDt);
}

void CMainNode::AddPowered(CEntity* pUser)
{
    AW_ASSERT(pUser);
    m_powered.Add(pUser);
}

void CMainNode::RemovePowered(CEntity* pUser)
{
    AW_ASSERT(pUser);
    m_powered.Remove(pUser);
}

void CMainNode::OnDeath()
{
    AddGhost(TeamSpriteId("CPU", m_team).c_str(), 0.0f);
    CEntity::OnDeath();
    // The whole network falls with its heart.
    CutAllPowered();
}

void CMainNode::CutAllPowered()
{
    m_powered.CutAll();
    m_powered.Reset();
}

void CMainNode::UpdateWorth()
{
    m_powered.UpdateWorthAll();
    // Worth rises as the heart is hurt: 1000 whole, 3000 destroyed.
    m_worth = static_cast<float>(3000 - static_cast<int>(GetHealthFraction() * 2000.0f));
}
