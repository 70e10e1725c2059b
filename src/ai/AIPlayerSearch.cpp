#include <algorithm>
#include <cmath>

#include "ai/AIPlayer.h"
#include "ai/FollowUpCones.h"
#include "ai/HazardFilter.h"
#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/RandomTable.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"
#include "world/Team.h"

// Every search fills the candidate heap with scored places, then pops them lowest score first
// until one passes its tests. Scores come mostly from the power map, so places the team can
// power soon are tried first; the costly tests run only on the few candidates popped.

namespace
{
const float FULL_TURN = 6.2831855f;
// Blasts are judged with a tenth to spare.
const float BLAST_MARGIN = 1.1f;
// How much farther from the network (in beam-spot score, 100 a hop) Expert places a beam so
// that it goes on into another foe's node once its target falls, instead of firing at
// nothing at a beam's full upkeep.
const float FOLLOW_UP_SLACK = 600.0f;
// Expert counts every pixel of a beam's line past the first 150 as a quarter point of score
// (a hop per 400 pixels): a long line leaves the foe room to set an absorber in front of its
// node, which then feeds on the beam.
const float EXPERT_FREE_LINE = 150.0f;
const float EXPERT_LINE_COST = 0.25f;

CGameWorld& World()
{
    return TheWorld();
}

// A pooled candidate scored at the exact point and kept at the whole pixel.
void Push(CAIPlayer& pPlayer, CEntity* pNode, const CVector2& pPoint, float pScore)
{
    PosCandidate* candidate = CandidatePool::GetInstance().Take();
    candidate->node = pNode;
    candidate->pos = RoundToPixel(pPoint);
    candidate->score = pScore;
    candidate->hits = 0;
    pPlayer.AddCandidate(candidate);
}

CVector2 OnCircle(const CVector2& pCentre, float pRadius, float pAngle)
{
    return pCentre + CVector2(std::cos(pAngle), std::sin(pAngle)) * pRadius;
}

// Reach of an absorber's blast, fed by pHits, plus the absorber itself.
float BlastReach(int pHits)
{
    return BLAST_MARGIN * CAbsorberNode::BlastRadiusFor(pHits) + CAbsorberNode::RADIUS;
}

// Only beams cross the place; nothing that blasts reaches it.
bool BeamsOnly(int pTotal, int pBeamOnly)
{
    return pTotal >= 1 && pTotal == pBeamOnly;
}

} // namespace

void CAIPlayer::ClearCandidates()
{
    CandidatePool& pool = CandidatePool::GetInstance();
    for (PosCandidate* candidate : m_candidates)
        pool.GiveBack(candidate);
    m_candidates.clear();
    m_candidateHeap.clear();
    m_heapFilled = 0;
}

void CAIPlayer::AddCandidate(PosCandidate* pPosCand)
{
    AW_ASSERT(pPosCand);
    m_candidates.push_back(pPosCand);
    m_candidatePoints.push_back(pPosCand->pos);
}

void CAIPlayer::SiftIn(PosCandidate* pPosCand)
{
    const HeapEntry entry{pPosCand->score, pPosCand};
    std::size_t hole = m_candidateHeap.size();
    m_candidateHeap.push_back(entry);
    while (hole > 0)
    {
        std::size_t parent = (hole - 1) / 2;
        if (!(m_candidateHeap[parent].score > entry.score))
            break;
        m_candidateHeap[hole] = m_candidateHeap[parent];
        hole = parent;
    }
    m_candidateHeap[hole] = entry;
}

PosCandidate* CAIPlayer::PopBest()
{
    for (; m_heapFilled < m_candidates.size(); ++m_heapFilled)
        SiftIn(m_candidates[m_heapFilled]);
    if (m_candidateHeap.empty())
        return nullptr;
    PosCandidate* best = m_candidateHeap.front().record;
    const HeapEntry last = m_candidateHeap.back();
    m_candidateHeap.pop_back();
    const std::size_t count = m_candidateHeap.size();
    if (count == 0)
        return best;

    // Walk the hole at the root down to the bottom, then settle the last record from there.
    // Equal scores pull up the right child; the pop order among ties depends on it.
    std::size_t hole = 0;
    for (;;)
    {
        std::size_t left = 2 * hole + 1;
        std::size_t right = left + 1;
        std::size_t child;
        if (right < count)
            child = m_candidateHeap[right].score > m_candidateHeap[left].score ? left : right;
        else if (left < count)
            child = left;
        else
            break;
        m_candidateHeap[hole] = m_candidateHeap[child];
        hole = child;
    }
    while (hole > 0)
    {
        std::size_t parent = (hole - 1) / 2;
        if (!(m_candidateHeap[parent].score > last.score))
            break;
        m_candidateHeap[hole] = m_candidateHeap[parent];
        hole = parent;
    }
    m_candidateHeap[hole] = last;
    return best;
}

template <class Test> PosCandidate* CAIPlayer::PopFirstPassing(const Test& pTest)
{
    // A fresh search: every record added, none sifted or popped yet.
    AW_ASSERT(m_heapFilled == 0 && m_candidateHeap.empty());
    // Pops come out in score order, so the first to pass is one at the lowest score among
    // those that pass, and the tests do not depend on order: test them as they lie, and pop
    // only when several pass at that score, to settle which comes first. A failed search, the
    // slow case, then sifts nothing.
    PosCandidate* first = nullptr;
    bool tied = false;
    for (PosCandidate* candidate : m_candidates)
    {
        // A score that is not a number leaves the pop order to the heap alone.
        if (candidate->score != candidate->score)
        {
            while (PosCandidate* popped = PopBest())
            {
                if (pTest(*popped))
                    return popped;
            }
            return nullptr;
        }
        if (!first || candidate->score < first->score)
        {
            if (pTest(*candidate))
            {
                first = candidate;
                tied = false;
            }
        }
        else if (candidate->score == first->score && !tied)
        {
            tied = pTest(*candidate);
        }
    }
    if (!first || !tied)
    {
        // None passes, or one alone at the lowest score: what the pops would leave behind is
        // never read, since every search starts by clearing the candidates.
        m_heapFilled = m_candidates.size();
        return first;
    }
    const float lowest = first->score;
    while (PosCandidate* candidate = PopBest())
    {
        // Everything below the lowest passing score is known to fail.
        if (!(candidate->score < lowest) && pTest(*candidate))
            return candidate;
    }
    AW_ASSERT(!"a candidate that passed was not popped");
    return nullptr;
}

int CAIPlayer::HitSum(const CVector2& pPoint, float pRadius, CEntity* pExcluded, int* pBeamOnly) const
{
    int total = 0;
    int beamOnly = 0;
    // Only the kinds that deal damage add anything; the sums do not depend on the order.
    World().ForEachHazard(
        [&](CEntity* pNode)
        {
            AW_ASSERT(pNode);
            int kind = DAMAGE_NONE;
            // The excluded node is measured with one charge less.
            int damage = pNode->GetDamageAt(pPoint, pRadius, &kind, pNode == pExcluded ? -1 : 0);
            total += damage;
            if (kind == DAMAGE_BEAM)
                beamOnly += damage;
        });
    if (pBeamOnly)
        *pBeamOnly = beamOnly;
    return total;
}

float CAIPlayer::WorthSum(const CVector2& pPoint, float pRange, int pTeam, CEntity* pIgnored) const
{
    float sum = 0.0f;
    World().ForEachEntityInRange(pPoint, pRange,
                                 [&](CEntity* pNode)
                                 {
                                     AW_ASSERT(pNode);
                                     if (pNode == pIgnored)
                                         return;
                                     float worth = pNode->GetWorth();
                                     if (pNode->GetTeam() != pTeam)
                                         worth = -worth;
                                     if (worth > 0.0f)
                                         sum += worth;
                                 });
    return sum;
}

bool CAIPlayer::HasResourceClearance(const CVector2& pPoint, float pRadius) const
{
    for (CEntity* site : m_scan.m_resList)
    {
        float reach = site->GetRadius() + pRadius;
        if ((site->GetPosition() - pPoint).LengthSq() <= reach * reach)
            return false;
    }
    return true;
}

bool CAIPlayer::IsOpenSpot(const CVector2& pPoint, float pRadius) const
{
    return World().IsFree(pPoint, pRadius) && HasResourceClearance(pPoint, pRadius);
}

CSpot CAIPlayer::FindAbsorberSpotNear(CEntity* pNode)
{
    AW_ASSERT(pNode);
    ClearCandidates();
    const float r = CAbsorberNode::RADIUS;
    const float nodeRadius = pNode->GetRadius();
    const CVector2 centre = pNode->GetPosition();
    for (float ring = nodeRadius + r + 1.0f; ring < nodeRadius + CAbsorberNode::BLAST_PER_BEAM + r; ring += r)
    {
        const float step = (r / ring) / 1.5f;
        for (float a = 0.0f; a < FULL_TURN; a += step)
        {
            CVector2 p = OnCircle(centre, ring, a);
            Push(*this, pNode, p, static_cast<float>(Hops(CellAtPoint(p))));
        }
    }

    const int team = m_team->GetId();
    const CHazardFilter hazards(r, nullptr);
    PosCandidate* found = PopFirstPassing(
        [&](const PosCandidate& pCandidate)
        {
            const CVector2& p = pCandidate.pos;
            if (!IsOpenSpot(p, r))
                return false;
            return !(WorthSum(p, BlastReach(hazards.HitSum(p, nullptr)), team, nullptr) > 0.0f);
        });
    if (!found)
        return CSpot();
    CSpot spot = *found;
    spot.hits = hazards.HitSum(spot.pos, nullptr);
    return spot;
}

CSpot CAIPlayer::FindAbsorberSpotOnBeam(CBeamNode* pDmgSrc)
{
    AW_ASSERT(pDmgSrc);
    ClearCandidates();
    const float r = CAbsorberNode::RADIUS;
    const CVector2 d = pDmgSrc->GetDirection();
    const CVector2 n(d.y, -d.x);
    const float length = pDmgSrc->GetBeamLength();
    const CVector2 origin = pDmgSrc->GetPosition();
    // Far enough out that neither the blast nor a shield beside the absorber reaches the emitter.
    const float start = CBeamNode::RADIUS +
                        std::max(BLAST_MARGIN * CAbsorberNode::BLAST_PER_BEAM + r, CShieldNode::RADIUS + r);
    for (float t = start; t < length; t += 10.0f)
    {
        for (int k = -1; k <= 1; ++k)
        {
            CVector2 p = origin + d * t + n * (5.0f * k);
            Push(*this, pDmgSrc, p, static_cast<float>(Hops(CellAtPoint(p))));
        }
    }

    const int team = m_team->GetId();
    const CHazardFilter hazards(r, nullptr);
    PosCandidate* found = PopFirstPassing(
        [&](const PosCandidate& pCandidate)
        {
            const CVector2& p = pCandidate.pos;
            if (!IsOpenSpot(p, r))
                return false;
            int beamOnly = 0;
            int total = hazards.HitSum(p, &beamOnly);
            if (!BeamsOnly(total, beamOnly))
                return false;
            // The blast must not reach the node that would power the absorber.
            const float reach = BlastReach(total);
            if (CEntity* provider = CellAtPoint(p).node)
            {
                const float keepOff = reach + CForkNode::RADIUS;
                if ((provider->GetPosition() - p).LengthSq() < keepOff * keepOff)
                    return false;
            }
            return !(WorthSum(p, reach, team, nullptr) > 0.0f);
        });
    if (!found)
        return CSpot();
    CSpot spot = *found;
    spot.hits = hazards.HitSum(spot.pos, nullptr);
    return spot;
}

CSpot CAIPlayer::FindShieldSpotOnBeam(CBeamNode* pDmgSrc)
{
    AW_ASSERT(pDmgSrc);
    ClearCandidates();
    const float r = CShieldNode::RADIUS;
    const CVector2 d = pDmgSrc->GetDirection();
    const CVector2 n(d.y, -d.x);
    const float length = pDmgSrc->GetBeamLength();
    const CVector2 origin = pDmgSrc->GetPosition();
    // Against an enemy beam, stand as far from its emitter as the power allows.
    const bool enemyBeam = pDmgSrc->GetTeam() != m_team->GetId();
    for (float t = CBeamNode::RADIUS; t < length; t += 10.0f)
    {
        for (float across = -0.5f * r; across <= 0.5f * r; across += 0.5f * r)
        {
            CVector2 p = origin + d * t + n * across;
            float score = static_cast<float>(Hops(CellAtPoint(p))) * 10000.0f;
            if (enemyBeam)
                score -= t;
            Push(*this, pDmgSrc, p, score);
        }
    }

    const CHazardFilter hazards(r, pDmgSrc->GetTarget());
    PosCandidate* found = PopFirstPassing(
        [&](const PosCandidate& pCandidate)
        {
            const CVector2& p = pCandidate.pos;
            if (!IsOpenSpot(p, r))
                return false;
            int beamOnly = 0;
            int total = hazards.HitSum(p, &beamOnly);
            return BeamsOnly(total, beamOnly);
        });
    if (!found)
        return CSpot();
    CSpot spot = *found;
    spot.hits = hazards.HitSum(spot.pos, nullptr);
    return spot;
}

CSpot CAIPlayer::FindExtractorSpot()
{
    ClearCandidates();
    const float r = CExtractorNode::RADIUS;
    RandomTable& random = RandomTable::GetInstance();
    for (CEntity* site : m_freeResources)
    {
        // One jitter per site, so sites at equal hops are tried in a random order.
        const float jitter = RandomTable::Fraction(random.Draw()) * 80.0f - 40.0f;
        const CVector2 centre = site->GetPosition();
        Push(*this, site, centre, static_cast<float>(Hops(CellAtPoint(centre)) * 100) + jitter - 1.0f);
        // A site too small to hold an extractor off its centre has no ring.
        const float ring = site->GetRadius() - r - 1.0f;
        const float step = ring > 0.0f ? (r / ring) / 1.5f : FULL_TURN;
        for (float a = 0.0f; ring > 0.0f && a < FULL_TURN; a += step)
        {
            CVector2 p = OnCircle(centre, ring, a);
            Push(*this, site, p, static_cast<float>(Hops(CellAtPoint(p)) * 100) + jitter);
        }
    }

    // A place crossed only by beams is kept in reserve: shields can make it safe.
    CGameWorld& world = World();
    CSpot kept;
    bool haveKept = false;
    const CHazardFilter hazards(r, nullptr);
    while (PosCandidate* candidate = PopBest())
    {
        const CVector2& p = candidate->pos;
        if (!world.IsFree(p, r))
            continue;
        int beamOnly = 0;
        int total = hazards.HitSum(p, &beamOnly);
        if (total == 0)
            return *candidate;
        if (total != beamOnly)
            continue;
        candidate->hits = total;
        if (!haveKept || total < kept.hits)
        {
            kept = *candidate;
            haveKept = true;
        }
    }
    return haveKept ? kept : CSpot();
}

template <class Test> PosCandidate* CAIPlayer::PickBeamSpotWithFollowUp(CEntity* pTarget, const Test& pTest)
{
    PosCandidate* plain = PopFirstPassing(pTest);
    if (!plain)
        return nullptr;
    // Only the directions with a foe behind the target are traced and tested, so this costs
    // little more than the plain search.
    const CFollowUpCones cones(pTarget, GetTeamId(), World().GetNodes());
    PosCandidate* follow = nullptr;
    for (PosCandidate* candidate : m_candidates)
    {
        if (!(candidate->score <= (follow ? follow->score : plain->score + FOLLOW_UP_SLACK)))
            continue;
        if (follow && candidate->score == follow->score)
            continue;
        if (cones.MayGoOn(candidate->pos) && cones.GoesOn(candidate->pos) && pTest(*candidate))
            follow = candidate;
    }
    return follow ? follow : plain;
}

CSpot CAIPlayer::FindBeamSpot(CEntity* pTarget, float pMinDistance)
{
    ClearCandidates();
    // Nothing to aim at: an empty spot rather than a crash.
    if (!pTarget)
        return CSpot();
    CGameWorld& world = World();
    RandomTable& random = RandomTable::GetInstance();
    const float width = world.GetBoardWidth();
    const float height = world.GetBoardHeight();
    const CVector2 goal = pTarget->GetPosition();
    for (int x = 0; x < width; x += 16)
    {
        for (int y = 0; y < height; y += 16)
        {
            const float jy = RandomTable::Fraction(random.Draw()) * 16.0f - 8.0f;
            const float jx = RandomTable::Fraction(random.Draw()) * 16.0f - 8.0f;
            const int jitter = ((random.Draw() * 81) >> 15) - 40;
            CVector2 p(x + jx, y + jy);
            float score = static_cast<float>(Hops(CellAtPoint(p)) * 100 + jitter);
            if (IsExpert())
                score += EXPERT_LINE_COST * std::max(0.0f, (p - goal).Length() - EXPERT_FREE_LINE);
            Push(*this, pTarget, p, score);
        }
    }

    const float keepOff =
        std::max(pMinDistance, BLAST_MARGIN * (pTarget->GetRadius() + CAbsorberNode::RADIUS));
    const CHazardFilter hazards(CBeamNode::RADIUS, nullptr);
    auto passes = [&](const PosCandidate& pCandidate)
    {
        // The line of fire first: when the target cannot be reached it fails nearly every
        // place, and the tests answer the same in any order.
        const CVector2& p = pCandidate.pos;
        const CVector2 toGoal = goal - p;
        const float distSq = toGoal.LengthSq();
        if (!(distSq > keepOff * keepOff))
            return false;
        if (!world.IsFirstOnBeam(p, toGoal * FastInvSqrt(distSq), pTarget))
            return false;
        return world.IsFree(p, 12.0f) && HasResourceClearance(p, CBeamNode::RADIUS) &&
               hazards.HitSum(p, nullptr) == 0;
    };
    PosCandidate* found = IsExpert() ? PickBeamSpotWithFollowUp(pTarget, passes) : PopFirstPassing(passes);
    return found ? *found : CSpot();
}

bool CAIPlayer::ExtendToward(const CVector2& pGoal, float pClearance)
{
    ClearCandidates();
    CGameWorld& world = World();
    const float r = CForkNode::RADIUS;
    // The network must not grow backwards: no place farther from the goal than the nearest
    // provider already is.
    const float span = world.GetBoardWidth() + world.GetBoardHeight();
    float best = span * span;
    for (CEntity* provider : m_scan.m_pwrSrcList)
        best = std::min(best, (provider->GetPosition() - pGoal).LengthSq());
    for (CEntity* provider : m_scan.m_pwrSrcList)
    {
        const CVector2 centre = provider->GetPosition();
        const float range = provider->GetPowerRange();
        for (float ring = provider->GetRadius() + r + 1.0f; ring < range; ring += r)
        {
            const float step = r / ring;
            for (float a = 0.0f; a < FULL_TURN; a += step)
            {
                CVector2 p = OnCircle(centre, ring, a);
                Push(*this, provider, p, (p - pGoal).LengthSq());
            }
        }
    }

    const int team = m_team->GetId();
    // A refused build changes nothing, so when every place would be refused the places need
    // no tests: the search ends with nothing built either way.
    if (world.IsRefusedEverywhere(team, TOOL_EXTENDER))
        return false;
    const float tooClose = r + pClearance;
    const CHazardFilter hazards(r, nullptr);
    while (PosCandidate* candidate = PopBest())
    {
        // Scores only grow from here, so every later candidate fails the bound too.
        if (candidate->score > best)
            return false;
        const CVector2& p = candidate->pos;
        if (!((p - pGoal).LengthSq() > tooClose * tooClose))
            continue;
        if (!HasResourceClearance(p, r) || hazards.HitSum(p, nullptr) != 0)
            continue;
        if (world.BuildExtender(team, p, candidate->node))
            return true;
    }
    return false;
}
