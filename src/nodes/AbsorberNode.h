#pragma once

#include "nodes/Entity.h"

// Swallows beams while powered, turns half of them into energy and releases the rest as a
// blast that hurts everything around it.
class CAbsorberNode : public CEntity
{
  public:
    static constexpr float RADIUS = 10.0f;
    static constexpr float BLAST_PER_BEAM = 30.0f;
    static constexpr int HEALTH = 5000000;
    static constexpr int BASE_COST = 10000000;
    static int GetCost();

    CAbsorberNode();

    void Draw() override;
    void Update(int pDt) override;
    void TakeDamage(int pAmount, const CVector2& pAt, int pKind, CEntity* pSource) override;
    void OnDeath() override;
    void UpdateWorth() override;
    int GetDamageAt(const CVector2& pCentre, float pRadius, int* pKind, int pExtraBeams) override;
    bool MayDealDamage() const override { return true; }

    static float BlastRadiusFor(int pDamagePerSecond);
    float GetBlastRadius(int pExtraBeams) const;
    float GetCurrentBlast() const { return m_blast; }
    int GetAbsorbed() const { return m_absorbed; }
    int GetHits() const { return m_hits; }

  private:
    float m_blast = 0.0f;
    int m_absorbed = 0;
    int m_hits = 0;
};
