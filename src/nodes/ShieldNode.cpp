#include "nodes/ShieldNode.h"

#include <GL/gl.h>
#include <cmath>

#include "engine/GameEngine.h"
#include "media/Sprite.h"
#include "nodes/NodeMedia.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

namespace
{
const float DEG_TO_RAD = 0.017453292f;
const float PI = 3.14159265358979f;
const int SPARK_UNIT = 4000;

CGameWorld& World()
{
    return TheWorld();
}

// Blue sparks sliding along the shield's face, across the incoming beam.
void SpawnShieldSpark(CSprite* pSprite, const CVector2& pAt, const CVector2& pV)
{
    RandomTable& random = RandomTable::GetInstance();
    float angle = random.DrawFraction() * 2.0f * PI - PI;
    float speed = random.DrawFraction() * 0.12f - 0.06f;
    float g = random.DrawFraction() * 0.2f + 0.1f;
    float b = random.DrawFraction() * 0.5f + 0.5f;
    int lifetime = 400 + ((random.Draw() * 151) >> 15);
    AddNodeGraphic(
        {pSprite, pAt, angle, CColor(g, g, b, 0.3f), lifetime, CVector2(speed * pV.y, -speed * pV.x)});
}
} // namespace

int CShieldNode::GetCost()
{
    return static_cast<int>(BASE_COST * World().GetCostFactor());
}

CShieldNode::CShieldNode()
{
    m_radius = RADIUS;
    m_health.Reset(HEALTH);
}

CVector2 CShieldNode::DirectionOf(float pDegrees)
{
    return CVector2(std::cos(pDegrees * DEG_TO_RAD), std::sin(pDegrees * DEG_TO_RAD));
}

void CShieldNode::SetAngle(float pDegrees)
{
    m_angle = pDegrees;
    m_direction = DirectionOf(pDegrees);
}

bool CShieldNode::BlocksBeamAt(const CVector2& pAt) const
{
    if (!m_active)
        return false;
    CVector2 offset = pAt - m_position;
    CVector2 v = offset * FastInvSqrt(offset.LengthSq());
    // The approximate unit vector can tip the cosine a hair past 1; keep acos defined.
    float cosine = std::fmax(-1.0f, std::fmin(1.0f, m_direction.Dot(v)));
    return std::acos(cosine) < BLOCK_HALF_ANGLE;
}

void CShieldNode::TakeDamage(int pAmount, const CVector2& pAt, int pKind, CEntity* pSource)
{
    if (pKind == DAMAGE_BEAM && BlocksBeamAt(pAt))
    {
        // Blocked: costs energy in the next update instead of health.
        CVector2 offset = pAt - m_position;
        CVector2 v = offset * FastInvSqrt(offset.LengthSq());
        m_sparkAccumulator += pAmount;
        CSprite* spark = FindNodeSprite("Spark");
        while (m_sparkAccumulator > SPARK_UNIT)
        {
            if (spark)
                SpawnShieldSpark(spark, pAt, v);
            m_sparkAccumulator -= SPARK_UNIT;
        }
        m_blocked += pAmount;
        return;
    }
    CEntity::TakeDamage(pAmount, pAt, pKind, pSource);
}

void CShieldNode::Update(int pDt)
{
    if (pDt <= 0)
        return;
    // One beam's worth of blocking per step is included in the running cost.
    if (m_active)
        m_blocked -= static_cast<int>((static_cast<long long>(pDt) * 500000) / 1000);
    if (m_blocked < 0)
        m_blocked = 0;
    int cost = static_cast<int>((-static_cast<long long>(m_blocked) * 500) / 1000 +
                                (-static_cast<long long>(pDt) * 500000) / 2000);
    CTeam& team = World().GetTeam(m_team);
    if (IsConnected() && team.GetEnergy() >= -cost)
    {
        m_active = true;
        m_energyFlow = (cost / pDt) * 1000;
        team.AddEnergy(cost);
        World().m_matchStats.AddRunningCost(m_team, -cost);
    }
    else
    {
        m_active = false;
    }
    m_blocked = 0;
    ApplyDecay(pDt);
}

void CShieldNode::UpdateWorth()
{
    // A shield that something got through to is not counted as a cost any more.
    m_worth = m_lastAttacker != 0 ? 0.0f : static_cast<float>(m_energyFlow / 1000);
}

void CShieldNode::Draw()
{
    // The art faces up.
    const float turn = m_angle - 90.0f;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (CSprite* sprite = FindTeamSprite("Shield", m_team))
        sprite->DrawAt(m_position.x, m_position.y, turn);
    if (m_active)
    {
        if (CSprite* glow = FindNodeSprite("Shield_Glow"))
            glow->DrawAt(m_position.x, m_position.y, turn);
    }
}

void CShieldNode::OnDeath()
{
    AddGhost(TeamSpriteId("Shield", m_team).c_str(), m_angle - 90.0f);
    CEntity::OnDeath();
}
