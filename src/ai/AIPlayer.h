#pragma once

#include <functional>

class CTeam;
class CEntity;

// The computer opponent of one team. The world tells it about every node that joins or
// leaves the board and lets it think every 500 ms and keep its books every step.
class CAIPlayer
{
  public:
    explicit CAIPlayer(CTeam* pTeam);
    ~CAIPlayer();

    void SetDifficulty(unsigned pLevel) { m_difficulty = pLevel; }
    unsigned GetDifficulty() const { return m_difficulty; }
    CTeam* GetTeam() const { return m_team; }

    void OnMainNodeAdded(CEntity* pNode);
    void OnResourceAdded(CEntity* pNode);
    void OnExtenderBuilt(CEntity* pNode);
    void OnBeamBuilt(CEntity* pNode);
    void OnShieldBuilt(CEntity* pNode);
    void OnExtractorBuilt(CEntity* pNode);
    void OnAbsorberBuilt(CEntity* pNode);
    void OnEntityRemoved(CEntity* pNode);

    void Think();
    void Upkeep();
    void DrawOverlay(int pMode);

  private:
    unsigned m_difficulty = 100;
    CTeam* m_team;
};

// Every call the world makes on an opponent (notifications, Think, Upkeep) is reported here
// with its name, the opponent and the node (null for Think and Upkeep); tests install one.
using AIObserver = std::function<void(const char* pCall, const CAIPlayer* pPlayer, CEntity* pNode)>;
void SetAIObserver(AIObserver pObserver);
