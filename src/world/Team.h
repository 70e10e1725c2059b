#pragma once

#include "engine/Counter.h"
#include "media/Color.h"

class CAIPlayer;
class CMainNode;

// Build tools; the same order indexes the cooldowns, the icon bar and the help panels.
enum BuildTool
{
    TOOL_EXTENDER = 0,
    TOOL_BEAM = 1,
    TOOL_SHIELD = 2,
    TOOL_EXTRACTOR = 3,
    TOOL_ABSORBER = 4,
    TOOL_NONE = 5,
};

// One side: its energy stock, its main node (by id), its computer player if any, and one
// build cooldown per kind. Team 0 is the grey, unowned side.
class CTeam
{
  public:
    static constexpr int MAX_TIDS = 3;
    static constexpr int ENERGY_MAX = 30000000;
    static constexpr int m_nCooldowns = 5;
    static const int COOLDOWN_MS[m_nCooldowns];

    CTeam();
    ~CTeam();
    CTeam(const CTeam&) = delete;
    CTeam& operator=(const CTeam&) = delete;

    void Init(int pTeamId);
    int GetId() const { return m_id; }

    int GetEnergy() const { return m_energy.GetValue(); }
    int GetEnergyMax() const { return m_energy.GetMax(); }
    void AddEnergy(int pDelta) { m_energy.Add(pDelta); }

    void SetMainNode(CMainNode* pNode);
    CMainNode* GetMainNode() const;
    int GetMainNodeId() const { return m_mainNode; }

    void SetAI(bool pOn);
    CAIPlayer* GetAI() const { return m_ai; }

    void StartCooldown(int pIndex);
    bool IsCooldownReady(int pIndex) const;
    float GetCooldownFraction(int pIndex) const;
    // Milliseconds until the kind can be built again (0 when it can).
    int GetCooldownLeftMs(int pIndex) const;
    // The same in whole seconds, rounded up, as the icons and the refusal tell it.
    int GetCooldownLeftSeconds(int pIndex) const { return (GetCooldownLeftMs(pIndex) + 999) / 1000; }
    void TickCooldowns(int pDt);

    // Nodes built this match, by tool.
    void CountBuild(int pTool);
    int GetBuilt(int pTool) const;

    CColor GetColour() const { return ColourOf(m_id); }
    void ApplyColour() const;
    static CColor ColourOf(int pTeamId);

  private:
    // Init's work with the start stock given; the constructor cannot ask the world for costs
    // because the engine that holds the world may still be under construction.
    void Reset(int pTeamId, int pStartEnergy);

    int m_id = 0;
    CCounter m_energy;
    int m_mainNode = 0;
    CAIPlayer* m_ai = nullptr;
    CCounter m_cooldowns[m_nCooldowns];
    int m_built[m_nCooldowns] = {};
};
