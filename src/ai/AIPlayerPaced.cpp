#include <algorithm>
#include <cmath>

#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"
#include "world/Team.h"

namespace
{
CGameWorld& World()
{
    return TheWorld();
}
} // namespace

void CAIPlayer::SetDifficulty(unsigned pLevel)
{
    m_level = pLevel;
    m_info = &LevelEntry(pLevel);
    // A number past the table keeps itself as its plan: it plays as Hard does.
    m_difficulty = pLevel < LEVEL_COUNT ? m_info->plan : pLevel;
}

unsigned CAIPlayer::NowMs() const
{
    const CGameWorld& world = World();
    return static_cast<unsigned>(world.m_matchSteps) * world.m_stepLength;
}

bool CAIPlayer::HasSeen(const CBeamNode* pBeam) const
{
    if (m_info->reactionMs == 0)
        return true;
    for (const std::pair<CBeamNode*, unsigned>& seen : m_beamSeen)
    {
        if (seen.first == pBeam)
            return NowMs() >= seen.second + m_info->reactionMs;
    }
    return false;
}

float CAIPlayer::AimDraw()
{
    // Seeded from the match's seed and the side on the first draw, so a replay strays alike.
    if (m_aimState == 0)
        m_aimState = (static_cast<unsigned long long>(World().m_currentSeed) << 8 | 0x80u | GetTeamId()) *
                     0x9E3779B97F4A7C15ull;
    // xorshift64*
    m_aimState ^= m_aimState >> 12;
    m_aimState ^= m_aimState << 25;
    m_aimState ^= m_aimState >> 27;
    const unsigned long long bits = (m_aimState * 0x2545F4914F6CDD1Dull) >> 40;
    return static_cast<float>(bits) / static_cast<float>(1 << 23) - 1.0f;
}

CVector2 CAIPlayer::StrayPlace(const CVector2& pPos)
{
    if (m_info->placePixels <= 0.0f)
        return pPos;
    const float dx = AimDraw() * m_info->placePixels;
    const float dy = AimDraw() * m_info->placePixels;
    return CVector2(pPos.x + dx, pPos.y + dy);
}

CVector2 CAIPlayer::StrayAim(const CVector2& pFrom, const CVector2& pAim)
{
    if (m_info->aimDegrees <= 0.0f)
        return pAim;
    const float turn = AimDraw() * m_info->aimDegrees * 3.14159265f / 180.0f;
    const CVector2 d = pAim - pFrom;
    const float c = std::cos(turn);
    const float s = std::sin(turn);
    return CVector2(pFrom.x + d.x * c - d.y * s, pFrom.y + d.x * s + d.y * c);
}

CEntity* CAIPlayer::FoeToBeam() const
{
    if (!m_mainNode)
        return nullptr;
    const CVector2 home = m_mainNode->GetPosition();
    CEntity* nearest = nullptr;
    float best = 0.0f;
    for (CEntity* node : m_scan.m_enemyList)
    {
        // A foe's main node in sight is what it goes for: the match is won there.
        const float d = node->IsMainNode() ? -1.0f : (node->GetPosition() - home).LengthSq();
        if (!nearest || d < best)
        {
            nearest = node;
            best = d;
        }
    }
    return nearest;
}

// A newcomer's plan: shield a node a foe's beam strikes, else take the next site, else set a
// beam on a foe's main node, or on the foe nearest home when none is in sight. It saves for what it wants
// rather than doing something else.
void CAIPlayer::ThinkPlain()
{
    CGameWorld& world = World();
    const int team = GetTeamId();
    const int energy = m_team->GetEnergy();
    m_candidatePoints.clear();
    ScanBoard();

    for (CBeamNode* beam : m_beams)
    {
        CEntity* target = beam->GetTarget();
        // A shield already taking the beam is what it is for.
        if (beam->GetTeam() == team || !beam->IsConnected() || !target || target->GetTeam() != team ||
            dynamic_cast<const CShieldNode*>(target) || !HasSeen(beam))
            continue;
        if (energy < CShieldNode::GetCost())
            return;
        CSpot spot = FindShieldSpotOnBeam(beam);
        if (!spot.node)
            continue;
        const CVector2 at = StrayPlace(spot.pos);
        const CVector2 facing = StrayAim(at, beam->GetPosition());
        CEntity* parent = world.FindPowerSource(team, at, false);
        if (parent ? world.BuildShield(team, at, facing, parent) != nullptr
                   : ExtendToward(at, CShieldNode::RADIUS))
            return;
    }

    // A site it cannot reach or build on does not hold it up: it goes on to attack.
    if (!m_freeResources.empty())
    {
        CSpot spot = FindExtractorSpot();
        if (spot.node)
        {
            if (energy < CExtractorNode::GetCost())
                return;
            CEntity* parent = world.FindPowerSource(team, spot.pos, true);
            if (parent ? world.BuildExtractor(team, spot.pos, parent) != nullptr
                       : ExtendToward(spot.pos, CExtractorNode::RADIUS))
                return;
        }
    }

    if (energy < CBeamNode::GetCost())
        return;
    CEntity* target = FoeToBeam();
    if (!target)
        return;
    CSpot spot = FindBeamSpot(target, 0.0f);
    if (!spot.node)
        return;
    // It aims at the target a few pixels off, as a hand would.
    const CVector2 at = StrayPlace(spot.pos);
    const CVector2 aim = StrayPlace(target->GetPosition());
    if (CEntity* parent = world.FindPowerSource(team, at, true))
        world.BuildBeamEmitter(team, at, aim, parent);
    else
        ExtendToward(at, CBeamNode::RADIUS);
}
