#pragma once

#include "engine/Counter.h"
#include "engine/Vector2.h"
#include "media/Color.h"

class CSprite;

// A short-lived sprite effect: a still one fades out; a moving one also shrinks and glows.
class CGraphic
{
  public:
    CGraphic(CSprite* pSprite, const CVector2& pPosition, float pAngle, const CColor& pColour, int pLifetime,
             const CVector2& pVelocity);

    void Update(int pDt);
    // On its own: a moving effect switches to additive blending and back.
    void Draw() const;
    // One of many in a row: sets the blending it needs (additive when moving, normal when
    // still) and leaves it set, so runs of alike effects draw as one batch. The caller
    // restores normal blending after the last one.
    void DrawBatched() const;
    bool IsActive() const { return m_active; }
    // A moving effect adds its light; a still one is blended over what lies beneath.
    bool IsMoving() const { return m_velocity != CVector2(0.0f, 0.0f); }
    // How far from its position the effect can put a pixel, whatever its turn.
    float GetReach() const;

    const CVector2& GetPosition() const { return m_position; }
    const CVector2& GetVelocity() const { return m_velocity; }
    float GetAngle() const { return m_angle; }
    const CColor& GetColour() const { return m_colour; }
    const CCounter& GetLife() const { return m_life; }
    CSprite* GetSprite() const { return m_sprite; }

    // What Draw would use: the scale (1 for a still graphic) and the alpha.
    float GetDrawScale() const;
    float GetDrawAlpha() const;

  private:
    void DrawSprite() const;

    CSprite* m_sprite;
    CVector2 m_position;
    float m_angle;
    CColor m_colour;
    bool m_active;
    CCounter m_life;
    CVector2 m_velocity;
};
