#include "world/MatchHash.h"

#include <cstring>

#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/RandomTable.h"
#include "nodes/ResourceNode.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"

namespace
{
// FNV-1a over the bytes of each value; floats by their bits, so any change shows.
class CStateHasher
{
  public:
    void Add(int32_t pValue) { AddBytes(&pValue, sizeof pValue); }
    void Add(float pValue)
    {
        uint32_t bits;
        std::memcpy(&bits, &pValue, sizeof bits);
        AddBytes(&bits, sizeof bits);
    }
    uint64_t Get() const { return m_hash; }

  private:
    void AddBytes(const void* pData, size_t pSize)
    {
        const unsigned char* bytes = static_cast<const unsigned char*>(pData);
        for (size_t i = 0; i < pSize; ++i)
        {
            m_hash ^= bytes[i];
            m_hash *= 1099511628211ull;
        }
    }

    uint64_t m_hash = 14695981039346656037ull;
};
} // namespace

NodeKind NodeKindOf(const CEntity* pNode)
{
    if (dynamic_cast<const CMainNode*>(pNode))
        return KIND_MAIN;
    if (dynamic_cast<const CForkNode*>(pNode))
        return KIND_EXTENDER;
    if (dynamic_cast<const CBeamNode*>(pNode))
        return KIND_BEAM;
    if (dynamic_cast<const CShieldNode*>(pNode))
        return KIND_SHIELD;
    if (dynamic_cast<const CExtractorNode*>(pNode))
        return KIND_EXTRACTOR;
    if (dynamic_cast<const CAbsorberNode*>(pNode))
        return KIND_ABSORBER;
    if (dynamic_cast<const CResourceNode*>(pNode))
        return KIND_SITE;
    return KIND_OTHER;
}

uint64_t HashMatchState(const CGameWorld& pWorld)
{
    CStateHasher hash;
    for (const CEntity* node : pWorld.GetNodes())
    {
        hash.Add(static_cast<int32_t>(NodeKindOf(node)));
        hash.Add(node->GetTeam());
        hash.Add(node->GetPosition().x);
        hash.Add(node->GetPosition().y);
        hash.Add(node->GetHealth());
        hash.Add(node->IsConnected() ? 1 : 0);
        hash.Add(node->GetEnergyFlow());
        if (const CBeamNode* beam = dynamic_cast<const CBeamNode*>(node))
        {
            hash.Add(beam->GetAngle());
            hash.Add(beam->IsActive() ? 1 : 0);
        }
        else if (const CShieldNode* shield = dynamic_cast<const CShieldNode*>(node))
        {
            hash.Add(shield->GetAngle());
            hash.Add(shield->IsActive() ? 1 : 0);
        }
    }
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        hash.Add(pWorld.GetTeam(id).GetEnergy());
    hash.Add(RandomTable::GetInstance().GetCursor());
    return hash.Get();
}
