#pragma once

#include "nodes/Entity.h"

// Blocks beams that strike its face (within one radian of its facing) at an energy cost.
class CShieldNode : public CEntity
{
  public:
    static constexpr float RADIUS = 10.0f;
    static constexpr int HEALTH = 2000000;
    static constexpr int BASE_COST = 3000000;
    static int GetCost();

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
    int GetBlocked() const { return m_blocked; }

  private:
    float m_angle = 0.0f;
    CVector2 m_direction{1.0f, 0.0f};
    bool m_active = true;
    int m_blocked = 0;
};
