#pragma once

#include "nodes/Entity.h"

class CGameWorld;

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
    // The facing's unit vector for an angle in degrees, as SetAngle sets it.
    static CVector2 DirectionOf(float pDegrees);
    // What an emitter standing at pPosition and facing pDirection hits first, and the beam's
    // length from its centre (past the board when nothing is hit).
    static CEntity* Trace(const CGameWorld& pWorld, const CVector2& pPosition, const CVector2& pDirection,
                          float* pLength);

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
    // Firing into a foe's absorber, or into a foe's shield that blocks it: paying to do no harm.
    bool IsWasted() const;

  private:
    float m_angle = 0.0f;
    CVector2 m_direction{1.0f, 0.0f};
    float m_beamLength = 0.0f;
    bool m_active = false;
    CCounter m_warmUp;
    int m_target = 0;
};
