#include "nodes/BeamNode.h"

#include <GL/gl.h>
#include <cmath>

#include "engine/GameEngine.h"
#include "media/Sprite.h"
#include "nodes/EntityRegistry.h"
#include "nodes/NodeMedia.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"

namespace
{
const float DEG_TO_RAD = 0.017453292f;

CGameWorld& World()
{
    return TheWorld();
}
} // namespace

int CBeamNode::GetCost()
{
    return static_cast<int>(BASE_COST * World().GetCostFactor());
}

CBeamNode::CBeamNode() : m_warmUp(WARM_UP)
{
    m_radius = RADIUS;
    m_health.Reset(HEALTH);
    m_warmUp.SetValue(0);
}

CVector2 CBeamNode::DirectionOf(float pDegrees)
{
    return CVector2(std::cos(pDegrees * DEG_TO_RAD), std::sin(pDegrees * DEG_TO_RAD));
}

void CBeamNode::SetAngle(float pDegrees)
{
    m_angle = pDegrees;
    m_direction = DirectionOf(pDegrees);
}

CEntity* CBeamNode::Trace(const CGameWorld& pWorld, const CVector2& pPosition, const CVector2& pDirection,
                          float* pLength)
{
    CVector2 muzzle = pPosition + pDirection * RADIUS;
    float distance = -1.0f;
    CEntity* hit = pWorld.TraceBeam(muzzle, pDirection, &distance);
    // Nothing hit: it runs off the board.
    *pLength = hit ? distance + RADIUS : pWorld.GetBoardWidth() + pWorld.GetBoardHeight();
    return hit;
}

bool CBeamNode::IsWasted() const
{
    const CEntity* target = GetTarget();
    if (!m_active || target == nullptr || target->GetTeam() == m_team || target->GetTeam() == 0)
        return false;
    if (target->AbsorbsBeams())
        return true;
    const CShieldNode* shield = dynamic_cast<const CShieldNode*>(target);
    return shield != nullptr && shield->BlocksBeamAt(m_position + m_direction * m_beamLength);
}

CEntity* CBeamNode::GetTarget() const
{
    return GetEntity(m_target);
}

void CBeamNode::Update(int pDt)
{
    CGameWorld& world = World();
    // Widened so a long frame cannot overflow; a 16 ms step costs 8000.
    int cost = static_cast<int>((-static_cast<long long>(pDt) * ENERGY_USE) / 1000);
    m_active = IsConnected() && world.GetTeam(m_team).GetEnergy() >= -cost;
    if (!m_active)
    {
        // Any step without power or energy loses the warm-up.
        m_warmUp.SetValue(0);
        m_target = 0;
        ApplyDecay(pDt);
        return;
    }

    m_warmUp.Add(pDt);
    CEntity* hit = Trace(world, m_position, m_direction, &m_beamLength);
    CVector2 muzzle = m_position + m_direction * m_radius;
    if (!hit)
    {
        m_target = 0;
    }
    else
    {
        double rate = static_cast<double>(pDt) * DAMAGE_RATE;
        int damage = static_cast<int>(rate * m_warmUp.GetFraction());
        CVector2 end = m_position + m_direction * m_beamLength;
        hit->TakeDamage(damage, end, DAMAGE_BEAM, this);
        m_target = GetEntityId(hit);
        // Firing point-blank burns the emitter too.
        if (m_beamLength <= SELF_DAMAGE_DISTANCE)
            TakeDamage(2 * damage, muzzle, DAMAGE_AREA, this);
    }

    // Paid whether or not anything was hit, friend or foe.
    m_energyFlow = -ENERGY_USE;
    world.GetTeam(m_team).AddEnergy(cost);
    world.m_matchStats.AddRunningCost(m_team, -cost);
    ApplyDecay(pDt);
}

void CBeamNode::Draw()
{
    CSprite* sprite = FindTeamSprite("Beamgun", m_team);
    if (m_active)
    {
        // Along the emitter's facing, turned here rather than on the matrix stack so the
        // beam and the sprite after it need no matrix change.
        const float radians = static_cast<float>(m_angle * M_PI / 180.0);
        const float c = m_angle != 0.0f ? std::cos(radians) : 1.0f;
        const float s = m_angle != 0.0f ? std::sin(radians) : 0.0f;
        auto vertex = [&](float pAlong, float pAcross)
        { glVertex2f(m_position.x + (c * pAlong - s * pAcross), m_position.y + (s * pAlong + c * pAcross)); };
        float a = m_warmUp.GetFraction() * 0.7f + 0.2f;
        float from = m_radius;
        float to = m_beamLength;
        // Through a white texel of the atlas where it has one, so the beam joins the sprites'
        // batch; otherwise with no texture.
        float u = 0.0f, v = 0.0f;
        if (sprite != nullptr && sprite->BindPlainTexel(u, v))
            glTexCoord2f(u, v);
        else
            glBindTexture(GL_TEXTURE_2D, 0);
        glBegin(GL_QUADS);
        // Core.
        glColor4f(1.0f, 0.2f, 0.2f, a);
        vertex(from, 0.7f);
        vertex(to, 0.7f);
        vertex(to, -0.7f);
        vertex(from, -0.7f);
        // Upper glow fading outwards.
        glColor4f(1.0f, 0.2f, 0.2f, 0.0f);
        vertex(from, 2.1f);
        vertex(to, 2.1f);
        glColor4f(1.0f, 0.2f, 0.2f, a);
        vertex(to, 0.7f);
        vertex(from, 0.7f);
        // Lower glow fading outwards.
        glColor4f(1.0f, 0.2f, 0.2f, 0.0f);
        vertex(from, -2.1f);
        vertex(to, -2.1f);
        glColor4f(1.0f, 0.2f, 0.2f, a);
        vertex(to, -0.7f);
        vertex(from, -0.7f);
        glEnd();
    }

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (sprite != nullptr)
        sprite->DrawAt(m_position.x, m_position.y, m_angle);
}

void CBeamNode::OnDeath()
{
    AddGhost(TeamSpriteId("Beamgun", m_team).c_str(), m_angle);
    CEntity::OnDeath();
}

void CBeamNode::UpdateWorth()
{
    m_worth = static_cast<float>(m_energyFlow / 1000);
    CEntity* target = GetTarget();
    if (!target)
        return;
    // Hitting a foe is worth its worth; hitting a friend, or feeding a foe's absorber, costs it.
    float w = target->GetWorth();
    if (target->GetTeam() == m_team)
        w = -w;
    if (target->AbsorbsBeams())
        w = -w;
    m_worth += w + 1.0f;
}

int CBeamNode::GetDamageAt(const CVector2& pCentre, float pRadius, int* pKind, int)
{
    *pKind = DAMAGE_NONE;
    const CVector2& u = m_direction;
    CVector2 origin = m_position + u * (m_radius * 2.1f);
    CVector2 w = pCentre - origin;
    float t = w.Dot(u);
    if (t < 0.0f)
        return 0;
    CVector2 offset = w - u * t;
    float offsetSq = offset.LengthSq();
    float radiusSq = pRadius * pRadius;
    if (offsetSq > radiusSq)
        return 0;
    float h = std::sqrt(radiusSq - offsetSq);
    if ((t - h) + m_radius < m_beamLength)
    {
        *pKind = DAMAGE_BEAM;
        return 1000000;
    }
    return 0;
}
