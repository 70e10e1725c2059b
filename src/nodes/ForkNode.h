#pragma once

#include <vector>

#include "nodes/Entity.h"
#include "nodes/PoweredList.h"

// The extender: carries the power reach outwards and powers up to three nodes. It starts
// with 1 health and is granted the rest over its first steps.
class CForkNode : public CEntity
{
  public:
    static constexpr float RADIUS = 8.0f;
    static constexpr float POWER_RANGE = 100.0f;
    static constexpr int HEALTH = 15000000;
    static constexpr int MAX_POWERED = 3;
    static constexpr int BASE_COST = 3000000;
    static int GetCost();

    CForkNode();

    void Draw() override;
    void Update(int pDt) override;
    bool IsPowerSource() const override { return true; }
    bool CanPowerMore() const override;
    void AddPowered(CEntity* pUser) override;
    void RemovePowered(CEntity* pUser) override;
    float GetPowerRange() const override { return POWER_RANGE; }
    void CutPower() override;
    void OnDeath() override;
    void UpdateWorth() override;

    void CutAllPowered();
    int GetFreeSlots() const { return m_powered.GetFreeSlots(); }
    const std::vector<int>& GetPowered() const { return m_powered.GetIds(); }
    const CCounter& GetBuildUp() const { return m_buildUp; }
    int GetBuildUpRate() const { return m_buildUpRate; }

  private:
    CPoweredList m_powered{MAX_POWERED};
    CCounter m_buildUp;
    int m_buildUpRate = 0;
};
