#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "replay/ReplayFormat.h"
#include "replay/ReplayTimeline.h"
#include "replay/ViewerControls.h"
#include "world/MatchObserver.h"

// Plays a replay in the world: sets the board up as the recorded match began, hands in each
// command before its step, and compares every checkpoint as it passes. The first mismatch
// stops it ("out of sync"), as does a command naming a node the match never had (the file is
// refused at that line). The window drives it through the clock with the viewer's controls;
// a headless check calls BeforeStep and RunMatchStep itself.
class CReplayPlayer : public CViewerControls, public CMatchObserver
{
  public:
    enum Outcome
    {
        PLAYING,
        ENDED,       // played to its last step, every checkpoint agreeing
        OUT_OF_SYNC, // a checkpoint, or the end line's step, winner or hash differs
        REFUSED,     // a command that cannot belong to this match
        LEFT,        // the board went to another match
    };

    CReplayPlayer(CGameWorld& pWorld, const CReplay& pReplay);
    ~CReplayPlayer() override;

    // Starts the match over; the player's own commands are dropped while it plays.
    void Start();
    // Lets go of the world: its steps, its commands and its notices.
    void Stop();

    Outcome GetOutcome() const { return m_outcome; }
    // Where it stopped: the step, the line that refused it and why, the two hashes that differ.
    int GetProblemStep() const { return m_problemStep; }
    const std::string& GetWhy() const { return m_why; }
    // Out of sync: what differs, and which build recorded the file.
    const std::string& GetDifference() const { return m_difference; }
    uint64_t GetRecordedHash() const { return m_recorded; }
    uint64_t GetComputedHash() const { return m_computed; }
    // The step it plays to: the end line's, or the last one a cut-short file names.
    int GetLastStep() const { return m_lastStep; }
    int GetChecksPassed() const { return m_checksPassed; }
    const CReplay& GetReplay() const { return m_replay; }
    // The marks shown on the legend's time line (gathered by CReplayTimeline::Gather).
    void SetTimeline(const CReplayTimeline& pTimeline) { m_timeline = pTimeline; }
    // Told once, when the replay ends, goes out of sync or is refused.
    std::function<void(CReplayPlayer&)> m_onDone;

    bool BeforeStep(CGameWorld& pWorld) override;
    void OnStepRun(CGameWorld& pWorld) override;
    void OnMatchCleared(CGameWorld& pWorld) override;

  protected:
    bool IsWatching(const CGameWorld& pWorld) const override;
    std::string Status(const CGameWorld& pWorld) const override;
    const CReplayTimeline* Timeline() const override { return &m_timeline; }
    int TimelineEnd() const override { return m_lastStep; }

  private:
    void Finish(Outcome pOutcome, int pStep);
    void Mismatch(int pStep, uint64_t pRecorded, uint64_t pComputed);
    void Mismatch(int pStep, const std::string& pWhat);

    CReplay m_replay;
    CReplayTimeline m_timeline;
    Outcome m_outcome = PLAYING;
    int m_lastStep = 0;
    size_t m_nextCommand = 0;
    size_t m_nextCheck = 0;
    size_t m_nextChat = 0;
    int m_checksPassed = 0;
    int m_problemStep = 0;
    std::string m_why;
    std::string m_difference;
    uint64_t m_recorded = 0;
    uint64_t m_computed = 0;
    bool m_attached = false;
    bool m_starting = false;
};
