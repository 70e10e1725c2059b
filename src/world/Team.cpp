#include "world/Team.h"

#include <GL/gl.h>

#include "ai/AIPlayer.h"
#include "engine/Assert.h"
#include "nodes/EntityRegistry.h"
#include "nodes/ExtractorNode.h"
#include "nodes/MainNode.h"

const int CTeam::COOLDOWN_MS[CTeam::m_nCooldowns] = {2000, 8000, 1000, 3000, 6000};

CTeam::CTeam()
{
    // The world's cost factor is 1.0, so the extractor's base cost is its cost.
    Reset(0, CExtractorNode::BASE_COST);
}

CTeam::~CTeam()
{
    delete m_ai;
}

void CTeam::Init(int pTeamId)
{
    AW_ASSERT(pTeamId < MAX_TIDS);
    AW_ASSERT(pTeamId >= 0);
    // A side starts with enough for one extractor.
    Reset(pTeamId, CExtractorNode::GetCost());
}

void CTeam::Reset(int pTeamId, int pStartEnergy)
{
    m_id = pTeamId;
    delete m_ai;
    m_ai = nullptr;
    m_energy.Reset(ENERGY_MAX);
    m_energy.SetValue(pStartEnergy);
    m_mainNode = 0;
    for (int i = 0; i < m_nCooldowns; ++i)
    {
        m_cooldowns[i].Reset(COOLDOWN_MS[i]);
        m_cooldowns[i].SetValue(0);
        m_built[i] = 0;
    }
}

void CTeam::CountBuild(int pTool)
{
    AW_ASSERT(pTool >= 0 && pTool < m_nCooldowns);
    ++m_built[pTool];
}

int CTeam::GetBuilt(int pTool) const
{
    AW_ASSERT(pTool >= 0 && pTool < m_nCooldowns);
    return m_built[pTool];
}

void CTeam::SetMainNode(CMainNode* pNode)
{
    AW_ASSERT(pNode);
    m_mainNode = GetEntityId(pNode);
}

CMainNode* CTeam::GetMainNode() const
{
    // The id outlives the node; the registry answers null once it is gone.
    return dynamic_cast<CMainNode*>(GetEntity(m_mainNode));
}

void CTeam::SetAI(bool pOn)
{
    if (pOn)
    {
        if (!m_ai)
            m_ai = new CAIPlayer(this);
        return;
    }
    delete m_ai;
    m_ai = nullptr;
}

void CTeam::StartCooldown(int pIndex)
{
    AW_ASSERT(pIndex < m_nCooldowns);
    AW_ASSERT(pIndex >= 0);
    m_cooldowns[pIndex].Fill();
}

bool CTeam::IsCooldownReady(int pIndex) const
{
    AW_ASSERT(pIndex < m_nCooldowns);
    AW_ASSERT(pIndex >= 0);
    return m_cooldowns[pIndex].IsEmpty();
}

float CTeam::GetCooldownFraction(int pIndex) const
{
    AW_ASSERT(pIndex < m_nCooldowns);
    AW_ASSERT(pIndex >= 0);
    return m_cooldowns[pIndex].GetFraction();
}

int CTeam::GetCooldownLeftMs(int pIndex) const
{
    AW_ASSERT(pIndex < m_nCooldowns);
    AW_ASSERT(pIndex >= 0);
    return m_cooldowns[pIndex].GetValue();
}

void CTeam::TickCooldowns(int pDt)
{
    for (int i = 0; i < m_nCooldowns; ++i)
        m_cooldowns[i].Add(-pDt);
}

void CTeam::ApplyColour() const
{
    CColor c = GetColour();
    glColor4f(c.r, c.g, c.b, c.a);
}

CColor CTeam::ColourOf(int pTeamId)
{
    switch (pTeamId)
    {
    case 1:
        return CColor(0.0f, 0.5f, 0.2f, 1.0f);
    case 2:
        return CColor(0.0f, 0.4f, 0.7f, 1.0f);
    default:
        return CColor(0.5f, 0.5f, 0.5f, 1.0f);
    }
}
