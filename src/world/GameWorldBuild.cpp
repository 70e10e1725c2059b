// The placement test and the five build commands shared by the player and the opponent.
#include <cmath>
#include <cstdio>

#include "ai/AIPlayer.h"
#include "engine/Assert.h"
#include "media/SoundManager.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"

namespace
{
const float PI = 3.14159265f;
const float DEGREES_PER_RADIAN = 57.29578f;
const float AIM_EPSILON = 1.1920929e-7f;

// The facing of a node at pPoint aimed at pAim, in degrees between -90 and 270; false when
// the aim is the point itself and there is no direction.
bool AimAngle(const CVector2& pPoint, const CVector2& pAim, float* pDegrees)
{
    CVector2 d = pAim - pPoint;
    if (d.LengthSq() <= AIM_EPSILON * AIM_EPSILON)
        return false;
    float a = std::atan(d.y / d.x);
    if (d.x < 0.0f)
        a += PI;
    *pDegrees = a * DEGREES_PER_RADIAN;
    return true;
}
} // namespace

float CGameWorld::AimDegrees(const CVector2& pPoint, const CVector2& pAim)
{
    float degrees = 0.0f;
    return AimAngle(pPoint, pAim, &degrees) ? degrees : 0.0f;
}

CEntity* CGameWorld::PreviewBeam(const CVector2& pPoint, const CVector2& pAim, CVector2* pDirection,
                                 float* pLength) const
{
    *pDirection = CBeamNode::DirectionOf(AimDegrees(pPoint, pAim));
    return CBeamNode::Trace(*this, RoundToPixel(pPoint), *pDirection, pLength);
}

bool CGameWorld::AimBurnsEmitter(const CVector2& pPoint, const CVector2& pAim) const
{
    CVector2 direction;
    float length = 0.0f;
    return PreviewBeam(pPoint, pAim, &direction, &length) != nullptr &&
           length <= CBeamNode::SELF_DAMAGE_DISTANCE;
}

int CGameWorld::ToolCost(int pTool)
{
    switch (pTool)
    {
    case TOOL_EXTENDER:
        return CForkNode::GetCost();
    case TOOL_BEAM:
        return CBeamNode::GetCost();
    case TOOL_SHIELD:
        return CShieldNode::GetCost();
    case TOOL_EXTRACTOR:
        return CExtractorNode::GetCost();
    case TOOL_ABSORBER:
        return CAbsorberNode::GetCost();
    default:
        return 0;
    }
}

float CGameWorld::ToolRadius(int pTool)
{
    switch (pTool)
    {
    case TOOL_EXTENDER:
        return CForkNode::RADIUS;
    case TOOL_BEAM:
        return CBeamNode::RADIUS;
    case TOOL_SHIELD:
        return CShieldNode::RADIUS;
    case TOOL_EXTRACTOR:
        return CExtractorNode::RADIUS;
    case TOOL_ABSORBER:
        return CAbsorberNode::RADIUS;
    default:
        return 0.0f;
    }
}

bool CGameWorld::CanPlace(int pTeam, const CVector2& pPoint, float pRadius, int pCost, CEntity* pSource,
                          bool pNeedSource)
{
    if (!IsFree(pPoint, pRadius))
    {
        ShowPlayerMessage(pTeam,
                          FindOverlap(pPoint, pRadius) ? "Location occupied" : "Too close to the edge");
        return false;
    }
    // A missing or foreign source is the caller's business: no message. The player's own
    // source may have been dragged from too far, or filled up since it was chosen.
    if (pNeedSource)
    {
        if (!pSource)
            return false;
        float range = pSource->GetPowerRange();
        if ((pPoint - pSource->GetPosition()).LengthSq() > range * range)
        {
            ShowPlayerMessage(pSource->GetTeam(),
                              pSource->IsMainNode() ? "Too far from main node" : "Too far from extender");
            return false;
        }
        if (!pSource->CanPowerMore())
        {
            ShowPlayerMessage(pSource->GetTeam(), FullSourceMessage(pSource));
            return false;
        }
        if (pSource->GetTeam() != pTeam)
            return false;
    }
    if (GetTeam(pTeam).GetEnergy() < pCost)
    {
        ShowPlayerMessage(pTeam, "Insufficient energy");
        return false;
    }
    return true;
}

const char* CGameWorld::FullSourceMessage(const CEntity* pSource)
{
    static_assert(CForkNode::MAX_POWERED == 3, "the refusal names how many an extender powers");
    return pSource->IsMainNode() ? "Main node full" : "Extender full: it powers 3 nodes already";
}

bool CGameWorld::IsRefusedEverywhere(int pTeam, int pTool) const
{
    const bool quiet = pTeam != m_playerTeam || m_demo;
    const CTeam& team = GetTeam(pTeam);
    return quiet && (!team.IsCooldownReady(pTool) || team.GetEnergy() < ToolCost(pTool));
}

bool CGameWorld::CheckBuild(int pTeam, const CVector2& pPoint, CEntity*& pSource, int pTool)
{
    CTeam& team = GetTeam(pTeam);
    if (!team.IsCooldownReady(pTool))
    {
        char text[48];
        std::snprintf(text, sizeof text, "Not ready yet: %d s", team.GetCooldownLeftSeconds(pTool));
        ShowPlayerMessage(pTeam, text);
        return false;
    }
    if (!pSource)
        pSource = FindPowerSource(pTeam, pPoint, true);
    if (!CanPlace(pTeam, pPoint, ToolRadius(pTool), ToolCost(pTool), pSource, true))
        return false;
    if (pTool == TOOL_EXTRACTOR && !FindResourceAt(pPoint, ToolRadius(pTool)))
    {
        ShowPlayerMessage(pTeam, "Too far from resource");
        return false;
    }
    return true;
}

void CGameWorld::PrepareNode(CEntity* pNode, int pTeam, const CVector2& pPoint, CEntity* pSource)
{
    pNode->SetPosition(pPoint);
    pNode->SetTeam(pTeam);
    pNode->SetParent(pSource);
}

void CGameWorld::FinishBuild(CEntity* pNode, int pTeam, CEntity* pSource, int pTool)
{
    CTeam& team = GetTeam(pTeam);
    AddEntity(pNode);
    team.AddEnergy(-ToolCost(pTool));
    team.CountBuild(pTool);
    m_matchStats.CountBuild(pTeam, pTool, ToolCost(pTool));
    pSource->AddPowered(pNode);
    if (pTool == TOOL_EXTRACTOR)
        static_cast<CExtractorNode*>(pNode)->AttachToResource();

    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
    {
        CAIPlayer* ai = GetTeam(id).GetAI();
        if (!ai)
            continue;
        switch (pTool)
        {
        case TOOL_EXTENDER:
            ai->OnExtenderBuilt(pNode);
            break;
        case TOOL_BEAM:
            ai->OnBeamBuilt(pNode);
            break;
        case TOOL_SHIELD:
            ai->OnShieldBuilt(pNode);
            break;
        case TOOL_EXTRACTOR:
            ai->OnExtractorBuilt(pNode);
            break;
        case TOOL_ABSORBER:
            ai->OnAbsorberBuilt(pNode);
            break;
        default:
            break;
        }
    }

    team.StartCooldown(pTool);
    PlaySound("BuildSuccess");
}

CEntity* CGameWorld::BuildExtender(int pTeam, const CVector2& pPoint, CEntity* pSource)
{
    if (!CheckBuild(pTeam, pPoint, pSource, TOOL_EXTENDER))
        return nullptr;
    CForkNode* node = new CForkNode;
    PrepareNode(node, pTeam, pPoint, pSource);
    FinishBuild(node, pTeam, pSource, TOOL_EXTENDER);
    return node;
}

CEntity* CGameWorld::BuildAbsorber(int pTeam, const CVector2& pPoint, CEntity* pSource)
{
    if (!CheckBuild(pTeam, pPoint, pSource, TOOL_ABSORBER))
        return nullptr;
    CAbsorberNode* node = new CAbsorberNode;
    PrepareNode(node, pTeam, pPoint, pSource);
    FinishBuild(node, pTeam, pSource, TOOL_ABSORBER);
    return node;
}

CEntity* CGameWorld::BuildExtractor(int pTeam, const CVector2& pPoint, CEntity* pSource)
{
    if (!CheckBuild(pTeam, pPoint, pSource, TOOL_EXTRACTOR))
        return nullptr;
    CExtractorNode* node = new CExtractorNode;
    PrepareNode(node, pTeam, pPoint, pSource);
    FinishBuild(node, pTeam, pSource, TOOL_EXTRACTOR);
    return node;
}

CEntity* CGameWorld::BuildBeamEmitter(int pTeam, const CVector2& pPoint, const CVector2& pAim,
                                      CEntity* pSource)
{
    if (!CheckBuild(pTeam, pPoint, pSource, TOOL_BEAM))
        return nullptr;
    CBeamNode* node = new CBeamNode;
    PrepareNode(node, pTeam, pPoint, pSource);
    float degrees = 0.0f;
    if (AimAngle(pPoint, pAim, &degrees))
        node->SetAngle(degrees);
    FinishBuild(node, pTeam, pSource, TOOL_BEAM);
    return node;
}

CEntity* CGameWorld::BuildShield(int pTeam, const CVector2& pPoint, const CVector2& pAim, CEntity* pSource)
{
    if (!CheckBuild(pTeam, pPoint, pSource, TOOL_SHIELD))
        return nullptr;
    CShieldNode* node = new CShieldNode;
    PrepareNode(node, pTeam, pPoint, pSource);
    float degrees = 0.0f;
    if (AimAngle(pPoint, pAim, &degrees))
        node->SetAngle(degrees);
    FinishBuild(node, pTeam, pSource, TOOL_SHIELD);
    return node;
}
