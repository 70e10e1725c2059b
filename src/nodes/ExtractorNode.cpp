#include "nodes/ExtractorNode.h"

#include <GL/gl.h>

#include "engine/GameEngine.h"
#include "media/Sprite.h"
#include "nodes/EntityRegistry.h"
#include "nodes/NodeMedia.h"
#include "world/GameWorld.h"

int CExtractorNode::GetCost()
{
    return static_cast<int>(BASE_COST * TheWorld().GetCostFactor());
}

CExtractorNode::CExtractorNode()
{
    m_radius = RADIUS;
}

void CExtractorNode::Draw()
{
    CColor(1.0f, 1.0f, 1.0f, 1.0f).Apply();
    if (CSprite* sprite = FindTeamSprite("Extr", m_team))
        sprite->DrawAt(m_position.x, m_position.y);
}

void CExtractorNode::Update(int pDt)
{
    if (HasResource() && IsConnected())
    {
        m_energyFlow = INCOME_FLOW;
        TheWorld().GetTeam(m_team).AddEnergy(pDt * (INCOME_FLOW / 1000));
        TheWorld().m_matchStats.AddEarned(m_team, CMatchStats::EARN_EXTRACTORS, pDt * (INCOME_FLOW / 1000));
    }
    ApplyDecay(pDt);
}

void CExtractorNode::UpdateWorth()
{
    m_worth = HasResource() && IsConnected() ? 1000.0f : 0.0f;
}

void CExtractorNode::OnDeath()
{
    AddGhost(TeamSpriteId("Extr", m_team).c_str(), 0.0f);
    // The site is free for the next extractor.
    ReleaseResource();
    CEntity::OnDeath();
}

void CExtractorNode::AttachToResource()
{
    CEntity* site = TheWorld().FindResourceAt(m_position, m_radius);
    if (!site)
        return;
    m_resource = GetEntityId(site);
    site->Occupy(this, m_radius);
}

CEntity* CExtractorNode::GetResource() const
{
    return GetEntity(m_resource);
}

void CExtractorNode::ReleaseResource()
{
    if (CEntity* site = GetResource())
        site->Release(this);
}
