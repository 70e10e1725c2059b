#pragma once

#include "nodes/Entity.h"

// Earns its side energy while it stands on a resource site and is connected.
class CExtractorNode : public CEntity
{
  public:
    static constexpr float RADIUS = 15.0f;
    static constexpr int INCOME_FLOW = 1000000;
    static constexpr int BASE_COST = 10000000;
    static int GetCost();

    CExtractorNode();

    void Draw() override;
    void Update(int pDt) override;
    void OnDeath() override;
    void UpdateWorth() override;

    void AttachToResource();
    CEntity* GetResource() const;
    bool HasResource() const { return GetResource() != nullptr; }
    void ReleaseResource();

  private:
    int m_resource = 0;
};
