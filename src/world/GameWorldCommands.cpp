// The one door into a match: commands, held until their step and applied between steps.
#include <algorithm>
#include <cstring>

#include "ai/AIPlayer.h"
#include "media/SoundManager.h"
#include "nodes/EntityRegistry.h"
#include "nodes/MainNode.h"
#include "world/GameWorld.h"
#include "world/MatchObserver.h"

namespace
{
const int DEBUG_ENERGY_BOOST = 30000000;

const char* const KIND_NAMES[CMD_KIND_COUNT] = {"build",    "restart", "side", "energy",
                                                "computer", "destroy", "demo"};

bool IsTeam(int pTeam)
{
    return pTeam >= 0 && pTeam < CTeam::MAX_TIDS;
}
} // namespace

const char* CommandKindName(int pKind)
{
    return pKind >= 0 && pKind < CMD_KIND_COUNT ? KIND_NAMES[pKind] : nullptr;
}

int CommandKindByName(const char* pName)
{
    for (int kind = 0; pName && kind < CMD_KIND_COUNT; ++kind)
    {
        if (std::strcmp(pName, KIND_NAMES[kind]) == 0)
            return kind;
    }
    return -1;
}

int CGameWorld::MatchIdOf(CEntity* pNode) const
{
    return pNode ? GetEntityId(pNode) - m_matchIdBase : 0;
}

CEntity* CGameWorld::NodeOfMatchId(int pId) const
{
    // Only ids handed out in this match; anything else, made up or from an earlier match, is no node.
    if (pId <= 0 || pId > LastMatchId())
        return nullptr;
    return GetEntity(pId + m_matchIdBase);
}

int CGameWorld::LastMatchId() const
{
    return PeekNextEntityId() - 1 - m_matchIdBase;
}

void CGameWorld::AddObserver(CMatchObserver* pObserver)
{
    if (std::find(m_observers.begin(), m_observers.end(), pObserver) == m_observers.end())
        m_observers.push_back(pObserver);
}

void CGameWorld::RemoveObserver(CMatchObserver* pObserver)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), pObserver), m_observers.end());
}

void CGameWorld::IssuePlayerCommand(CMatchCommand pCommand)
{
    pCommand.step = m_matchSteps;
    if (m_playerCommandRoute)
        m_playerCommandRoute(pCommand);
    else
        SubmitCommand(pCommand);
}

bool CGameWorld::SubmitCommand(const CMatchCommand& pCommand)
{
    if (pCommand.step < m_matchSteps)
        return false;
    // Held in the order they run: by step, then green before blue, then as they came.
    auto later = [](const CMatchCommand& pA, const CMatchCommand& pB)
    { return pA.step != pB.step ? pA.step < pB.step : pA.team < pB.team; };
    m_pendingCommands.insert(
        std::upper_bound(m_pendingCommands.begin(), m_pendingCommands.end(), pCommand, later), pCommand);
    // The world is always between steps when a command arrives, so one that is due runs now;
    // unless a driver hands commands in, which all run at the start of their step in this
    // order: applied at once, one side's that came in just in time would follow the other's.
    if (!m_driver)
        ApplyDueCommands();
    return true;
}

void CGameWorld::ApplyDueCommands()
{
    if (!m_matchAnnounced)
    {
        m_matchAnnounced = true;
        for (CMatchObserver* observer : std::vector<CMatchObserver*>(m_observers))
            observer->OnMatchStarted(*this);
    }
    while (!m_pendingCommands.empty() && m_pendingCommands.front().step <= m_matchSteps)
    {
        const CMatchCommand command = m_pendingCommands.front();
        m_pendingCommands.erase(m_pendingCommands.begin());
        for (CMatchObserver* observer : std::vector<CMatchObserver*>(m_observers))
            observer->OnCommand(*this, command);
        ApplyCommand(command);
    }
}

void CGameWorld::ApplyCommand(const CMatchCommand& pCommand)
{
    // Whoever sent it, a command about a side that does not exist changes nothing.
    if (!IsTeam(pCommand.team))
        return;
    switch (pCommand.kind)
    {
    case CMD_BUILD:
        ApplyBuild(pCommand);
        break;
    case CMD_RESTART:
        ClearMatch();
        NewMatch();
        break;
    case CMD_SWITCH_SIDE:
        m_playerTeam = pCommand.team;
        break;
    case CMD_FILL_ENERGY:
        GetTeam(pCommand.team).AddEnergy(DEBUG_ENERGY_BOOST);
        break;
    case CMD_TOGGLE_AI:
    {
        CTeam& team = GetTeam(pCommand.team);
        team.SetAI(team.GetAI() == nullptr);
        // A new opponent learns where its main node stands; a side without one (grey, or
        // already beaten) has nothing to tell it.
        CMainNode* mainNode = team.GetMainNode();
        if (team.GetAI() && mainNode)
            team.GetAI()->OnMainNodeAdded(mainNode);
        break;
    }
    case CMD_DESTROY:
        if (CEntity* node = NodeOfMatchId(pCommand.node))
            node->TakeDamage(node->GetHealth(), CVector2(0.0f, 0.0f), DAMAGE_NONE, nullptr);
        break;
    case CMD_TOGGLE_DEMO:
        m_demo = !m_demo;
        m_greenWins = 0;
        m_blueWins = 0;
        break;
    default:
        break;
    }
}

void CGameWorld::ApplyBuild(const CMatchCommand& pCommand)
{
    // A source that has gone since the click builds nothing, quietly.
    CEntity* source = NodeOfMatchId(pCommand.node);
    if (!source)
        return;
    CEntity* built = nullptr;
    switch (pCommand.tool)
    {
    case TOOL_EXTENDER:
        built = BuildExtender(pCommand.team, pCommand.point, source);
        break;
    case TOOL_BEAM:
        built = BuildBeamEmitter(pCommand.team, pCommand.point, pCommand.aim, source);
        break;
    case TOOL_SHIELD:
        built = BuildShield(pCommand.team, pCommand.point, pCommand.aim, source);
        break;
    case TOOL_EXTRACTOR:
        built = BuildExtractor(pCommand.team, pCommand.point, source);
        break;
    case TOOL_ABSORBER:
        built = BuildAbsorber(pCommand.team, pCommand.point, source);
        break;
    default:
        return;
    }
    if (!built && pCommand.team == m_playerTeam)
        PlaySound("BuildFail");
}
