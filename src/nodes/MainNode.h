#pragma once

#include <vector>

#include "nodes/Entity.h"
#include "nodes/PoweredList.h"

// A side's heart: the root of its power network, a steady income, and the node whose loss
// ends the match for that side.
class CMainNode : public CEntity
{
  public:
    static constexpr float RADIUS = 30.0f;
    static constexpr float POWER_RANGE = 130.0f;
    static constexpr int HEALTH = 50000000;
    static constexpr int MAX_POWERED = 10000;
    static constexpr int INCOME_FLOW = 1000000;

    CMainNode();

    void Draw() override;
    void Update(int pDt) override;
    bool IsPowerSource() const override { return true; }
    bool CanPowerMore() const override { return m_powered.GetFreeSlots() != 0; }
    void AddPowered(CEntity* pUser) override;
    void RemovePowered(CEntity* pUser) override;
    float GetPowerRange() const override { return POWER_RANGE; }
    void OnDeath() override;
    void UpdateWorth() override;

    void CutAllPowered();
    int GetFreeSlots() const { return m_powered.GetFreeSlots(); }
    const std::vector<int>& GetPowered() const { return m_powered.GetIds(); }

  private:
    CPoweredList m_powered{MAX_POWERED};
};
