#pragma once

#include "nodes/Entity.h"

// Blocks beams that strike its face (within one radian of its facing) at an energy cost.
class CShieldNode : public CEntity
{
  public:
    static constexpr float RADIUS = 10.0f;
    static constexpr int HEALTH = 2000000;
    static constexpr int BASE_COST = 3000000;
    // A beam is blocked where it strikes within this many radians either side of the facing.
    static constexpr float BLOCK_HALF_ANGLE = 1.0f;
    static int GetCost();
    // The facing's unit vector for an angle in degrees, as SetAngle sets it.
    static CVector2 DirectionOf(float pDegrees);

    CShieldNode();

    void Draw() override;
    void Update(int pDt) override;
    void TakeDamage(int pAmount, const CVector2& pAt, int pKind, CEntity* pSource) override;
    void OnDeath() override;
    void UpdateWorth() override;

    void SetAngle(float pDegrees);
    float GetAngle() const { return m_angle; }
    CVector2 GetDirection() const { return m_direction; }
    bool IsActive() const { return m_active; }
    // Whether a beam striking the rim at pAt would be blocked now (it must be active).
    bool BlocksBeamAt(const CVector2& pAt) const;
    int GetBlocked() const { return m_blocked; }

  private:
    float m_angle = 0.0f;
    CVector2 m_direction{1.0f, 0.0f};
    bool m_active = true;
    int m_blocked = 0;
};
