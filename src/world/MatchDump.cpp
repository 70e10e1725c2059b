#include "world/MatchDump.h"

#include <cstdio>

#include "nodes/BeamNode.h"
#include "nodes/EntityRegistry.h"
#include "nodes/RandomTable.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

const char* NodeKindName(int pKind)
{
    static const char* const NAMES[] = {"extender", "beam", "shield", "extractor",
                                        "absorber", "main", "site",   "other"};
    return pKind >= 0 && pKind <= KIND_OTHER ? NAMES[pKind] : "other";
}

std::string DumpMatchState(CGameWorld& pWorld)
{
    std::string out;
    char line[256];
    for (CEntity* node : pWorld.GetNodes())
    {
        float angle = 0.0f;
        int active = 0;
        if (const CBeamNode* beam = dynamic_cast<const CBeamNode*>(node))
        {
            angle = beam->GetAngle();
            active = beam->IsActive() ? 1 : 0;
        }
        else if (const CShieldNode* shield = dynamic_cast<const CShieldNode*>(node))
        {
            angle = shield->GetAngle();
            active = shield->IsActive() ? 1 : 0;
        }
        // Positions and angles to the last bit: a dump must show what the hash saw.
        std::snprintf(line, sizeof line,
                      "node %d %s team %d at %.9g %.9g health %d/%d link %d connected %d flow %d angle %.9g "
                      "active %d\n",
                      pWorld.MatchIdOf(node), NodeKindName(NodeKindOf(node)), node->GetTeam(),
                      static_cast<double>(node->GetPosition().x), static_cast<double>(node->GetPosition().y),
                      node->GetHealth(), node->GetHealthMax(), pWorld.MatchIdOf(node->GetParent()),
                      node->IsConnected() ? 1 : 0, node->GetEnergyFlow(), static_cast<double>(angle), active);
        out += line;
    }
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
    {
        std::snprintf(line, sizeof line, "team %d energy %d\n", id, pWorld.GetTeam(id).GetEnergy());
        out += line;
    }
    std::snprintf(line, sizeof line, "random cursor %d\n", RandomTable::GetInstance().GetCursor());
    out += line;
    return out;
}
