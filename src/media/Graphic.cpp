#include "media/Graphic.h"

#include <cmath>

#include <GL/gl.h>

#include "engine/Assert.h"
#include "media/Sprite.h"

CGraphic::CGraphic(CSprite* pSprite, const CVector2& pPosition, float pAngle, const CColor& pColour,
                   int pLifetime, const CVector2& pVelocity)
    : m_sprite(pSprite), m_position(pPosition), m_angle(pAngle), m_colour(pColour), m_active(true),
      m_life(pLifetime), m_velocity(pVelocity)
{
    AW_ASSERT(m_sprite);
}

void CGraphic::Update(int pDt)
{
    // The counter reports landing on a bound; for a lifetime that is the end of it.
    if (m_life.Add(-pDt))
        m_active = false;
    m_position += m_velocity * static_cast<float>(pDt);
}

float CGraphic::GetDrawScale() const
{
    if (m_velocity == CVector2(0.0f, 0.0f))
        return 1.0f;
    return m_life.GetFraction(m_life.GetMax());
}

float CGraphic::GetReach() const
{
    // Half the diagonal of the drawn quad, and a pixel for the edge.
    const float w = m_sprite->GetWidth();
    const float h = m_sprite->GetHeight();
    return 0.5f * std::sqrt(w * w + h * h) * GetDrawScale() + 1.0f;
}

float CGraphic::GetDrawAlpha() const
{
    return m_colour.a * m_life.GetFraction(m_life.GetMax());
}

void CGraphic::DrawSprite() const
{
    // A moving spark shrinks as it dies (the scale of a still one is 1).
    CColor colour = m_colour;
    colour.a = GetDrawAlpha();
    colour.Apply();
    m_sprite->DrawAt(m_position.x, m_position.y, m_angle, GetDrawScale());
}

void CGraphic::Draw() const
{
    // A moving spark adds its light to what lies beneath.
    bool moving = IsMoving();
    if (moving)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    DrawSprite();
    if (moving)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void CGraphic::DrawBatched() const
{
    // Setting the blending a run already has costs nothing; only a change breaks the batch.
    if (IsMoving())
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    else
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawSprite();
}
