#include "nodes/Entity.h"

#include <GL/gl.h>
#include <cmath>

#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "media/SoundManager.h"
#include "nodes/EntityRegistry.h"
#include "nodes/NodeMedia.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"
#include "world/Team.h"

namespace
{
const float TWO_PI = 6.2831853f;
const float PI = 3.14159265f;
// Damage is turned into sparks in portions of this size.
const int SPARK_PORTION = 4000;

float DrawFraction()
{
    return RandomTable::GetInstance().DrawFraction();
}

int DrawSparkLifetime()
{
    return 450 + RandomTable::Below(RandomTable::GetInstance().Draw(), 151);
}

// The points of a circle of radius one, the first repeated at the end.
const int CIRCLE_SEGMENTS = 32;
const CVector2* UnitCircle()
{
    static CVector2 unit[CIRCLE_SEGMENTS + 1];
    static bool ready = false;
    if (!ready)
    {
        for (int i = 0; i <= CIRCLE_SEGMENTS; ++i)
        {
            float a = i * TWO_PI / CIRCLE_SEGMENTS;
            unit[i] = CVector2(std::cos(a), std::sin(a));
        }
        ready = true;
    }
    return unit;
}
} // namespace

CEntity::CEntity() : m_health(10000000) {}

CEntity::~CEntity()
{
    // By now the object is a plain entity: only the base death (unlink, spark disc) runs.
    if (!m_dead)
        Kill();
    Unregister(this);
}

void CEntity::SetPosition(const CVector2& pPosition)
{
    m_position = RoundToPixel(pPosition);
}

void CEntity::SetParent(CEntity* pParent)
{
    m_parent = GetEntityId(pParent);
}

CEntity* CEntity::GetParent() const
{
    return GetEntity(m_parent);
}

bool CEntity::IsConnected() const
{
    return m_parent != 0 && GetEntity(m_parent) != nullptr;
}

CEntity* CEntity::GetLastAttacker() const
{
    return GetEntity(m_lastAttacker);
}

void CEntity::Kill()
{
    if (!m_dead)
    {
        // Marked first, so that anything the death sets off cannot run it a second time.
        m_dead = true;
        OnDeath();
    }
    Unregister(this);
}

void CEntity::TakeDamage(int pAmount, const CVector2& pAt, int pKind, CEntity* pSource)
{
    m_damageTaken += pAmount;
    if (m_damageKind == DAMAGE_NONE || m_damageKind == pKind)
        m_damageKind = pKind;
    else
        m_damageKind = DAMAGE_MIXED;
    m_lastHitPoint = pAt;
    m_lastAttacker = GetEntityId(pSource);

    // A node that already died this step is not mourned twice.
    const int before = m_health.GetValue();
    const bool destroyed = m_health.Add(-pAmount) && !m_dead;
    // Told beside the match, before the death cuts off anything this node powers.
    TheWorld().m_matchStats.CountDamage(this, before - m_health.GetValue(), pKind, pSource, destroyed);
    if (destroyed)
    {
        PlaySound("Death");
        Kill();
    }

    if (pKind != DAMAGE_NONE)
        m_sparkAccumulator += pAmount;
    SpawnDamageSparks(pAt);
}

void CEntity::SpawnDamageSparks(const CVector2& pAt)
{
    // Bigger totals throw their sparks faster.
    float force = static_cast<float>(m_sparkAccumulator) / SPARK_PORTION;
    CSprite* sprite = FindNodeSprite("Spark");
    while (m_sparkAccumulator > SPARK_PORTION)
    {
        if (sprite)
        {
            float direction = DrawFraction() * TWO_PI - PI;
            float angle = DrawFraction() * TWO_PI - PI;
            float speed = (DrawFraction() * 0.08f + 0.01f) * force * 0.25f;
            float green = DrawFraction() * 0.2f + 0.1f;
            float red = DrawFraction() * 0.5f + 0.5f;
            int lifetime = DrawSparkLifetime();
            AddNodeGraphic({sprite, pAt, angle, CColor(red, green, green, 0.3f), lifetime,
                            CVector2(std::cos(direction) * speed, std::sin(direction) * speed)});
        }
        m_sparkAccumulator -= SPARK_PORTION;
    }
}

void CEntity::OnDeath()
{
    CEntity* parent = GetParent();
    if (parent)
        parent->RemovePowered(this);

    CSprite* sprite = FindNodeSprite("Spark");
    if (!sprite)
        return;
    // A disc of sparks: one in the centre, then rings two pixels apart, about pi * rho per ring.
    for (float rho = 0.0f; rho < m_radius; rho += 2.0f)
    {
        for (float alpha = 0.0f; alpha < TWO_PI; alpha += 2.0f / rho)
        {
            float direction = DrawFraction() * TWO_PI - PI;
            float angle = DrawFraction() * TWO_PI - PI;
            float speed = DrawFraction() * 0.08f + 0.01f;
            float green = DrawFraction() * 0.2f + 0.1f;
            float red = DrawFraction() * 0.5f + 0.5f;
            int lifetime = DrawSparkLifetime();
            CVector2 at = m_position + CVector2(std::cos(alpha) * rho, std::sin(alpha) * rho);
            AddNodeGraphic({sprite, at, angle, CColor(red, green, green, 0.6f), lifetime,
                            CVector2(std::cos(direction) * speed, std::sin(direction) * speed)});
        }
    }
}

void CEntity::AddGhost(const char* pSpriteId, float pAngle)
{
    CSprite* sprite = FindNodeSprite(pSpriteId);
    if (sprite)
        AddNodeGraphic(
            {sprite, m_position, pAngle, CColor(1.0f, 1.0f, 1.0f, 1.0f), 1000, CVector2(0.0f, 0.0f)});
}

void CEntity::Update(int pDt)
{
    ApplyDecay(pDt);
}

void CEntity::ApplyDecay(int pDt)
{
    // Unowned nodes wear away over twenty seconds whatever their size.
    if (m_team == 0)
        TakeDamage((m_health.GetMax() / 20000) * pDt, CVector2(0.0f, 0.0f), DAMAGE_NONE, nullptr);
}

void CEntity::CutPower()
{
    // The caller is dropping its list already, so the old parent is not told.
    TheWorld().m_matchStats.CountCut(this);
    m_parent = 0;
    m_team = 0;
    int share = RandomTable::GetInstance().DrawUpTo(20);
    TakeDamage((m_health.GetMax() / 100) * share, CVector2(0.0f, 0.0f), DAMAGE_NONE, nullptr);
}

void CEntity::BeginStep()
{
    m_damageTaken = 0;
    m_damageKind = DAMAGE_NONE;
    m_lastHitPoint = CVector2(0.0f, 0.0f);
    m_energyFlow = 0;
}

void CEntity::AddPowered(CEntity*) {}
void CEntity::RemovePowered(CEntity*) {}
void CEntity::Occupy(CEntity*, float) {}
void CEntity::Release(CEntity*) {}

int CEntity::GetDamageAt(const CVector2&, float, int* pKind, int)
{
    if (pKind)
        *pKind = DAMAGE_NONE;
    return 0;
}

void CEntity::UpdateWorth()
{
    m_worth = 0.0f;
}

void CEntity::DrawRange()
{
    if (!CanPowerMore())
        return;
    // The disc's fan as separate triangles around the node, with no matrix change, so the
    // discs of many nodes in a row reach the renderer as one batch.
    const CVector2* unit = UnitCircle();
    const float r = GetPowerRange();
    const float x = m_position.x, y = m_position.y;
    glBindTexture(GL_TEXTURE_2D, 0);
    CColor(0.055f, 0.255f, 0.155f, 1.0f).Apply();
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < CIRCLE_SEGMENTS; ++i)
    {
        glVertex2f(x, y);
        glVertex2f(x + unit[i].x * r, y + unit[i].y * r);
        glVertex2f(x + unit[i + 1].x * r, y + unit[i + 1].y * r);
    }
    glEnd();
}

void CEntity::PowerLinkStrip(const CVector2& pFrom, const CVector2& pTo, CVector2 pOut[8])
{
    float x = pFrom.x, y = pFrom.y, px = pTo.x, py = pTo.y;
    float dx = px - x, dy = py - y;
    // Straight along the dominant axis, a 45 degree crossing, straight again: a circuit trace.
    if (std::fabs(dx) <= std::fabs(dy))
    {
        float h = dy > 0.0f ? (dy - std::fabs(dx)) / 2.0f : (dy + std::fabs(dx)) / 2.0f;
        pOut[0] = CVector2(x - 2.0f, y);
        pOut[1] = CVector2(x + 2.0f, y);
        pOut[2] = CVector2(x - 2.0f, y + h);
        pOut[3] = CVector2(x + 2.0f, y + h);
        pOut[4] = CVector2(px - 2.0f, py - h);
        pOut[5] = CVector2(px + 2.0f, py - h);
        pOut[6] = CVector2(px - 2.0f, py);
        pOut[7] = CVector2(px + 2.0f, py);
    }
    else
    {
        float h = dx > 0.0f ? (dx - std::fabs(dy)) / 2.0f : (dx + std::fabs(dy)) / 2.0f;
        pOut[0] = CVector2(x, y - 2.0f);
        pOut[1] = CVector2(x, y + 2.0f);
        pOut[2] = CVector2(x + h, y - 2.0f);
        pOut[3] = CVector2(x + h, y + 2.0f);
        pOut[4] = CVector2(px - h, py - 2.0f);
        pOut[5] = CVector2(px - h, py + 2.0f);
        pOut[6] = CVector2(px, py - 2.0f);
        pOut[7] = CVector2(px, py + 2.0f);
    }
}

void CEntity::DrawPowerLink()
{
    CEntity* parent = GetParent();
    if (!parent)
        return;
    CVector2 strip[8];
    PowerLinkStrip(m_position, parent->GetPosition(), strip);
    CColor(0.0f, 0.16f, 0.08f, 1.0f).Apply();
    // The strip's three pieces (straight, crossing, straight) as two triangles each that
    // share their first corner and wind alike: the renderer then sees the straight pieces as
    // screen-aligned rectangles, which it fills far faster than thin triangles. Separate
    // triangles also keep many links in a row in one batch.
    glBegin(GL_TRIANGLES);
    for (int i = 0; i + 3 < 8; i += 2)
    {
        const CVector2& a = strip[i];
        const CVector2& b = strip[i + 1];
        const CVector2& c = strip[i + 2];
        const CVector2& d = strip[i + 3];
        glVertex2f(a.x, a.y);
        glVertex2f(b.x, b.y);
        glVertex2f(d.x, d.y);
        glVertex2f(a.x, a.y);
        glVertex2f(d.x, d.y);
        glVertex2f(c.x, c.y);
    }
    glEnd();
}

void CEntity::DrawCircle(float pRadius, bool pFilled)
{
    const CVector2* unit = UnitCircle();
    if (pFilled)
    {
        glBegin(GL_TRIANGLE_FAN);
        glVertex2f(0.0f, 0.0f);
    }
    else
    {
        glBegin(GL_LINE_LOOP);
    }
    for (int i = 0; i <= CIRCLE_SEGMENTS; ++i)
        glVertex2f(unit[i].x * pRadius, unit[i].y * pRadius);
    glEnd();
}

const char* TeamSpriteSuffix(int pTeam)
{
    static const char* const SUFFIXES[CTeam::MAX_TIDS] = {"_Gray", "_Green", "_Blue"};
    AW_ASSERT(pTeam >= 0 && pTeam < CTeam::MAX_TIDS);
    return SUFFIXES[pTeam];
}

std::string TeamSpriteId(const char* pPrefix, int pTeam)
{
    return std::string(pPrefix) + TeamSpriteSuffix(pTeam);
}
