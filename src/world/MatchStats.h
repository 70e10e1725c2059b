#pragma once

#include <vector>

#include "engine/Vector2.h"
#include "world/MatchHash.h"
#include "world/Team.h"

class CEntity;

// What each side did in a match, counted beside it for the summary panel, its graph and the
// arena's report: builds and losses by kind, energy earned and spent, the largest network,
// and once a game second each side's stock and node count. Nothing in the match reads it and
// it draws no random numbers, so it cannot change how a match unfolds. It stops counting when
// the match ends, so the figures describe the match and not the board left standing after it.
class CMatchStats
{
  public:
    // Kinds as NodeKind has them: the five build kinds, then the main node.
    static constexpr int KINDS = KIND_MAIN + 1;
    // One game second in 16 ms steps is not a whole number: a sample is taken in the first
    // step of each new second.
    static constexpr int SAMPLE_MS = 1000;

    enum EarnSource
    {
        EARN_EXTRACTORS = 0,
        EARN_ABSORBERS = 1,
        EARN_SOURCES = 2,
    };
    enum SpendKind
    {
        SPEND_BUILDING = 0,
        SPEND_RUNNING = 1,
        SPEND_KINDS = 2,
    };

    // What took a node's health, as the side that owned it sees it. A grey absorber is one
    // that lost its power; "other" is a node removed by a debug key.
    enum DamageCause
    {
        CAUSE_ENEMY_BEAM = 0,
        CAUSE_OWN_BEAM = 1,
        CAUSE_ENEMY_BLAST = 2,
        CAUSE_OWN_BLAST = 3,
        CAUSE_GREY_BLAST = 4,
        CAUSE_CUT_OFF = 5,
        CAUSE_OTHER = 6,
        CAUSES = 7,
    };

    // A node that left its side: destroyed, or cut off from power. A node cut off because its
    // side's main node fell is marked as standing when the main fell.
    struct Loss
    {
        int step;
        int team;
        int kind;
        int cause;
        CVector2 at;
        bool mainFallen;
    };

    // Green's and blue's stock, standing nodes and main node's health (in thousandths) at one
    // moment.
    struct Sample
    {
        int step;
        int energy[2];
        int nodes[2];
        int mainHealth[2];
    };

    static int CauseOf(const CEntity* pVictim, int pDamageKind, const CEntity* pSource);

    // A new match whose board already holds pNodes (the sites and the main nodes).
    void Reset(const std::vector<CEntity*>& pNodes, int pStepLength);

    // --- hooks in the match ---
    void CountBuild(int pTeam, int pTool, int pCost);
    // A node leaves its side: destroyed while it was still the side's, or cut off (grey).
    void CountLoss(const CEntity* pNode);
    // Health a node lost (pAmount, no more than it had) to a hit of a kind from pSource, and
    // whether the hit destroyed it; told before the node's death sets anything else off.
    void CountDamage(const CEntity* pVictim, int pAmount, int pDamageKind, const CEntity* pSource,
                     bool pDestroyed);
    // A node's power is cut: a loss, and all the health it still has goes to decay.
    void CountCut(const CEntity* pNode);
    void AddEarned(int pTeam, int pSource, int pAmount)
    {
        if (!m_ended)
            m_earned[pTeam][pSource] += pAmount;
    }
    // Running costs: firing beams, shields, idle absorbers.
    void AddRunningCost(int pTeam, int pAmount)
    {
        if (!m_ended)
            m_spent[pTeam][SPEND_RUNNING] += pAmount;
    }
    // After every step: the sample of a new second, and the last one when pEnded says the
    // match is over (a side fell, or it was stopped undecided).
    void EndStep(int pStep, int pGreenEnergy, int pBlueEnergy, bool pEnded);

    // --- the figures ---
    bool HasEnded() const { return m_ended; }
    int GetBuilt(int pTeam, int pKind) const { return m_built[pTeam][pKind]; }
    int GetLost(int pTeam, int pKind) const { return m_lost[pTeam][pKind]; }
    int GetLostTotal(int pTeam) const;
    long long GetEarned(int pTeam, int pSource) const { return m_earned[pTeam][pSource]; }
    long long GetEarnedTotal(int pTeam) const;
    long long GetSpent(int pTeam, int pKind) const { return m_spent[pTeam][pKind]; }
    int GetStanding(int pTeam) const { return m_standing[pTeam]; }
    long long GetDamage(int pTeam, int pCause) const { return m_damage[pTeam][pCause]; }
    // Nodes lost to each cause before the side's main node fell.
    int GetLossesBy(int pTeam, int pCause) const { return m_lossesBy[pTeam][pCause]; }
    // Nodes a side still had when its main node fell, which fell with it.
    int GetStandingAtFall(int pTeam) const { return m_standingAtFall[pTeam]; }
    const std::vector<Loss>& GetLosses() const { return m_losses; }
    int GetLargestNetwork(int pTeam) const { return m_largest[pTeam]; }
    const std::vector<Sample>& GetSamples() const { return m_samples; }
    // The step the figures run to: the last one counted.
    int GetLastStep() const { return m_lastStep; }
    int GetStepLength() const { return m_stepLength; }

  private:
    void TakeSample(int pStep, int pGreenEnergy, int pBlueEnergy);

    int m_built[CTeam::MAX_TIDS][KINDS] = {};
    int m_lost[CTeam::MAX_TIDS][KINDS] = {};
    long long m_earned[CTeam::MAX_TIDS][EARN_SOURCES] = {};
    long long m_spent[CTeam::MAX_TIDS][SPEND_KINDS] = {};
    // Nodes each side has now, and the most it had at once.
    int m_standing[CTeam::MAX_TIDS] = {};
    int m_largest[CTeam::MAX_TIDS] = {};
    long long m_damage[CTeam::MAX_TIDS][CAUSES] = {};
    int m_lossesBy[CTeam::MAX_TIDS][CAUSES] = {};
    int m_standingAtFall[CTeam::MAX_TIDS] = {};
    bool m_mainFallen[CTeam::MAX_TIDS] = {};
    int m_mainHealth[2] = {1000, 1000};
    std::vector<Sample> m_samples;
    std::vector<Loss> m_losses;
    int m_stepLength = 16;
    int m_lastStep = 0;
    bool m_ended = false;
};
