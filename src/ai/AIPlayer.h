#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "ai/Candidate.h"
#include "ai/Levels.h"
#include "engine/Vector2.h"

class CTeam;
class CEntity;
class CBeamNode;
class CAbsorberNode;

// One cell of the power map: how far the cell centre lies outside the best provider's
// reach (zero or negative inside it), and that provider.
struct PowerCell
{
    float value = 0.0f;
    CEntity* node = nullptr;
};

// What the opponent sees of the board at the start of a decision. The pointers are valid
// until the next scan.
class CScanResult
{
  public:
    int team = 0;
    std::vector<CEntity*> m_pwrSrcList;
    std::vector<CEntity*> m_resList;
    std::vector<CEntity*> m_enemyList;

    std::size_t GetPowerSourceCount() const { return m_pwrSrcList.size(); }
    std::size_t GetResourceCount() const { return m_resList.size(); }
    std::size_t GetEnemyCount() const { return m_enemyList.size(); }
    CEntity* GetPowerSource(std::size_t pResultNum) const;
    CEntity* GetResource(std::size_t pResultNum) const;
    CEntity* GetEnemy(std::size_t pResultNum) const;

    // The enemy node most worth a beam, with a little random jitter; null when none.
    CEntity* PickTarget(bool pAllowMainNodes) const;
};

// The computer opponent of one team. It keeps a power map and lists of providers, resource
// sites, beam emitters and absorbers up to date from the world's notifications, and twice a
// second decides on at most one build, ordered through the same commands the player uses.
class CAIPlayer
{
  public:
    explicit CAIPlayer(CTeam* pTeam);
    ~CAIPlayer();
    CAIPlayer(const CAIPlayer&) = delete;
    CAIPlayer& operator=(const CAIPlayer&) = delete;

    // The level's number in the table (what replays keep); its decisions follow the plan.
    void SetDifficulty(unsigned pLevel);
    unsigned GetDifficulty() const { return m_level; }
    bool IsExpert() const { return m_difficulty == LEVEL_EXPERT; }
    // Hard, and any level past the named ones (the Demo's blue), lays absorber sieges.
    bool Besieges() const { return m_difficulty >= LEVEL_HARD && !IsExpert(); }
    CTeam* GetTeam() const { return m_team; }
    int GetTeamId() const;

    // --- notifications from the world ---
    void OnMainNodeAdded(CEntity* pNode);
    void OnResourceAdded(CEntity* pNode);
    void OnExtenderBuilt(CEntity* pNode);
    void OnBeamBuilt(CEntity* pNode);
    void OnShieldBuilt(CEntity* pNode);
    void OnExtractorBuilt(CEntity* pNode);
    void OnAbsorberBuilt(CEntity* pNode);
    void OnEntityRemoved(CEntity* pNode);

    // --- per step, per decision, and the debug overlay ---
    void Think();
    void Upkeep();
    void DrawOverlay(int pMode);

    // --- power map and board analysis ---
    void InitPowerMap();
    PowerCell& CellAt(int pX, int pY);
    PowerCell& CellAtPoint(const CVector2& pPoint);
    CVector2 CellCentre(int pX, int pY) const;
    static int Hops(const PowerCell& pCell);
    void StampProvider(CEntity* pNode);
    void ClearProvider(CEntity* pNode);
    void RebuildPowerMap();
    void RemoveOpenProvider(CEntity* pNode);
    void OnNodeAdded(CEntity* pNode);
    void ScanBoard();
    bool IsOwn(const CEntity* pNode) const;

    // --- placement searches ---
    void ClearCandidates();
    void AddCandidate(PosCandidate* pPosCand);
    PosCandidate* PopBest();
    // Sum of GetDamageAt over the board at a circle; the beam-only share goes to pBeamOnly.
    int HitSum(const CVector2& pPoint, float pRadius, CEntity* pExcluded, int* pBeamOnly) const;
    float WorthSum(const CVector2& pPoint, float pRange, int pTeam, CEntity* pIgnored) const;
    // No free resource site's circle comes within pRadius of the point.
    bool HasResourceClearance(const CVector2& pPoint, float pRadius) const;
    // Free ground, clear of every resource site: where any node of that radius may stand.
    bool IsOpenSpot(const CVector2& pPoint, float pRadius) const;
    CSpot FindAbsorberSpotNear(CEntity* pNode);
    CSpot FindAbsorberSpotOnBeam(CBeamNode* pDmgSrc);
    CSpot FindShieldSpotOnBeam(CBeamNode* pDmgSrc);
    CSpot FindExtractorSpot();
    CSpot FindBeamSpot(CEntity* pTarget, float pMinDistance);
    // True when an extender was built.
    bool ExtendToward(const CVector2& pGoal, float pClearance);

    // --- the decision ---
    void BuildBeamWatch();
    void BuildIdleBeamWatch();
    // The own absorber that one more charge would bring onto the target, and how many could.
    std::pair<CAbsorberNode*, int> FindSiegeAbsorber(CEntity* pTarget);
    // Whether the income allows one more node that costs energy to keep (always, below Expert).
    bool CanAffordUpkeep() const;

    // --- state (read by tests and the overlay) ---
    // The plan whose decisions it makes (one of the first five levels', or the plain plan).
    unsigned m_difficulty = 100;
    unsigned m_level = 100;
    const LevelInfo* m_info = &LevelEntry(100);
    // The match time (ms) before which a paced level builds nothing more.
    unsigned m_nextActionMs = 0;
    // When each beam was first seen, for a level slow to react; kept only for such a level.
    std::vector<std::pair<CBeamNode*, unsigned>> m_beamSeen;
    // The stream its aims stray by: its own, so that the board's shared draws stay as they are.
    unsigned long long m_aimState = 0;
    CTeam* m_team;
    // The heap keeps each record's score beside it, so sifting reads no record.
    struct HeapEntry
    {
        float score;
        PosCandidate* record;
    };
    std::vector<HeapEntry> m_candidateHeap;
    // Records are sifted into the heap when the next pop needs them, in the order they were
    // added, which builds the very heap adding them one by one would; m_candidates up to here
    // are in it (or were popped).
    std::size_t m_heapFilled = 0;
    std::vector<PosCandidate*> m_candidates;
    std::vector<CVector2> m_candidatePoints;
    CScanResult m_scan;
    PowerCell* m_powerMap = nullptr;
    int m_powerMapWidth = 0;
    int m_powerMapHeight = 0;
    float m_powerCellSize = 8.0f;
    bool m_powerMapDirty = false;
    bool m_recheckFull = false;
    bool m_purgeProviders = false;
    std::vector<CEntity*> m_openProviders;
    std::vector<CEntity*> m_fullProviders;
    int m_flowSum = 0;
    bool m_resourcesChanged = false;
    bool m_recheckGreyUser = false;
    bool m_greyUserSeen = false;
    std::vector<CEntity*> m_freeResources;
    std::vector<CEntity*> m_usedResources;
    unsigned m_extractorsBuilt = 0;
    std::vector<CBeamNode*> m_beams;
    std::vector<std::pair<CBeamNode*, float>> m_beamWatch;
    std::vector<CAbsorberNode*> m_absorbers;
    CEntity* m_mainNode = nullptr;

  private:
    // Pops candidates lowest score first until one passes pTest, exactly as a loop over PopBest
    // would, and returns it, or null when none passes. pTest must not change the board.
    template <class Test> PosCandidate* PopFirstPassing(const Test& pTest);
    void SiftIn(PosCandidate* pPosCand);
    // The passing place of lowest score, unless one a little farther from the network goes on
    // into a foe behind the target. pTest must not change the board.
    template <class Test> PosCandidate* PickBeamSpotWithFollowUp(CEntity* pTarget, const Test& pTest);
    // "Build X at a spot": a parent in reach builds it, otherwise the network grows toward it.
    // True when the decision stops: a node was built, or an extender was sought instead.
    template <class Build>
    bool BuildAtSpot(const CSpot& pSpot, bool pAllowMain, float pClearance, Build pBuild);
    // One decision of the plan of the first five levels.
    void Decide();
    // The steps of a decision after the survey; each is true when the decision stops.
    bool Defend();
    bool Expand();
    bool GuardIdleBeams();
    void Attack();
    bool Besiege(CEntity* pTarget);

    // --- paced levels ---
    unsigned NowMs() const;
    // Whether a beam has fired long enough for this level to see it.
    bool HasSeen(const CBeamNode* pBeam) const;
    // A draw in [-1, 1] from its own stream.
    float AimDraw();
    // The spot moved and the aim turned by the level's imprecision.
    CVector2 StrayPlace(const CVector2& pPos);
    CVector2 StrayAim(const CVector2& pFrom, const CVector2& pAim);
    void ThinkPlain();
    // The foe's main node when in sight, else the foe nearest home.
    CEntity* FoeToBeam() const;
};

// Every call the world makes on an opponent (notifications, Think, Upkeep) is reported here
// with its name, the opponent and the node (null for Think and Upkeep); tests install one.
using AIObserver = std::function<void(const char* pCall, const CAIPlayer* pPlayer, CEntity* pNode)>;
void SetAIObserver(AIObserver pObserver);
void ReportAICall(const char* pCall, const CAIPlayer* pPlayer, CEntity* pNode);
