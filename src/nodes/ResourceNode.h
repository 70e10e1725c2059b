#pragma once

#include "nodes/Entity.h"

// A fixed resource site: unowned, unharmable; holds at most one extractor.
class CResourceNode : public CEntity
{
  public:
    static constexpr float RADIUS = 25.0f;

    CResourceNode();

    void Draw() override;
    void Update(int pDt) override;
    bool IsAvailable() const override { return m_freeSlots != 0; }
    void Occupy(CEntity* pUser, float pRadius) override;
    void Release(CEntity* pUser) override;
    void TakeDamage(int pAmount, const CVector2& pAt, int pKind, CEntity* pSource) override;

    CEntity* GetUser() const;
    const CCounter& GetOccupancy() const { return m_occupancy; }
    // Pale green while free, dull green while taken, blending over a second.
    void GetTint(float pOut[3]) const;

    int m_freeSlots = 1;

  private:
    int m_user = 0;
    CCounter m_occupancy;
};
