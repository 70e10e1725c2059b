#include "replay/ReplayPlayer.h"

#include <algorithm>
#include <cstdio>

#include "ai/AIPlayer.h"
#include "engine/Version.h"
#include "nodes/MainNode.h"
#include "world/ChatBoard.h"
#include "world/ChatText.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

CReplayPlayer::CReplayPlayer(CGameWorld& pWorld, const CReplay& pReplay)
    : CViewerControls(pWorld), m_replay(pReplay)
{
    m_lastStep = m_replay.endStep;
    if (!m_replay.ended)
    {
        if (!m_replay.checks.empty())
            m_lastStep = m_replay.checks.back().step;
        if (!m_replay.commands.empty())
            m_lastStep = std::max(m_lastStep, m_replay.commands.back().command.step);
    }
}

CReplayPlayer::~CReplayPlayer()
{
    Stop();
}

void CReplayPlayer::Start()
{
    const CReplayHeader& header = m_replay.header;
    CGameWorld& world = m_world;
    m_starting = true;
    world.ClearMatch();
    world.m_demo = header.demo;
    world.m_demoUntilDecided = header.watched;
    // Whatever it recorded, a replay ends with its banner and summary; the file says where.
    world.SetShowsResult(true);
    world.m_capSteps = 0;
    // The recorded seed for this match only; later matches keep the run's own setting.
    const bool hadSeed = world.m_hasMatchSeed;
    const unsigned seed = world.m_matchSeed;
    world.SetMatchSeed(header.seed);
    world.NewMatch();
    world.m_hasMatchSeed = hadSeed;
    world.m_matchSeed = seed;
    // The sides as they were when the match began, set as the menu sets a level after NewMatch.
    for (int side = 0; side < 2; ++side)
    {
        CTeam& team = world.GetTeam(side + 1);
        const bool hadAI = team.GetAI() != nullptr;
        team.SetAI(header.sides[side].computer);
        if (CAIPlayer* ai = team.GetAI())
        {
            ai->SetDifficulty(header.sides[side].level);
            if (!hadAI && team.GetMainNode())
                ai->OnMainNodeAdded(team.GetMainNode());
        }
    }
    for (int side = 0; side < 2; ++side)
        world.m_sideNames[side + 1] = header.sides[side].name;
    world.m_state = STATE_MATCH;
    m_starting = false;
    m_outcome = PLAYING;
    m_nextCommand = m_nextCheck = m_nextChat = 0;
    CChatBoard::Instance().Clear();
    m_checksPassed = 0;
    world.AddObserver(this);
    world.m_driver = this;
    world.m_playerCommandRoute = [](const CMatchCommand&) {};
    m_attached = true;
}

void CReplayPlayer::Stop()
{
    if (!m_attached)
        return;
    m_attached = false;
    m_world.RemoveObserver(this);
    if (m_world.m_driver == this)
        m_world.m_driver = nullptr;
    m_world.m_playerCommandRoute = nullptr;
    for (std::string& name : m_world.m_sideNames)
        name.clear();
}

bool CReplayPlayer::BeforeStep(CGameWorld& pWorld)
{
    if (m_outcome == LEFT)
        return true;
    if (m_outcome != PLAYING)
        return false;
    const int now = pWorld.m_matchSteps;
    while (m_nextCommand < m_replay.commands.size() && m_replay.commands[m_nextCommand].command.step == now)
    {
        const CReplay::Command& entry = m_replay.commands[m_nextCommand++];
        // A node that died since is the match's business; one that never was is the file's fault.
        if (entry.command.node > pWorld.LastMatchId())
        {
            m_why = "line " + std::to_string(entry.line) + ": node " + std::to_string(entry.command.node) +
                    " does not exist at step " + std::to_string(now);
            Finish(REFUSED, now);
            return false;
        }
        pWorld.SubmitCommand(entry.command);
    }
    if (now >= m_lastStep)
    {
        // The end line is checked in full: where the match ended, who won, and the board.
        const uint64_t hash = EndLineHash(m_replay.header.version, HashMatchState(pWorld), now);
        const std::string winner = WinnerOfMatch(pWorld);
        if (m_replay.ended && winner != m_replay.winner)
            Mismatch(now,
                     "the end line names winner " + m_replay.winner + ", the match played gives " + winner);
        else if (m_replay.ended && hash != m_replay.endHash)
            Mismatch(now, m_replay.endHash, hash);
        else
            Finish(ENDED, now);
        return false;
    }
    return CViewerControls::BeforeStep(pWorld);
}

void CReplayPlayer::OnStepRun(CGameWorld& pWorld)
{
    const int step = pWorld.m_matchSteps;
    if (m_outcome != PLAYING)
        return;
    // What was said shows as its step passes; it plays no part in the match.
    for (; m_nextChat < m_replay.chats.size() && m_replay.chats[m_nextChat].step <= step; ++m_nextChat)
    {
        const CReplay::Chat& chat = m_replay.chats[m_nextChat];
        CChatBoard::Instance().Add(
            chat.from,
            ChatSenderName(chat.from, m_replay.header.sides[0].name, m_replay.header.sides[1].name),
            chat.text);
    }
    if (m_nextCheck < m_replay.checks.size() && m_replay.checks[m_nextCheck].step == step)
    {
        const uint64_t recorded = m_replay.checks[m_nextCheck++].hash;
        const uint64_t computed = HashMatchState(pWorld);
        if (computed != recorded)
            return Mismatch(step, recorded, computed);
        ++m_checksPassed;
    }
    // A recording ends at the step its match is decided; a file that goes on says otherwise.
    if (pWorld.m_result != RESULT_UNDECIDED && step < m_lastStep)
        Mismatch(step, std::string("the match was decided here (winner ") + WinnerOfMatch(pWorld) +
                           "), the file goes on to step " + std::to_string(m_lastStep));
}

void CReplayPlayer::OnMatchCleared(CGameWorld& pWorld)
{
    if (m_starting || m_outcome == LEFT)
        return;
    // Cleared from the menu: the player went on to a game of his own. Cleared in the match:
    // the recorded match never ended this way.
    if (pWorld.m_state != STATE_MATCH)
    {
        m_outcome = LEFT;
        Stop();
        return;
    }
    if (m_outcome == PLAYING)
        Mismatch(pWorld.m_matchSteps, 0, HashMatchState(pWorld));
}

bool CReplayPlayer::IsWatching(const CGameWorld& /*pWorld*/) const
{
    return m_outcome != LEFT;
}

std::string CReplayPlayer::Status(const CGameWorld& pWorld) const
{
    const int stepLength = static_cast<int>(pWorld.m_stepLength);
    return "Replay  " + Clock(pWorld.ClockSteps(), stepLength) + " of " + Clock(m_lastStep, stepLength);
}

void CReplayPlayer::Mismatch(int pStep, uint64_t pRecorded, uint64_t pComputed)
{
    m_recorded = pRecorded;
    m_computed = pComputed;
    char hashes[64];
    std::snprintf(hashes, sizeof hashes, "recorded %016llx, computed %016llx",
                  static_cast<unsigned long long>(pRecorded), static_cast<unsigned long long>(pComputed));
    Mismatch(pStep, hashes);
}

void CReplayPlayer::Mismatch(int pStep, const std::string& pWhat)
{
    m_difference =
        pWhat + "; recorded with " + RecordedBy(m_replay.header) + ", this build plays " + ThisBuild();
    m_why = "replay out of sync at step " + std::to_string(pStep) + ": " + m_difference;
    Finish(OUT_OF_SYNC, pStep);
}

void CReplayPlayer::Finish(Outcome pOutcome, int pStep)
{
    m_outcome = pOutcome;
    m_problemStep = pStep;
    if (m_onDone)
        m_onDone(*this);
}
