#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/Counter.h"
#include "engine/Vector2.h"
#include "media/Color.h"
#include "media/Music.h"
#include "nodes/Entity.h"
#include "world/BoardIndex.h"
#include "world/MatchCommand.h"
#include "world/MatchStats.h"
#include "world/RingBatch.h"
#include "world/Team.h"

class CGameEngine;
class CGraphic;
class CMatchDriver;
class CMatchOverlay;
class CMatchObserver;
class CSprite;

enum WorldState
{
    STATE_INTRO = 0,
    STATE_MENU = 1,
    STATE_MATCH = 2,
};

enum MatchResult
{
    RESULT_WIN = 0,
    RESULT_LOSE = 1,
    RESULT_TIE = 2,
    RESULT_UNDECIDED = 3,
};

enum PlaceMode
{
    PLACE_IDLE = 0,
    PLACE_SOURCE_CHOSEN = 1,
    PLACE_AIMING = 2,
};

// The game itself: the board with its nodes and effects, the three teams, the intro, menu
// and match states, the player's placement interaction and the status message.
// Its operations are spread over several sources by concern: set-up and flow, the step,
// input, build rules, board queries, and the screens.
class CGameWorld
{
  public:
    explicit CGameWorld(CGameEngine* pEngine);
    ~CGameWorld();
    CGameWorld(const CGameWorld&) = delete;
    CGameWorld& operator=(const CGameWorld&) = delete;

    // --- set-up and flow ---
    void NewMatch();
    void ClearMatch();
    void MenuSelect();
    // The keys on the menu: Up, Down and Tab move along a column, Left and Right between the
    // menu and the open difficulty list, Enter chooses.
    void OnMenuKey(int pSym, int pMod);
    bool IsMenuRowEnabled(int pRow, bool pMainMenu) const;
    // Shows the main menu with its last chosen row highlighted (the first when that one
    // cannot be chosen now), the difficulty list closed.
    void HighlightMenu();
    void ShowMessage(const char* pText);
    // Shows the message only when the acting team is the player's and this is no demo.
    void ShowPlayerMessage(int pTeam, const char* pText);
    void Pause();
    void ResumeMatch();
    void AddResourceSite(const CVector2& pPoint);
    void AddMainNode(int pTeam, const CVector2& pPoint);
    void CheckEndOfMatch();
    void ApplyDemoKeepAlive();
    void EndDemoMatch();
    // A computer-versus-computer match at once, as the demo sets it up, that runs until a
    // side falls instead of restarting on the demo's clock.
    void StartWatchedMatch();
    // Every later match fills the random table from this seed instead of the clock.
    void SetMatchSeed(unsigned pSeed);
    // Whether the match ends with a banner and the summary, and offers the summary key: every
    // match but the menu's demo does. Matches the computer plays on both sides (a watched
    // match, a replay, a network match) ask for them with SetShowsResult(true).
    bool ShowsResult() const { return !m_demo || m_showsResult; }
    void SetShowsResult(bool pOn) { m_showsResult = pOn; }
    // Stops the match where it stands, undecided: no further steps, the summary shows.
    void EndMatchUndecided();
    // Tells the observers the match is over (see CMatchObserver::OnMatchEnded); the steps
    // that end it say so themselves, a network session that ends it off the board calls it.
    void AnnounceMatchEnd();
    bool IsMatchOver() const { return m_matchOver; }
    // A side fell, or the match was stopped undecided: nothing more can be built.
    bool IsDecided() const { return m_result != RESULT_UNDECIDED || m_matchOver; }
    // P: the match stands still with the board dimmed under a line saying how to go on.
    bool IsHeld() const { return m_held; }

    // --- the step and input ---
    // True when a step ran and changed the picture enough to be worth drawing again.
    bool Update(unsigned pElapsed);
    // Milliseconds of frame time still needed before the next step runs.
    unsigned TimeToNextStep() const
    {
        return m_stepAccumulator < m_stepLength ? m_stepLength - m_stepAccumulator : 0;
    }
    void Draw();
    void OnKey(int pSym, int pMod, bool pPressed);
    void OnMouseMove(int pX, int pY);
    void OnMouseButton(int pButton, bool pPressed, int pX, int pY);
    void RunMatchStep();

    // --- commands: the one way into a match from outside the simulation ---
    // Holds the command until its step and applies it between steps, in a fixed order (by
    // step, then side, then arrival); one already due is applied at once. False, and nothing
    // done, when it is stamped for a step already run.
    bool SubmitCommand(const CMatchCommand& pCommand);
    // The player's own action, stamped with the current step: straight in, unless a route is
    // set (a network session schedules it ahead, a replay being watched drops it).
    void IssuePlayerCommand(CMatchCommand pCommand);
    std::function<void(const CMatchCommand&)> m_playerCommandRoute;
    // When set, decides when steps run and hands in their commands (a replay, a network
    // session); not owned.
    CMatchDriver* m_driver = nullptr;
    const std::vector<CMatchCommand>& GetPendingCommands() const { return m_pendingCommands; }
    void AddObserver(CMatchObserver* pObserver);
    void RemoveObserver(CMatchObserver* pObserver);
    // Nodes are named in commands by an id counted from the start of their match (1 for its
    // first node), so that the same match names them the same in every run; 0 for none.
    int MatchIdOf(CEntity* pNode) const;
    CEntity* NodeOfMatchId(int pId) const;
    // The highest match id handed out so far in this match.
    int LastMatchId() const;

    // --- services for the nodes, the screens and the opponent ---
    CTeam& GetTeam(int pTeam);
    const CTeam& GetTeam(int pTeam) const;
    float GetBoardWidth() const { return m_boardWidth; }
    float GetBoardHeight() const { return m_boardHeight; }
    float GetCostFactor() const { return 1.0f; }
    void AddEntity(CEntity* pNode);
    void AddGraphic(CSprite* pSprite, const CVector2& pPosition, float pAngle, const CColor& pColour,
                    int pLifetime, const CVector2& pVelocity);
    const std::vector<CEntity*>& GetNodes() const { return m_nodes; }
    const std::vector<CGraphic*>& GetEffects() const { return m_effects; }
    // Board point of a mouse position as SDL reports it (origin top-left).
    CVector2 ScreenToBoard(int pX, int pY) const;
    int GetWindowWidth() const;
    int GetWindowHeight() const;
    // Menu row under a mouse position (SDL coordinates), -1 for none; disabled rows included.
    int MenuRowAt(int pX, int pY, bool pMainMenu) const;
    // The difficulty list's rows lie closer than the main menu's, for every level to fit.
    static constexpr int DIFFICULTY_ROW_PITCH = 28;
    // Tool button under a mouse position (SDL coordinates), TOOL_NONE for none.
    static int ToolButtonAt(int pX, int pY);

    // --- build rules ---
    bool CanPlace(int pTeam, const CVector2& pPoint, float pRadius, int pCost, CEntity* pSource,
                  bool pNeedSource);
    CEntity* BuildExtender(int pTeam, const CVector2& pPoint, CEntity* pSource);
    CEntity* BuildAbsorber(int pTeam, const CVector2& pPoint, CEntity* pSource);
    CEntity* BuildExtractor(int pTeam, const CVector2& pPoint, CEntity* pSource);
    CEntity* BuildBeamEmitter(int pTeam, const CVector2& pPoint, const CVector2& pAim, CEntity* pSource);
    CEntity* BuildShield(int pTeam, const CVector2& pPoint, const CVector2& pAim, CEntity* pSource);
    // Every build of the tool by the team is refused wherever it is placed (its cooldown is
    // running, or the team lacks the energy), and quietly: no message would be shown.
    bool IsRefusedEverywhere(int pTeam, int pTool) const;
    static int ToolCost(int pTool);
    static float ToolRadius(int pTool);
    // The facing in degrees a node built at pPoint and aimed at pAim takes (0 with no aim).
    // The refusal for a press in reach only of a source that powers all it can.
    static const char* FullSourceMessage(const CEntity* pSource);
    static float AimDegrees(const CVector2& pPoint, const CVector2& pAim);
    // What a beam emitter built now at pPoint and aimed at pAim would hit first (nullptr for
    // nothing), by the trace it fires with; its facing and the beam's length from its centre.
    CEntity* PreviewBeam(const CVector2& pPoint, const CVector2& pAim, CVector2* pDirection,
                         float* pLength) const;
    // Whether that emitter would strike a node so close that its own beam burns it too (see
    // CBeamNode::SELF_DAMAGE_DISTANCE): the aim warns of it.
    bool AimBurnsEmitter(const CVector2& pPoint, const CVector2& pAim) const;

    // --- board queries ---
    CEntity* FindOverlap(const CVector2& pPoint, float pRadius) const;
    bool IsFree(const CVector2& pPoint, float pRadius) const;
    CEntity* FindPowerSource(int pTeam, const CVector2& pPoint, bool pAllowMain) const;
    CEntity* FindResourceAt(const CVector2& pPoint, float pRadius) const;
    // A source of the team strictly within whose reach the point lies but that can power no
    // more, the first in list order; nullptr for none.
    CEntity* FindFullSource(int pTeam, const CVector2& pPoint) const;
    CEntity* TraceBeam(const CVector2& pOrigin, const CVector2& pDir, float* pDistance) const;
    CEntity* TraceBeam(const CVector2& pOrigin, const CVector2& pDir) const;
    // TraceBeam(pOrigin, pDir) == pNode, answered quickly when something stands in front of it.
    bool IsFirstOnBeam(const CVector2& pOrigin, const CVector2& pDir, const CEntity* pNode) const;
    // Every node whose circle comes within pRange of the point, in list order.
    template <class F> void ForEachEntityInRange(const CVector2& pPoint, float pRange, F&& pFunc) const
    {
        // Borrows the spare list, so a call made from pFunc simply starts a new one.
        std::vector<int> near;
        near.swap(m_spareNear);
        Index().CollectInRange(pPoint, pRange, near);
        for (int i : near)
            pFunc(m_nodes[static_cast<size_t>(i)]);
        near.swap(m_spareNear);
    }
    // Every node that may deal damage (see CEntity::MayDealDamage), in list order.
    template <class F> void ForEachHazard(F&& pFunc) const
    {
        for (int i : Index().GetHazards())
            pFunc(m_nodes[static_cast<size_t>(i)]);
    }
    int GetTeamFlow(int pTeam) const;

    // --- screens ---
    void DrawIntro();
    void DrawMenu();
    void DrawGameScreen();
    // A refusal for want of energy once the stock covers the chosen kind's cost shown beside it.
    bool IsMessageOutdated() const;
    // The dimmed board with a line over it saying how to go on: while the match is held by P,
    // and while a network match is paused or waits for a side that lost its connection.
    void DrawDimmed(const char* pLine);
    // A line on a dark plate along the board's top edge, above its highest sites and under the
    // summary panel's top: where a line over the board or the open summary hides nothing.
    void DrawEdgeLine(const char* pLine) const;
    void DrawBoard();
    void DrawHud();
    void DrawTeamFlow(int pX, int pY, int pTeam);
    static void DrawBar(float pR, float pG, float pB, float pHeight, float pFraction);
    static void DrawHelpPanel(float pX, float pY, float pWidth, const char* pText, float pAlpha);
    static void DrawRing(float pInner, float pWidth);
    // The board's guides: full sources' reach, the aimed beam's first hit, shield arcs, the
    // player's emitters that waste their energy, and where the player's nodes just fell.
    void DrawGuides() const;
    void DrawFullRanges() const;
    void DrawBeamPreview() const;
    void DrawWastedBeams() const;
    // The emitters whose beam strikes a node of their own side, and the absorbers' blasts:
    // how far each will reach and how close it is to that, orange where it reaches the
    // player's nodes.
    void DrawOwnFire() const;
    void DrawAbsorberReach() const;
    // The node of its own side an emitter's beam now strikes, nullptr for none.
    static CEntity* OwnNodeUnderFire(const CEntity* pEmitter);
    // The radius an absorber's blast heads for with the beams now striking it.
    float BlastHeading(const CEntity* pAbsorber) const;
    // The face that blocks beams and the sector they are blocked from, faint outwards.
    static void DrawShieldArc(const CVector2& pCentre, const CVector2& pFacing);
    // The energy figures, the side bars' labels and the warnings round the bars.
    void DrawHudFigures();
    void ApplyTeamColour(int pTeam) const;

    // --- fields ---
    CGameEngine* m_GameEngine;
    bool m_debug = false;
    CVector2 m_viewCentre;
    float m_zoom = 1.0f;
    float m_boardWidth = 945.0f;
    float m_boardHeight = 630.0f;
    unsigned m_stepAccumulator = 0;
    unsigned m_stepLength = 16;
    unsigned m_thinkAccumulator = 0;
    unsigned m_thinkPeriod = 500;
    std::vector<CEntity*> m_nodes;
    int m_playerTeam = 1;
    int m_overlayMode = 0;
    bool m_demo = false;
    // A match this program only watches: green's refusals are the player's, not the watcher's.
    // Every match starts without it.
    bool m_watchingOnly = false;
    // The levels the demo gives green and blue; blue keeps the opponent's own default, which
    // plays as "Hard".
    unsigned m_demoLevels[2] = {2, 100};
    // A watched demo is never restarted: it ends where a side falls, or undecided at the cap.
    bool m_demoUntilDecided = false;
    bool m_showsResult = false;
    // Steps after which a match still undecided ends (0: never); a watched match has one.
    int m_capSteps = 0;
    static constexpr int WATCH_CAP_STEPS = 15 * 60 * 1000 / 16;
    bool m_matchOver = false;
    // Counted beside the match for the summary; never read by the match itself.
    CMatchStats m_matchStats;
    bool m_summaryOpen = false;
    // The summary panel is open over the board of a match (it then tells the notice itself).
    bool IsSummaryShown() const
    {
        return m_state == STATE_MATCH && m_summaryOpen && ShowsResult() && m_overlay != nullptr;
    }
    bool m_helpOpen = false;
    // Held by the P key; a match driven from outside (a replay, the network) has its own pause.
    bool m_held = false;
    // The screen that shows this world and draws its panels into the picture; not owned,
    // null for none (the board and the hud alone).
    CMatchOverlay* m_overlay = nullptr;
    // The rings the guides and the loss marks put on the board this frame.
    mutable CRingBatch m_rings;
    bool m_hasMatchSeed = false;
    unsigned m_matchSeed = 0;
    // Without a seed of its own, every match draws one from the clock (a recording names it).
    bool m_seedEveryMatch = false;
    // The seed the current match's random table was filled from, when it was.
    unsigned m_currentSeed = 0;
    // The player's name from the settings, and the names shown for the sides of a network match
    // or a replay (empty where none was given). SideName answers with the name a side's human
    // goes by, for a replay's header; empty for a computer or none.
    std::string m_playerName;
    std::string m_sideNames[CTeam::MAX_TIDS];
    std::string SideName(int pTeam) const;
    // A line that stands on the menu and match screens until the next match: a recording that
    // failed, a replay that cannot be played or went out of sync.
    std::string m_notice;
    // Steps run in the current match.
    int m_matchSteps = 0;
    // The match's clock in steps: where it ended once it has (the board plays on behind the
    // banner), else the steps run so far.
    int ClockSteps() const { return m_matchStats.HasEnded() ? m_matchStats.GetLastStep() : m_matchSteps; }
    // Counts the matches set up, so that what is kept of one is never taken for another's.
    int m_matchSerial = 0;
    CCounter m_demoTimer{120000};
    int m_greenWins = 0;
    int m_blueWins = 0;
    int m_selectedTool = TOOL_NONE;
    int m_hoveredTool = TOOL_NONE;
    int m_placeMode = PLACE_IDLE;
    int m_placeSourceId = 0;
    CVector2 m_mouseBoard;
    CVector2 m_placePoint;
    float m_spinAngle = 0.0f;
    float m_drawnSpinAngle = 0.0f; // the spin angle the menu was last drawn with
    // Degrees the menu's gears turn before the menu is drawn again (under a pixel at the rim).
    static constexpr float MENU_REDRAW_TURN = 0.25f;
    CTeam m_teams[CTeam::MAX_TIDS];
    std::vector<CGraphic*> m_effects;
    // Effects are only ever drawn; a match played without a window need not keep them (the
    // random numbers they take are drawn all the same).
    bool m_keepEffects = true;
    bool m_resumable = false;
    int m_state = STATE_INTRO;
    int m_result = RESULT_UNDECIDED;
    int m_menuHover = -1;
    int m_difficultyHover = -1;
    // The main menu's row last chosen, highlighted again when the menu comes back.
    int m_lastMenuRow = 0;
    bool m_difficultyListOpen = false;
    // The main menu's rows from this one down open screens of their own (Play a Friend, Watch,
    // Replays, Settings), through this call with the row's place among them.
    static constexpr int FIRST_SCREEN_ROW = 5;
    static constexpr int SCREEN_ROW_COUNT = 4;
    std::function<void(int)> m_openScreen;
    // The menu's demo is watched with the viewer's keys and legend, like any match nobody
    // plays: this gives that driver, back at its start (none: the demo runs undriven).
    std::function<CMatchDriver*()> m_demoViewer;
    CMusic m_music;
    // Until the next try at loading the music.
    int m_musicRetryMs = 0;
    static constexpr int MUSIC_RETRY_MS = 1000;
    int m_mouseScreenX = -1;
    int m_mouseScreenY = -1;
    CCounter m_messageTimer{2500};
    std::string m_message;
    int m_introDurations[5] = {0, 2000, 3000, 2000, 500};
    CCounter m_introStage{4};
    CCounter m_introTimer{500};

  private:
    // The index over m_nodes, brought up to date first.
    const CBoardIndex& Index() const
    {
        m_index.Refresh(m_nodes);
        return m_index;
    }
    // Rebuilt when the list changes; every change to m_nodes must invalidate it.
    mutable CBoardIndex m_index;
    mutable std::vector<int> m_spareNear;
    std::vector<CMatchCommand> m_pendingCommands;
    std::vector<CMatchObserver*> m_observers;
    // The last entity id handed out before this match's first node.
    int m_matchIdBase = 0;
    // Observers hear of a match once its settings are final: at its first command or step.
    bool m_matchAnnounced = false;

    void ApplyDueCommands();
    void ApplyCommand(const CMatchCommand& pCommand);
    void ApplyBuild(const CMatchCommand& pCommand);

    // One intro step; pContinue tells whether the rest of the step still runs.
    void UpdateIntro(bool* pContinue);
    void UpdateMenuMusic();
    void SkipIntro();
    void StartMatchFromMenu(int pRow);
    // The steps one due tick of the clock runs, as the driver (if any) allows.
    void RunDrivenSteps();
    // The parts of a match step.
    bool RemoveDeadNodes();
    void UpdateEffects();
    void RunThinkClock();
    // After a step: the summary's counts, and the end of a match that reached its cap.
    // True when the step ended the match.
    bool FinishMatchStep();
    // Input in the match.
    void OnMatchKey(int pSym, bool pPressed);
    void OnDebugKey(int pSym);
    void OnMatchButton(int pButton, bool pPressed, int pX, int pY);
    CEntity* NearestPlayerSource(const CVector2& pPoint) const;
    void PlaceFromSource(const CVector2& pPoint);
    void AimFromSource(const CVector2& pPoint);
    // The player's build of the selected tool from the source, as a command.
    CMatchCommand BuildCommand(CEntity* pSource, const CVector2& pPoint, const CVector2& pAim) const;
    // The refusal tests shared by the build commands; may fill in the source.
    bool CheckBuild(int pTeam, const CVector2& pPoint, CEntity*& pSource, int pTool);
    void PrepareNode(CEntity* pNode, int pTeam, const CVector2& pPoint, CEntity* pSource);
    // Shared tail of the five build commands once the node exists.
    void FinishBuild(CEntity* pNode, int pTeam, CEntity* pSource, int pTool);
};

// The program's one world, made on first use and never destroyed: the nodes, the computer
// players and the managers may still reach it while the process ends.
CGameWorld& TheWorld();
