#pragma once

#include "nodes/Entity.h"

// The beam emitter: fires a continuous laser in a fixed direction at whatever it meets
// first. The beam warms up over 15 seconds of uninterrupted firing.
class CBeamNode : public CEntity
{
  public:
    static constexpr float RADIUS = 8.0f;
    static constexpr float SELF_DAMAGE_DISTANCE = 68.0f;
    static constexpr int HEALTH = 2000000;
    static constexpr int DAMAGE_RATE = 1000;  // per millisecond at full warm-up
    static constexpr int ENERGY_USE = 500000; // per second
    static constexpr int WARM_UP = 15000;     // milliseconds
    static constexpr int BASE_COST = 15000000;
    static int GetCost();

    CBeamNode();

    void Draw() override;
    void Update(int pDt) override;
    void OnDeath() override;
    void UpdateWorth() override;
    int GetDamageAt(const CVector2& pCentre, float pRadius, int* pKind, int pExtraBeams) override;
    bool MayDealDamage() const override { return true; }

    void SetAngle(float pDegrees);
    float GetAngle() const { return m_angle; }
    CVector2 GetDirection() const { return m_direction; }
    float GetBeamLength() const { return m_beamLength; }
    CEntity* GetTarget() const;
    bool IsActive() const { return m_active; }
    const CCounter& GetWarmUp() const { return m_warmUp; }

  private:
    float m_angle = 0.0f;
    CVector2 m_direction{1.0f, 0.0f};
    float m_beamLength = 0.0f;
    bool m_active = false;
    CCounter m_warmUp;
    int m_target = 0;
};
