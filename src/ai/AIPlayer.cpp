#include "ai/AIPlayer.h"

#include <algorithm>

#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ResourceNode.h"
#include "world/GameWorld.h"
#include "world/Team.h"

namespace
{
AIObserver& Observer()
{
    static AIObserver* observer = new AIObserver;
    return *observer;
}

// Removes the first occurrence by moving the last element into its place; order is not kept.
template <class T> bool EraseFirst(std::vector<T*>& pList, const CEntity* pNode)
{
    auto it = std::find(pList.begin(), pList.end(), pNode);
    if (it == pList.end())
        return false;
    *it = pList.back();
    pList.pop_back();
    return true;
}

bool Contains(const std::vector<CEntity*>& pList, const CEntity* pNode)
{
    return std::find(pList.begin(), pList.end(), pNode) != pList.end();
}

} // namespace

void ReportAICall(const char* pCall, const CAIPlayer* pPlayer, CEntity* pNode)
{
    if (Observer())
        Observer()(pCall, pPlayer, pNode);
}

void SetAIObserver(AIObserver pObserver)
{
    Observer() = std::move(pObserver);
}

CAIPlayer::CAIPlayer(CTeam* pTeam) : m_team(pTeam)
{
    AW_ASSERT(pTeam);
    InitPowerMap();
}

CAIPlayer::~CAIPlayer()
{
    delete[] m_powerMap;
    ClearCandidates();
}

int CAIPlayer::GetTeamId() const
{
    return m_team->GetId();
}

bool CAIPlayer::IsOwn(const CEntity* pNode) const
{
    return pNode->GetTeam() == GetTeamId();
}

// --- notifications ---

void CAIPlayer::OnMainNodeAdded(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnMainNodeAdded", this, pNode);
    if (IsOwn(pNode))
        m_mainNode = pNode;
    OnNodeAdded(pNode);
}

void CAIPlayer::OnResourceAdded(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnResourceAdded", this, pNode);
    if (pNode->IsAvailable())
        m_freeResources.push_back(pNode);
    else
        m_usedResources.push_back(pNode);
    m_recheckGreyUser = true;
    OnNodeAdded(pNode);
}

void CAIPlayer::OnExtenderBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnExtenderBuilt", this, pNode);
    OnNodeAdded(pNode);
}

void CAIPlayer::OnBeamBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnBeamBuilt", this, pNode);
    if (CBeamNode* beam = dynamic_cast<CBeamNode*>(pNode))
    {
        m_beams.push_back(beam);
        if (m_info->reactionMs != 0)
            m_beamSeen.emplace_back(beam, NowMs());
    }
    OnNodeAdded(pNode);
}

void CAIPlayer::OnShieldBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnShieldBuilt", this, pNode);
    OnNodeAdded(pNode);
}

void CAIPlayer::OnExtractorBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnExtractorBuilt", this, pNode);
    const CExtractorNode* extractor = dynamic_cast<const CExtractorNode*>(pNode);
    CEntity* site = extractor ? extractor->GetResource() : nullptr;
    if (site && !site->IsAvailable() && EraseFirst(m_freeResources, site))
        m_usedResources.push_back(site);
    if (IsOwn(pNode))
        ++m_extractorsBuilt;
    OnNodeAdded(pNode);
}

void CAIPlayer::OnAbsorberBuilt(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnAbsorberBuilt", this, pNode);
    if (CAbsorberNode* absorber = dynamic_cast<CAbsorberNode*>(pNode))
        m_absorbers.push_back(absorber);
    OnNodeAdded(pNode);
}

void CAIPlayer::OnNodeAdded(CEntity* pNode)
{
    if (!IsOwn(pNode))
        return;
    if (pNode->CanPowerMore())
    {
        m_openProviders.push_back(pNode);
        StampProvider(pNode);
    }
    // The new child may have taken its parent's last slot.
    CEntity* parent = pNode->GetParent();
    if (parent && !parent->CanPowerMore())
    {
        // Listed once only: a parent refilled before the next upkeep is still in the list.
        if (!Contains(m_fullProviders, parent))
            m_fullProviders.push_back(parent);
        RemoveOpenProvider(parent);
    }
}

void CAIPlayer::OnEntityRemoved(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ReportAICall("OnEntityRemoved", this, pNode);
    if (m_mainNode == pNode)
        m_mainNode = nullptr;
    if (IsOwn(pNode))
    {
        if (pNode->IsPowerSource())
            m_purgeProviders = true;
        // A removed child frees a slot of its parent.
        m_recheckFull = true;
    }
    // Whatever its team now: a provider cut off earlier in this step is grey but still listed,
    // and the lists must never keep a deleted node.
    EraseFirst(m_fullProviders, pNode);
    RemoveOpenProvider(pNode);
    EraseFirst(m_beams, pNode);
    for (size_t i = 0; i < m_beamSeen.size(); ++i)
    {
        if (m_beamSeen[i].first == pNode)
        {
            m_beamSeen[i] = m_beamSeen.back();
            m_beamSeen.pop_back();
            break;
        }
    }
    EraseFirst(m_absorbers, pNode);
    // Sites never leave a match in play, but a board cleared under the opponent must not
    // leave it holding one.
    EraseFirst(m_freeResources, pNode);
    EraseFirst(m_usedResources, pNode);
    // An extractor's removal frees its site.
    m_resourcesChanged = true;
    m_recheckGreyUser = true;
}

// --- per step ---

void CAIPlayer::Upkeep()
{
    ReportAICall("Upkeep", this, nullptr);

    if (m_recheckFull)
    {
        size_t i = 0;
        while (i < m_fullProviders.size())
        {
            CEntity* node = m_fullProviders[i];
            if (IsOwn(node) && node->CanPowerMore())
            {
                m_fullProviders[i] = m_fullProviders.back();
                m_fullProviders.pop_back();
                m_openProviders.push_back(node);
                StampProvider(node);
            }
            else
            {
                ++i;
            }
        }
        m_recheckFull = false;
    }

    if (m_purgeProviders)
    {
        size_t i = 0;
        while (i < m_openProviders.size())
        {
            CEntity* pNode = m_openProviders[i];
            AW_ASSERT(pNode);
            if (!IsOwn(pNode) || !pNode->CanPowerMore())
            {
                m_openProviders[i] = m_openProviders.back();
                m_openProviders.pop_back();
                ClearProvider(pNode);
            }
            else
            {
                ++i;
            }
        }
        i = 0;
        while (i < m_fullProviders.size())
        {
            if (!IsOwn(m_fullProviders[i]))
            {
                m_fullProviders[i] = m_fullProviders.back();
                m_fullProviders.pop_back();
            }
            else
            {
                ++i;
            }
        }
        m_purgeProviders = false;
    }

    RebuildPowerMap();

    m_flowSum = TheWorld().GetTeamFlow(GetTeamId());

    if (m_resourcesChanged)
    {
        size_t i = 0;
        while (i < m_usedResources.size())
        {
            CEntity* site = m_usedResources[i];
            if (site->IsAvailable())
            {
                m_usedResources[i] = m_usedResources.back();
                m_usedResources.pop_back();
                m_freeResources.push_back(site);
            }
            else
            {
                ++i;
            }
        }
        m_resourcesChanged = false;
    }

    if (m_recheckGreyUser)
    {
        m_greyUserSeen = false;
        for (CEntity* site : m_usedResources)
        {
            const CResourceNode* resource = dynamic_cast<const CResourceNode*>(site);
            CEntity* user = resource ? resource->GetUser() : nullptr;
            if (user && user->GetTeam() == 0)
            {
                m_greyUserSeen = true;
                break;
            }
        }
        m_recheckGreyUser = false;
    }
}
