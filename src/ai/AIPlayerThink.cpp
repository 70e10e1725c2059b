#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"
#include "world/Team.h"

namespace
{
// A firing beam emitter's energy flow (per second) in the thousands that flows are counted in.
const float URGENCY_THRESHOLD = 500.0f;
const int FLOW_THRESHOLD = 1000;
// Expert builds a beam or a shield only while the income still pays for one more firing beam:
// idle shields and beams left firing drain a side until it can build nothing.
const int EXPERT_UPKEEP_FLOW = 500;
// A beam that strikes an enemy main node outranks anything else on a Very Easy board.
const float MAIN_NODE_URGENCY = 100000000.0f;

CGameWorld& World()
{
    return TheWorld();
}

// Radius a blast of this many crossing beams reaches, as an absorber would see it.
float BlastFor(int pHits)
{
    return CAbsorberNode::BlastRadiusFor(pHits);
}

// Every node a side has built this match: a paced level's builds are its actions.
int BuiltTotal(const CTeam& pTeam)
{
    int total = 0;
    for (int tool = 0; tool < CTeam::m_nCooldowns; ++tool)
        total += pTeam.GetBuilt(tool);
    return total;
}
} // namespace

template <class Build>
bool CAIPlayer::BuildAtSpot(const CSpot& pSpot, bool pAllowMain, float pClearance, Build pBuild)
{
    CEntity* parent = World().FindPowerSource(GetTeamId(), pSpot.pos, pAllowMain);
    if (!parent)
    {
        // Out of reach: grow the network toward the spot and leave the build for later.
        ExtendToward(pSpot.pos, pClearance);
        return true;
    }
    return pBuild(parent) != nullptr;
}

void CAIPlayer::BuildBeamWatch()
{
    ClearCandidates();
    m_beamWatch.clear();
    const int team = GetTeamId();
    for (CBeamNode* beam : m_beams)
    {
        if (!beam->IsConnected() || !HasSeen(beam))
            continue;
        CEntity* target = beam->GetTarget();
        if (!target)
            continue;
        float urgency = target->GetWorth();
        if (target->GetTeam() != team)
            urgency = -urgency;
        if (target->AbsorbsBeams())
            urgency = -urgency;
        if (m_difficulty == 0 && target->IsMainNode() && target->GetTeam() != team)
            urgency = MAIN_NODE_URGENCY;
        if (urgency < 0.0f)
            continue;
        PosCandidate* cand = CandidatePool::GetInstance().Take();
        cand->node = beam;
        cand->pos = RoundToPixel(target->GetPosition());
        cand->score = -urgency;
        cand->hits = 0;
        AddCandidate(cand);
    }
    while (PosCandidate* best = PopBest())
        m_beamWatch.emplace_back(static_cast<CBeamNode*>(best->node), -best->score);
}

void CAIPlayer::BuildIdleBeamWatch()
{
    ClearCandidates();
    m_beamWatch.clear();
    for (CBeamNode* beam : m_beams)
    {
        if (!beam->IsConnected() || beam->GetTarget())
            continue;
        PosCandidate* cand = CandidatePool::GetInstance().Take();
        cand->node = beam;
        cand->pos = CVector2(0.0f, 0.0f);
        cand->score = 0.0f;
        cand->hits = 0;
        AddCandidate(cand);
    }
    while (PosCandidate* best = PopBest())
        m_beamWatch.emplace_back(static_cast<CBeamNode*>(best->node), -best->score);
}

bool CAIPlayer::CanAffordUpkeep() const
{
    return !IsExpert() || m_flowSum > EXPERT_UPKEEP_FLOW;
}

std::pair<CAbsorberNode*, int> CAIPlayer::FindSiegeAbsorber(CEntity* pTarget)
{
    const int team = GetTeamId();
    CAbsorberNode* result = nullptr;
    int count = 0;
    for (CAbsorberNode* absorber : m_absorbers)
    {
        if (absorber->GetTeam() != team)
            continue;
        int kind = DAMAGE_NONE;
        // Already reaching the target: another beam into it changes nothing there.
        if (absorber->GetDamageAt(pTarget->GetPosition(), pTarget->GetRadius(), &kind, 0) != 0)
            continue;
        if (absorber->GetDamageAt(pTarget->GetPosition(), pTarget->GetRadius(), &kind, 1) <= 0)
            continue;
        ++count;
        float range = 1.1f * absorber->GetBlastRadius(1) + CAbsorberNode::RADIUS;
        if (WorthSum(absorber->GetPosition(), range, team, absorber) <= 0.0f)
            result = absorber;
    }
    return {result, count};
}

void CAIPlayer::Think()
{
    ReportAICall("Think", this, nullptr);
    const unsigned pace = m_info->actionsPerMinute;
    // A paced level decides nothing until its next build is due.
    if (pace != 0 && NowMs() < m_nextActionMs)
        return;
    if (!m_mainNode || m_team->GetEnergy() < CForkNode::GetCost())
        return;
    const int builtBefore = BuiltTotal(*m_team);
    if (m_difficulty == PLAN_PLAIN)
        ThinkPlain();
    else
        Decide();
    if (pace != 0 && BuiltTotal(*m_team) != builtBefore)
        m_nextActionMs = NowMs() + 60000u / pace;
}

void CAIPlayer::Decide()
{
    m_candidatePoints.clear();
    ScanBoard();
    BuildBeamWatch();
    if (Defend() || Expand())
        return;
    // Easy leaves idle beams alone.
    if (m_difficulty != 1 && GuardIdleBeams())
        return;
    Attack();
}

bool CAIPlayer::Defend()
{
    if (m_beamWatch.empty())
        return false;
    CGameWorld& world = World();
    const int team = GetTeamId();
    const int energy = m_team->GetEnergy();
    if (energy < CShieldNode::GetCost() && energy < CAbsorberNode::GetCost())
        return true;
    for (const std::pair<CBeamNode*, float>& entry : m_beamWatch)
    {
        CBeamNode* beam = entry.first;
        CEntity* target = beam->GetTarget();
        if (!target)
            continue;
        const bool own = target->GetTeam() == team;
        // Another side's node is worth guarding only once every site is taken, and not while a
        // grey extractor holds a site and the income is thin.
        if (m_difficulty != 0 && !own &&
            (!m_freeResources.empty() || (m_greyUserSeen && m_flowSum <= FLOW_THRESHOLD)))
            continue;
        if (m_difficulty > 1 && energy >= CAbsorberNode::GetCost())
        {
            CSpot spot = FindAbsorberSpotOnBeam(beam);
            if (spot.node &&
                BuildAtSpot(spot, false, CAbsorberNode::RADIUS + BlastFor(spot.hits),
                            [&](CEntity* pParent) { return world.BuildAbsorber(team, spot.pos, pParent); }))
                return true;
        }
        if (m_difficulty > 1 && target->GetHealthFraction() > 0.75f && energy < CAbsorberNode::GetCost())
            continue;
        if (m_difficulty <= 1 && !own && !target->IsMainNode())
            continue;
        if (m_difficulty == 0 && target != world.GetTeam(1).GetMainNode())
            continue;
        if (energy >= CShieldNode::GetCost() && entry.second > URGENCY_THRESHOLD && m_flowSum > 0 &&
            CanAffordUpkeep())
        {
            CSpot spot = FindShieldSpotOnBeam(beam);
            const CVector2 facing = beam->GetPosition();
            if (spot.node && BuildAtSpot(spot, false, CShieldNode::RADIUS,
                                         [&](CEntity* pParent)
                                         { return world.BuildShield(team, spot.pos, facing, pParent); }))
                return true;
        }
    }
    return false;
}

bool CAIPlayer::Expand()
{
    if (m_freeResources.empty() || (m_difficulty == 0 && m_extractorsBuilt > 4) ||
        (m_difficulty == 1 && m_extractorsBuilt > 5))
        return false;
    CSpot spot = FindExtractorSpot();
    if (!spot.node)
        return false;
    CGameWorld& world = World();
    const int team = GetTeamId();
    // One shield set aside for every beam that crosses the spot.
    const int cost = CExtractorNode::GetCost() + (spot.hits / 1000000) * CShieldNode::GetCost();
    // A beam-free site is worth waiting for; a contested one is not.
    const bool wait = spot.hits == 0;
    if (m_team->GetEnergy() < cost)
    {
        // Expert grows the network toward a site out of reach while it saves for the extractor.
        if (IsExpert() && !world.FindPowerSource(team, spot.pos, true))
        {
            ExtendToward(spot.pos, CExtractorNode::RADIUS);
            return true;
        }
        return wait;
    }
    if (BuildAtSpot(spot, true, CExtractorNode::RADIUS,
                    [&](CEntity* pParent) { return world.BuildExtractor(team, spot.pos, pParent); }))
        return true;
    return wait;
}

bool CAIPlayer::GuardIdleBeams()
{
    BuildIdleBeamWatch();
    if (m_beamWatch.empty())
        return false;
    if (m_team->GetEnergy() < CAbsorberNode::GetCost())
        return true;
    CGameWorld& world = World();
    const int team = GetTeamId();
    for (const std::pair<CBeamNode*, float>& entry : m_beamWatch)
    {
        if (m_team->GetEnergy() < CAbsorberNode::GetCost())
            continue;
        CSpot spot = FindAbsorberSpotOnBeam(entry.first);
        if (spot.node &&
            BuildAtSpot(spot, false, CAbsorberNode::RADIUS,
                        [&](CEntity* pParent) { return world.BuildAbsorber(team, spot.pos, pParent); }))
            return true;
    }
    return false;
}

void CAIPlayer::Attack()
{
    CGameWorld& world = World();
    const int team = GetTeamId();
    const int energy = m_team->GetEnergy();
    const int full = m_team->GetEnergyMax();
    const int beamCost = CBeamNode::GetCost();
    if (energy < beamCost && energy < full)
        return;
    // While a grey extractor holds a site, keep enough back to retake it after the shot.
    if (m_difficulty != 0 && m_greyUserSeen && energy < full && energy < beamCost + CExtractorNode::GetCost())
        return;
    if (m_scan.m_enemyList.empty() || m_flowSum < 1 || energy < beamCost)
        return;
    if (!CanAffordUpkeep() && energy < full)
        return;
    CEntity* target = m_scan.PickTarget(m_difficulty != 0);
    if (!target)
        return;
    if (Besieges() && Besiege(target))
        return;
    if (m_difficulty <= 1 && target->GetDamageTaken() != 0)
        return;
    CSpot spot = FindBeamSpot(target, 0.0f);
    if (!spot.node)
        return;
    const CVector2 aim = target->GetPosition();
    BuildAtSpot(spot, true, CBeamNode::RADIUS,
                [&](CEntity* pParent) { return world.BuildBeamEmitter(team, spot.pos, aim, pParent); });
}

bool CAIPlayer::Besiege(CEntity* pTarget)
{
    CGameWorld& world = World();
    const int team = GetTeamId();
    const bool hostile = pTarget->GetTeam() != team && !pTarget->IsMainNode();
    std::pair<CAbsorberNode*, int> siege = FindSiegeAbsorber(pTarget);
    CAbsorberNode* absorber = siege.first;
    if ((!absorber || siege.second < 2) && hostile && m_team->GetEnergy() >= CAbsorberNode::GetCost() &&
        m_flowSum >= FLOW_THRESHOLD)
    {
        CSpot spot = FindAbsorberSpotNear(pTarget);
        if (spot.node &&
            BuildAtSpot(spot, false, CAbsorberNode::RADIUS + BlastFor(spot.hits),
                        [&](CEntity* pParent) { return world.BuildAbsorber(team, spot.pos, pParent); }))
            return true;
    }
    if (!absorber)
        return false;
    // Feed the absorber one more beam from outside its own blast.
    CSpot spot =
        FindBeamSpot(absorber, absorber->GetBlastRadius(1) + absorber->GetRadius() + CBeamNode::RADIUS);
    const CVector2 aim = absorber->GetPosition();
    return spot.node && BuildAtSpot(spot, true, CBeamNode::RADIUS,
                                    [&](CEntity* pParent)
                                    { return world.BuildBeamEmitter(team, spot.pos, aim, pParent); });
}
