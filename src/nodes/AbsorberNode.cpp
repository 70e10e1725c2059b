#include "nodes/AbsorberNode.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

#include "engine/GameEngine.h"
#include "media/Sprite.h"
#include "media/TextureManager.h"
#include "nodes/NodeMedia.h"
#include "world/GameWorld.h"

namespace
{
const int ENERGY_USE = 500000; // a beam's energy use per second
const int DAMAGE_RATE = 1000;  // a full-strength beam's damage per millisecond
const float IDLE_BLAST = 2.0f; // at or below this the absorber counts as idle and pays

CGameWorld& World()
{
    return TheWorld();
}

// Deals the blast to every entity around the absorber, on the side of its rim that faces it.
struct CBlastVisitor
{
    CAbsorberNode* m_source;
    int m_amount;

    void operator()(CEntity* pEnt) const
    {
        AW_ASSERT(pEnt);
        if (pEnt == m_source)
            return;
        CVector2 towards = m_source->GetPosition() - pEnt->GetPosition();
        CVector2 d = towards * FastInvSqrt(towards.LengthSq());
        CVector2 hit = pEnt->GetPosition() + d * pEnt->GetRadius();
        pEnt->TakeDamage(m_amount, hit, DAMAGE_AREA, m_source);
    }
};
} // namespace

int CAbsorberNode::GetCost()
{
    return static_cast<int>(BASE_COST * World().GetCostFactor());
}

CAbsorberNode::CAbsorberNode()
{
    m_radius = RADIUS;
    m_absorbsBeams = true;
    m_health.Reset(HEALTH);
}

void CAbsorberNode::TakeDamage(int pAmount, const CVector2& pAt, int pKind, CEntity* pSource)
{
    if (IsConnected())
    {
        if (pKind == DAMAGE_BEAM)
        {
            m_absorbed += pAmount;
        }
        else
        {
            // Neighbouring blasts hurt but also feed this one, so absorbers pass energy on.
            m_absorbed += static_cast<int>(static_cast<long long>(pAmount) * 95 / 100);
            CEntity::TakeDamage(pAmount, pAt, pKind, pSource);
        }
    }
    else
    {
        CEntity::TakeDamage(pAmount, pAt, pKind, pSource);
    }
    m_hits += 1;
}

void CAbsorberNode::Update(int pDt)
{
    if (pDt <= 0)
        return;
    // The radius heads for 30 pixels per full-strength beam, 5 % of the way each step.
    double target = static_cast<double>(m_absorbed) * BLAST_PER_BEAM / pDt / DAMAGE_RATE;
    m_blast = static_cast<float>(0.95 * m_blast + 0.05 * target);

    CTeam& team = World().GetTeam(m_team);
    if (m_absorbed == 0)
    {
        // Still discharging above the idle radius: free.
        if (m_blast <= IDLE_BLAST)
        {
            m_energyFlow = -ENERGY_USE / 2;
            team.AddEnergy(static_cast<int>((static_cast<long long>(pDt) * -(ENERGY_USE / 2)) / 1000));
            World().m_matchStats.AddRunningCost(m_team, pDt * (ENERGY_USE / 2) / 1000);
        }
    }
    else if (IsConnected())
    {
        // Half the swallowed damage comes back as energy.
        int income = static_cast<int>(static_cast<long long>(m_absorbed) * (ENERGY_USE / 1000) / 1000);
        m_energyFlow = static_cast<int>(static_cast<unsigned>(income) / static_cast<unsigned>(pDt)) * 1000;
        team.AddEnergy(income);
        World().m_matchStats.AddEarned(m_team, CMatchStats::EARN_ABSORBERS, income);
    }

    if (m_blast > 0.0f)
    {
        int damage = pDt * DAMAGE_RATE;
        if (m_blast < BLAST_PER_BEAM)
            damage = static_cast<int>(damage * m_blast / BLAST_PER_BEAM);
        World().ForEachEntityInRange(m_position, m_radius + m_blast, CBlastVisitor{this, damage});
    }
    m_absorbed = 0;
    m_hits = 0;
    ApplyDecay(pDt);
}

float CAbsorberNode::BlastRadiusFor(int pDamagePerSecond)
{
    return static_cast<float>(((pDamagePerSecond / 1000) * static_cast<int>(BLAST_PER_BEAM)) / 1000);
}

float CAbsorberNode::GetBlastRadius(int pExtraBeams) const
{
    return std::max(m_blast, BLAST_PER_BEAM * m_hits) + BLAST_PER_BEAM * pExtraBeams;
}

int CAbsorberNode::GetDamageAt(const CVector2& pCentre, float pRadius, int* pKind, int pExtraBeams)
{
    float reach = GetBlastRadius(pExtraBeams) + pRadius + m_radius;
    if ((pCentre - m_position).LengthSq() <= reach * reach)
    {
        *pKind = DAMAGE_AREA;
        return 1000;
    }
    *pKind = DAMAGE_NONE;
    return 0;
}

void CAbsorberNode::UpdateWorth()
{
    m_worth = static_cast<float>(m_energyFlow / 1000) + 1.0f;
}

void CAbsorberNode::Draw()
{
    CSprite* sprite = FindTeamSprite("Abs", m_team);
    const CSprite* disc = CTextureManager::GetInstance()->GetDisc();
    const float radii[2] = {m_radius + m_blast, m_radius + m_blast * 5.0f / 6.0f};
    if (IsConnected() && m_blast != 0.0f && disc != nullptr)
    {
        // A translucent red halo, denser inside: two discs of 32 sides around the node, each
        // one quad over the atlas's disc.
        glColor4f(1.0f, 0.1f, 0.1f, 0.3f);
        const float half = 0.5f * disc->GetWidth();
        for (float r : radii)
            disc->DrawAt(m_position.x, m_position.y, 0.0f, r / half);
    }
    else if (IsConnected() && m_blast != 0.0f)
    {
        // Without the disc: the same discs as fans of separate triangles with the centre added
        // here, so no matrix change splits the batch.
        static CVector2 unit[33];
        static bool ready = false;
        if (!ready)
        {
            for (int i = 0; i <= 32; ++i)
            {
                float a = i * 6.2831853f / 32;
                unit[i] = CVector2(std::cos(a), std::sin(a));
            }
            ready = true;
        }
        // Through a white texel of the atlas where it has one, as the beam does.
        float u = 0.0f, v = 0.0f;
        if (sprite != nullptr && sprite->BindPlainTexel(u, v))
            glTexCoord2f(u, v);
        else
            glBindTexture(GL_TEXTURE_2D, 0);
        glColor4f(1.0f, 0.1f, 0.1f, 0.3f);
        glBegin(GL_TRIANGLES);
        for (float r : radii)
        {
            for (int i = 0; i < 32; ++i)
            {
                glVertex2f(m_position.x, m_position.y);
                glVertex2f(m_position.x + unit[i].x * r, m_position.y + unit[i].y * r);
                glVertex2f(m_position.x + unit[i + 1].x * r, m_position.y + unit[i + 1].y * r);
            }
        }
        glEnd();
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (sprite != nullptr)
        sprite->DrawAt(m_position.x, m_position.y);
}

void CAbsorberNode::OnDeath()
{
    AddGhost(TeamSpriteId("Abs", m_team).c_str(), 0.0f);
    CEntity::OnDeath();
}
