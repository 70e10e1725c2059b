// Lockstep: turns scheduled D steps ahead, steps held until both sides' turns are in, and
// the state hash compared every SYNC_STEPS steps.
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "net/NetSession.h"
#include "world/GameWorld.h"
#include "world/MatchDump.h"
#include "world/MatchHash.h"

namespace
{
// Node dumps kept for a desync found late (the other side's hash comes up to D steps after ours).
const size_t KEPT_DUMPS = 4;
// Their commands that only one channel has brought yet: far more than a side that keeps to the
// protocol ever has, even with one channel waiting seconds for a resend.
const size_t MAX_UNECHOED = 1024;

bool SameCommand(const CMatchCommand& pA, const CMatchCommand& pB)
{
    return pA.step == pB.step && pA.kind == pB.kind && pA.team == pB.team && pA.tool == pB.tool &&
           pA.point.x == pB.point.x && pA.point.y == pB.point.y && pA.aim.x == pB.aim.x &&
           pA.aim.y == pB.aim.y && pA.node == pB.node;
}
} // namespace

void CNetSession::StartMatch(CGameWorld& pWorld, const CNetMatchStart& pStart)
{
    m_start = pStart;
    m_adoptedAt = 0;
    m_stats.delay = pStart.delay;
    if (!m_roundTrips.empty())
        m_stats.roundTripMs = MiddleRoundTrip(m_roundTrips);
    // Nothing is scheduled for the first D steps: both sides know that without a word.
    m_myThrough = m_theirThrough = pStart.delay - 1;
    for (int channel = 0; channel < CNetTransport::CHANNELS; ++channel)
        m_sentThroughOn[channel] = m_theirThroughOn[channel] = pStart.delay - 1;
    m_phase = PHASE_PLAYING;
    m_sentAtStart = m_transport.BytesSent();
    m_receivedAtStart = m_transport.BytesReceived();
    m_datagramsAtStart = m_transport.DatagramsSent();
    m_startedAt = NowMs();

    // Both machines set the match up the same way from the host's seed; both sides are people.
    pWorld.SetMatchSeed(pStart.seed);
    pWorld.m_demo = false;
    pWorld.m_demoUntilDecided = false;
    pWorld.ClearMatch();
    pWorld.NewMatch();
    for (int team = 1; team <= 2; ++team)
        pWorld.GetTeam(team).SetAI(false);
    // The debug keys would change one machine's match only.
    pWorld.m_debug = false;
    pWorld.m_playerTeam = m_team;
    pWorld.m_state = STATE_MATCH;
    pWorld.m_driver = this;
    pWorld.AddObserver(this);
    pWorld.m_playerCommandRoute = [this, &pWorld](const CMatchCommand& pCommand)
    { OwnCommand(pWorld, pCommand); };
    m_attached = true;
    // A host lets the joiner's seat holder back in on a new link should it drop.
    if (m_setup.hosting)
        m_transport.SetTakesReturns(true);
    std::fprintf(stderr, "ampwarden: match started: seed %u, input delay %d steps\n", pStart.seed,
                 pStart.delay);
    if (m_onMatchStart)
        m_onMatchStart(pStart);
    // Turns that overtook the start, in the order they came.
    const std::vector<std::pair<CNetMessage, int>> early = std::move(m_earlyTurns);
    m_earlyTurns.clear();
    for (size_t i = 0; i < early.size() && m_phase == PHASE_PLAYING; ++i)
        OnTurn(pWorld, early[i].first, early[i].second);
}

void CNetSession::Detach(CGameWorld& pWorld)
{
    if (!m_attached)
        return;
    m_attached = false;
    pWorld.m_driver = nullptr;
    pWorld.m_playerCommandRoute = nullptr;
    pWorld.RemoveObserver(this);
}

void CNetSession::OwnCommand(CGameWorld& pWorld, CMatchCommand pCommand)
{
    // Only builds travel, and only while the match runs.
    if (m_phase != PHASE_PLAYING || m_finished || m_lastStep >= 0 || pCommand.kind != CMD_BUILD ||
        pCommand.team != m_team || static_cast<int>(m_outbox.size()) >= Net::MAX_TURN_COMMANDS)
        return;
    // The first step not yet closed: shown at once as pending, run D steps from now on both sides.
    pCommand.step = m_myThrough + 1;
    m_outbox.push_back(pCommand);
    RecordHistory(pCommand);
    pWorld.SubmitCommand(pCommand);
}

void CNetSession::SendTurn(bool pFinal)
{
    // On a steady beat whatever it carries: a command stamped just after a turn goes with the
    // next one, no later than the first step of an empty span would.
    const int sentThrough = *std::max_element(m_sentThroughOn, m_sentThroughOn + CNetTransport::CHANNELS);
    if (!pFinal && m_myThrough - sentThrough < TURN_STEPS)
        return;
    for (int channel = 0; channel < CNetTransport::CHANNELS; ++channel)
    {
        int& channelThrough = m_sentThroughOn[channel];
        if (pFinal ? channelThrough >= m_myThrough : channel != m_nextChannel)
            continue;
        CNetMessage turn;
        turn.type = NET_TURN;
        turn.through = m_myThrough;
        turn.span = m_myThrough - channelThrough;
        for (const CMatchCommand& command : m_outbox)
        {
            if (command.step > channelThrough && command.step <= m_myThrough)
                turn.commands.push_back(command);
        }
        m_transport.Send(EncodeNetMessage(turn), channel);
        channelThrough = m_myThrough;
        // A hash goes behind a turn on the first channel, which its check at the other side needs.
        if (channel == 0)
        {
            for (const CNetMessage& hash : m_hashesToSend)
                m_transport.Send(EncodeNetMessage(hash), 0);
            m_hashesToSend.clear();
        }
        // Each turn in its own datagram, so that one loss never takes both copies of a step.
        m_transport.Flush();
    }
    m_nextChannel = (m_nextChannel + 1) % CNetTransport::CHANNELS;
    const int carriedThrough = *std::min_element(m_sentThroughOn, m_sentThroughOn + CNetTransport::CHANNELS);
    m_outbox.erase(std::remove_if(m_outbox.begin(), m_outbox.end(),
                                  [carriedThrough](const CMatchCommand& pCommand)
                                  { return pCommand.step <= carriedThrough; }),
                   m_outbox.end());
    m_lastSendAt = NowMs();
}

int CNetSession::StepsPerTick()
{
    if (m_phase != PHASE_PLAYING || m_pausedBy != 0 || m_theirThroughAt == 0)
        return 1;
    // Where the other side stands now: its latest turn reached D steps past the step it was
    // at, half a round trip and the time since it came ago. A side that has fallen behind it
    // (it stalled, or started later) catches up two steps a tick, so that neither keeps less
    // of the input delay than the other to wait for turns in.
    const uint32_t since = m_transport.RoundTrip() / 2 + (NowMs() - m_theirThroughAt);
    const int theirs = m_theirThrough - m_start.delay + static_cast<int>(since / STEP_MS);
    const int ours = m_myThrough - m_start.delay + 1;
    return theirs - ours >= CATCH_UP_STEPS ? 2 : 1;
}

bool CNetSession::BeforeStep(CGameWorld& pWorld)
{
    if (m_phase != PHASE_PLAYING || m_finished || m_dropped || (m_pausedBy != 0 && m_lastStep < 0) ||
        RejoinHolds())
        return false;
    const int step = pWorld.m_matchSteps;
    if (m_lastStep >= 0 && step > m_lastStep && pWorld.m_result == RESULT_UNDECIDED)
    {
        EndAgreed(pWorld);
        return false;
    }
    if (pWorld.m_result != RESULT_UNDECIDED || (m_setup.stepLimit > 0 && step >= m_setup.stepLimit))
    {
        Finish(pWorld);
        return false;
    }
    if (step + m_start.delay > m_myThrough)
        m_myThrough = step + m_start.delay;
    SendTurn(false);
    if (step > m_theirThrough)
    {
        if (!m_held)
        {
            m_held = true;
            m_heldSince = NowMs();
        }
        return false;
    }
    if (m_held)
    {
        const uint32_t stall = NowMs() - m_heldSince;
        ++m_stats.stalls;
        m_stats.stalledMs += stall;
        m_stats.longestStallMs = std::max(m_stats.longestStallMs, stall);
        m_held = false;
        m_heldSince = 0;
    }
    return true;
}

void CNetSession::Finish(CGameWorld& pWorld)
{
    if (m_finished)
        return;
    m_finished = true;
    m_finishedAt = NowMs();
    CountTraffic();
    if (pWorld.m_result == RESULT_UNDECIDED)
        m_endText = "Step limit reached at step " + std::to_string(pWorld.m_matchSteps);
    SendClosed();
    CNetMessage finished;
    finished.type = NET_BYE;
    finished.reason = BYE_FINISHED;
    Send(finished);
    m_transport.Flush();
}

void CNetSession::SendClosed()
{
    // What we closed goes out, so that the other side can reach the same last step, and the
    // last hashes after it, so that it can compare them.
    SendTurn(true);
    for (const CNetMessage& hash : m_hashesToSend)
        Send(hash);
    m_hashesToSend.clear();
}

void CNetSession::OnTurn(CGameWorld& pWorld, const CNetMessage& pMessage, int pChannel)
{
    // Decoded already: builds only, on the board, steps within the turn's span.
    for (const CMatchCommand& command : pMessage.commands)
    {
        if (command.team != 3 - m_team)
            return Broken(pWorld, "a command for the wrong side");
    }
    // Each channel's turns follow on from one another.
    int& channelThrough = m_theirThroughOn[pChannel];
    if (pMessage.through - pMessage.span != channelThrough ||
        pMessage.through > m_myThrough + m_start.delay + Net::MAX_TURN_SPAN)
        return Broken(pWorld, "a turn for steps out of order");
    // Every step up to m_theirThrough came with its commands on another channel, and may
    // have run: here it must be the same again, or it would be a command for a closed step.
    const int from = pMessage.through - pMessage.span;
    const int seenThrough = std::min(pMessage.through, m_theirThrough);
    std::vector<CMatchCommand> copy;
    for (const CMatchCommand& command : m_theirRecent)
    {
        if (command.step > from && command.step <= seenThrough)
            copy.push_back(command);
    }
    size_t same = 0;
    for (const CMatchCommand& command : pMessage.commands)
    {
        if (command.step <= m_theirThrough && (same >= copy.size() || !SameCommand(command, copy[same++])))
            return Broken(pWorld, "a command for a step already closed");
    }
    if (same != copy.size())
        return Broken(pWorld, "a turn without a command it had sent before");
    channelThrough = pMessage.through;
    for (const CMatchCommand& command : pMessage.commands)
    {
        if (command.step > m_theirThrough)
        {
            pWorld.SubmitCommand(command);
            m_theirRecent.push_back(command);
            RecordHistory(command);
        }
    }
    if (pMessage.through > m_theirThrough)
    {
        m_theirThrough = pMessage.through;
        m_theirThroughAt = NowMs();
    }
    // Kept until every channel is past them.
    const int bothThrough = *std::min_element(m_theirThroughOn, m_theirThroughOn + CNetTransport::CHANNELS);
    m_theirRecent.erase(std::remove_if(m_theirRecent.begin(), m_theirRecent.end(),
                                       [bothThrough](const CMatchCommand& pCommand)
                                       { return pCommand.step <= bothThrough; }),
                        m_theirRecent.end());
    if (m_theirRecent.size() > MAX_UNECHOED)
        return Broken(pWorld, "turns on one channel only");
}

void CNetSession::OnStepRun(CGameWorld& pWorld)
{
    const int step = pWorld.m_matchSteps;
    if (m_phase != PHASE_PLAYING || step % SYNC_STEPS != 0)
        return;
    const uint64_t hash = HashMatchState(pWorld);
    m_myHashes[step] = hash;
    m_ownHashes.emplace_back(step, hash);
    if (!m_setup.dumpFolder.empty() || m_onDesync)
    {
        m_dumps[step] = DumpMatchState(pWorld);
        while (m_dumps.size() > KEPT_DUMPS)
            m_dumps.erase(m_dumps.begin());
    }
    CNetMessage message;
    message.type = NET_HASH;
    message.step = step;
    message.hash = hash;
    m_hashesToSend.push_back(message);
    CompareHashes(pWorld);
}

void CNetSession::OnHash(CGameWorld& pWorld, const CNetMessage& pMessage)
{
    if (pMessage.step % SYNC_STEPS != 0 || pMessage.step <= m_lastTheirHashStep ||
        pMessage.step > m_theirThrough + 1)
        return Broken(pWorld, "a hash for a step it cannot have run");
    m_lastTheirHashStep = pMessage.step;
    m_theirHashes[pMessage.step] = pMessage.hash;
    CompareHashes(pWorld);
}

void CNetSession::CompareHashes(CGameWorld& pWorld)
{
    while (!m_myHashes.empty() && !m_theirHashes.empty())
    {
        const auto mine = m_myHashes.begin();
        const auto theirs = m_theirHashes.begin();
        if (mine->first != theirs->first)
        {
            // Each side hashes every SYNC_STEPS steps; the earlier one waits for its partner.
            if (mine->first < theirs->first)
                m_myHashes.erase(mine);
            else
                m_theirHashes.erase(theirs);
            continue;
        }
        const int step = mine->first;
        if (mine->second != theirs->second)
        {
            const auto dump = m_dumps.find(step);
            const std::string nodes = dump != m_dumps.end() ? dump->second : std::string();
            if (m_onDesync)
                m_onDesync(step, nodes);
            if (!m_setup.dumpFolder.empty() && dump != m_dumps.end())
            {
                const std::string path = m_setup.dumpFolder + "/desync-step-" + std::to_string(step) + "-" +
                                         (m_team == 1 ? "green" : "blue") + ".txt";
                std::ofstream(path) << nodes;
            }
            End(&pWorld, OUTCOME_DESYNC, "Out of sync at step " + std::to_string(step), BYE_DESYNC);
            return;
        }
        ++m_stats.checks;
        m_myHashes.erase(mine);
        m_theirHashes.erase(theirs);
    }
}

void CNetSession::CountTraffic()
{
    if (m_stats.playedMs != 0 || m_startedAt == 0)
        return;
    m_stats.bytesSent = m_transport.BytesSent() - m_sentAtStart;
    m_stats.bytesReceived = m_transport.BytesReceived() - m_receivedAtStart;
    m_stats.datagramsSent = m_transport.DatagramsSent() - m_datagramsAtStart;
    m_stats.playedMs = NowMs() - m_startedAt;
}
