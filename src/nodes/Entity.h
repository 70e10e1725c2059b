#pragma once

#include <string>

#include "engine/Counter.h"
#include "engine/Vector2.h"

// How a hit was dealt; the per-step record keeps the kind, or Mixed when kinds differ.
enum DamageKind
{
    DAMAGE_BEAM = 0,
    DAMAGE_AREA = 1,
    DAMAGE_MIXED = 2,
    DAMAGE_NONE = 3,
};

// Everything on the board: the main nodes, the built nodes and the resource sites.
// Entities never point at one another; they keep registry ids.
class CEntity
{
  public:
    CEntity();
    virtual ~CEntity();
    CEntity(const CEntity&) = delete;
    CEntity& operator=(const CEntity&) = delete;

    virtual void Draw() = 0;
    virtual void DrawRange();
    virtual void Update(int pDt);
    virtual void BeginStep();
    virtual bool IsPowerSource() const { return false; }
    virtual bool CanPowerMore() const { return false; }
    virtual void AddPowered(CEntity* pUser);
    virtual void RemovePowered(CEntity* pUser);
    virtual float GetPowerRange() const { return 0.0f; }
    virtual void CutPower();
    virtual bool IsAvailable() const { return false; }
    virtual void Occupy(CEntity* pUser, float pRadius);
    virtual void Release(CEntity* pUser);
    virtual void TakeDamage(int pAmount, const CVector2& pAt, int pKind, CEntity* pSource);
    virtual void OnDeath();
    virtual int GetDamageAt(const CVector2& pCentre, float pRadius, int* pKind, int pExtraBeams);
    // False for a kind whose GetDamageAt is zero everywhere, so searches can pass it by.
    virtual bool MayDealDamage() const { return false; }
    virtual void UpdateWorth();

    const CVector2& GetPosition() const { return m_position; }
    // Rounds each coordinate to the nearest whole pixel.
    void SetPosition(const CVector2& pPosition);
    int GetTeam() const { return m_team; }
    void SetTeam(int pTeam) { m_team = pTeam; }
    void SetParent(CEntity* pParent);
    CEntity* GetParent() const;
    int GetParentId() const { return m_parent; }
    bool IsConnected() const;
    float GetRadius() const { return m_radius; }
    void SetRadius(float pRadius) { m_radius = pRadius; }
    int GetHealth() const { return m_health.GetValue(); }
    int GetHealthMax() const { return m_health.GetMax(); }
    float GetHealthFraction() const { return m_health.GetFraction(); }
    bool IsAlive() const { return !m_dead; }
    void Kill();
    int GetDamageTaken() const { return m_damageTaken; }
    int GetDamageKind() const { return m_damageKind; }
    CVector2 GetLastHitPoint() const { return m_lastHitPoint; }
    CEntity* GetLastAttacker() const;
    int GetLastAttackerId() const { return m_lastAttacker; }
    float GetWorth() const { return m_team == 0 ? 0.0f : m_worth; }
    int GetEnergyFlow() const { return m_energyFlow; }
    bool BlocksBeams() const { return m_blocksBeams; }
    void SetBlocksBeams(bool pBlocks) { m_blocksBeams = pBlocks; }
    bool AbsorbsBeams() const { return m_absorbsBeams; }
    bool IsMainNode() const { return m_mainNode; }
    int GetSparkAccumulator() const { return m_sparkAccumulator; }

    void DrawPowerLink();
    // 32 segments; a filled disc or an outline.
    static void DrawCircle(float pRadius, bool pFilled);
    // The eight points of the circuit-trace link from own position to the parent's.
    static void PowerLinkStrip(const CVector2& pFrom, const CVector2& pTo, CVector2 pOut[8]);

  protected:
    // Base neutral decay: an unowned node loses health max / 20,000 per millisecond.
    void ApplyDecay(int pDt);
    // A fading copy of a sprite where the node stood; pSpriteId is the full id, usually
    // TeamSpriteId(prefix, GetTeam()). Skipped when the sprite is missing.
    void AddGhost(const char* pSpriteId, float pAngle);
    // Throws one damage spark per 4000 accumulated units at pAt, faster for bigger totals.
    void SpawnDamageSparks(const CVector2& pAt);

    CVector2 m_position;
    int m_team = 0;
    int m_parent = 0;
    float m_radius = 0.0f;
    CCounter m_health;
    bool m_dead = false;
    bool m_blocksBeams = true;
    int m_damageTaken = 0;
    int m_damageKind = DAMAGE_NONE;
    CVector2 m_lastHitPoint;
    int m_lastAttacker = 0;
    float m_worth = 0.0f;
    int m_energyFlow = 0;
    bool m_absorbsBeams = false;
    bool m_mainNode = false;
    int m_sparkAccumulator = 0;
};

// The sprite suffix for a team id: "_Gray", "_Green" or "_Blue".
const char* TeamSpriteSuffix(int pTeam);
// A node kind's sprite id for a team, e.g. "Fork_Green".
std::string TeamSpriteId(const char* pPrefix, int pTeam);
