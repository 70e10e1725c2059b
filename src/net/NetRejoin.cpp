// Coming back into a running match: both sides hold their seats by a token the host hands out
// at the start; a side started again with the same command line proves it holds the seat, is
// sent the seed and every command so far by the side that stayed, rebuilds the match at full
// speed, and both compare the state hash before play goes on after a short countdown. (How a
// host started again and its joiner find each other is in NetRejoinHost.cpp.)
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "engine/Version.h"
#include "net/NetSeat.h"
#include "net/NetSession.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
const char* SideName(int pTeam)
{
    return pTeam == 1 ? "green" : "blue";
}
} // namespace

void CNetSession::RecordHistory(const CMatchCommand& pCommand)
{
    if (m_history.size() >= static_cast<size_t>(Net::MAX_CATCH_UP_COMMANDS))
    {
        m_historyFull = true;
        return;
    }
    m_history.push_back(pCommand);
}

void CNetSession::SaveSeat()
{
    if (m_seatPath.empty() || m_seatToken == 0)
        return;
    CNetSeat seat;
    seat.host = m_setup.hosting ? std::string("-") : m_setup.address.host;
    seat.port = m_setup.address.port;
    seat.seed = m_start.seed;
    seat.date = m_start.date;
    seat.token = m_seatToken;
    std::string why;
    if (!WriteSeat(m_seatPath, seat, why))
        std::fprintf(stderr, "ampwarden: cannot keep this match's seat (no way back after a crash): %s\n",
                     why.c_str());
}

void CNetSession::OnSeatOffer(CGameWorld& pWorld, int pCandidate, const CNetMessage& pHello)
{
    if (IsReturningHost() && m_phase == PHASE_CONNECTING)
        return OnSeatOfferToReturningHost(pWorld, pCandidate, pHello);
    const bool running = m_phase == PHASE_PLAYING && !m_finished && !m_leaving && m_lastStep < 0 &&
                         !m_rejoinPending && m_setup.hosting;
    const bool same = pHello.protocol == Net::PROTOCOL_VERSION && pHello.version == m_setup.version &&
                      pHello.fingerprint == m_setup.fingerprint && pHello.rules == RULES_VERSION;
    if (!running || m_historyFull)
    {
        std::fprintf(stderr, "ampwarden: refused a seat offered for a match not running here\n");
        return m_transport.Drop(pCandidate, 0x100 + BYE_NO_MATCH);
    }
    if (pHello.seat != m_seatToken || m_seatToken == 0)
    {
        std::fprintf(stderr, "ampwarden: refused a seat offered with the wrong token\n");
        return m_transport.Drop(pCandidate, 0x100 + BYE_WRONG_SEAT);
    }
    if (!same)
        return m_transport.Drop(pCandidate, 0x100 + BYE_REFUSED);
    if (m_seatClaimant >= 0)
        return m_transport.Drop(pCandidate, CODE_SEAT_HELD);
    // Only a holder that is gone gives up its seat (a copy of the seat file offered while it
    // plays must not cut it off): the offer waits a little for the holder to fall silent.
    m_seatClaimant = pCandidate;
    m_seatClaimTicket = m_transport.Hold(pCandidate);
    m_seatClaimSince = NowMs();
    SettleSeatClaim(pWorld, m_seatClaimSince);
}

void CNetSession::SettleSeatClaim(CGameWorld& pWorld, uint32_t pNow)
{
    if (m_seatClaimant < 0)
        return;
    const int candidate = m_seatClaimant;
    if (!m_transport.IsHeld(candidate, m_seatClaimTicket) || m_phase != PHASE_PLAYING)
    {
        m_seatClaimant = -1;
        return;
    }
    const bool holderGone =
        m_linkGone || !m_transport.IsConnected() || m_transport.MsSinceHeard() >= HOLDER_GONE_MS;
    if (holderGone)
    {
        m_seatClaimant = -1;
        m_transport.Replace(candidate);
        m_lastReceiveAt = NowMs();
        SendCatchUp(pWorld);
        return;
    }
    if (pNow - m_seatClaimSince < SEAT_CLAIM_WAIT_MS)
        return;
    m_seatClaimant = -1;
    std::fprintf(stderr, "ampwarden: refused a seat offered while %s still plays in it\n", TheirName());
    m_transport.Drop(candidate, CODE_SEAT_HELD);
}

std::string CNetSession::ImplausibleCatchUp(const CNetMessage& pMessage) const
{
    // The decoder has bounded every field already; here they are held to this match.
    if (m_seatDate != 0 && (pMessage.seed != m_seatSeed || pMessage.date != m_seatDate))
        return "a catch-up for another match";
    const int most = MostStepsSince(pMessage.date, static_cast<int64_t>(std::time(nullptr)));
    if (pMessage.step > most)
        return "a catch-up at step " + std::to_string(pMessage.step) +
               ", more than its match can have run (" + std::to_string(most) + ")";
    if (pMessage.delay < 1 || pMessage.delay > Net::MAX_DELAY)
        return "a catch-up with an input delay of " + std::to_string(pMessage.delay);
    return std::string();
}

void CNetSession::SendCatchUp(CGameWorld& pWorld)
{
    // The match stands between steps, held: both sides' commands up to the steps each closed
    // are known here, and the returning side takes over from there on a fresh link.
    const int step = pWorld.m_matchSteps;
    CNetMessage header;
    header.type = NET_CATCH_UP;
    header.seed = m_start.seed;
    header.delay = m_start.delay;
    header.date = m_start.date;
    header.step = step;
    header.hostThrough = m_team == 1 ? m_myThrough : m_theirThrough;
    header.joinerThrough = m_team == 1 ? m_theirThrough : m_myThrough;
    header.hash = HashMatchState(pWorld);
    std::vector<CMatchCommand> commands;
    for (const CMatchCommand& command : m_history)
    {
        if (command.step <= (command.team == m_team ? m_myThrough : m_theirThrough))
            commands.push_back(command);
    }
    header.count = static_cast<int>(commands.size());
    if (m_onCatchUpSent)
        m_onCatchUpSent(header);
    uint64_t bytes = 0;
    std::vector<uint8_t> encoded = EncodeNetMessage(header);
    bytes += encoded.size();
    m_transport.Send(encoded);
    for (size_t from = 0; from < commands.size(); from += Net::MAX_HISTORY_COMMANDS)
    {
        CNetMessage history;
        history.type = NET_HISTORY;
        const size_t to = std::min(commands.size(), from + Net::MAX_HISTORY_COMMANDS);
        history.commands.assign(commands.begin() + static_cast<long>(from),
                                commands.begin() + static_cast<long>(to));
        encoded = EncodeNetMessage(history);
        bytes += encoded.size();
        m_transport.Send(encoded);
    }
    m_transport.Flush();
    m_lastSendAt = NowMs();

    // The new link starts where each side's turns reached; our own commands beyond them go in turns.
    for (int channel = 0; channel < CNetTransport::CHANNELS; ++channel)
    {
        m_sentThroughOn[channel] = m_myThrough;
        m_theirThroughOn[channel] = m_theirThrough;
    }
    const int carried = m_myThrough;
    m_outbox.erase(std::remove_if(m_outbox.begin(), m_outbox.end(),
                                  [carried](const CMatchCommand& pCommand)
                                  { return pCommand.step <= carried; }),
                   m_outbox.end());
    m_theirRecent.clear();
    m_myHashes.clear();
    m_theirHashes.clear();
    m_hashesToSend.clear();
    m_theirThroughAt = 0;
    m_pausedBy = 0;
    m_held = false;
    m_heldSince = 0;
    m_dropped = false;
    m_linkGone = false;
    m_stoodStill = false;
    m_heardFloor = NowMs();
    m_rejoinPending = true;
    m_cameBack = false;
    m_rejoinSince = NowMs();
    m_rejoinStep = step;
    m_rejoinHash = header.hash;
    m_stats.rejoinStep = step;
    m_stats.catchUpCommands = header.count;
    m_stats.catchUpBytes = bytes;
    std::fprintf(stderr, "ampwarden: %s is coming back at step %d: sent %d commands (%llu bytes)\n",
                 TheirName(), step, header.count, static_cast<unsigned long long>(bytes));
}

void CNetSession::OnReady(CGameWorld& pWorld, const CNetMessage& pMessage)
{
    if (!m_rejoinPending)
        return Broken(pWorld, "a ready out of turn");
    if (pMessage.step != m_rejoinStep || pMessage.hash != m_rejoinHash)
        return End(&pWorld, OUTCOME_DESYNC,
                   "Out of sync after rejoining at step " + std::to_string(m_rejoinStep), BYE_DESYNC);
    m_rejoinPending = false;
    m_resumeAt = NowMs() + m_setup.resumeCountdownMs;
    std::fprintf(stderr, "ampwarden: %s is back in the match at step %d; play resumes in %u ms\n",
                 TheirName(), m_rejoinStep, m_setup.resumeCountdownMs);
}

void CNetSession::OnCatchUp(CGameWorld& pWorld, const CNetMessage& pMessage)
{
    // Only a side that came back asking for its seat is sent the match.
    if (m_offeredSeat == 0 || m_phase != PHASE_MEASURING || m_haveCatchUp ||
        (m_setup.hosting && !IsReturningHost()))
        return Broken(pWorld, "a catch-up out of turn");
    // Checked before any work: a rebuild is as long as the step it is told.
    const std::string implausible = ImplausibleCatchUp(pMessage);
    if (!implausible.empty())
        return Broken(pWorld, implausible);
    m_catchUp = pMessage;
    m_haveCatchUp = true;
    m_stats.catchUpBytes += EncodeNetMessage(pMessage).size();
    m_history.clear();
    m_history.reserve(static_cast<size_t>(pMessage.count));
    if (pMessage.count == 0)
        OnHistory(pWorld, CNetMessage());
}

void CNetSession::OnHistory(CGameWorld& pWorld, const CNetMessage& pMessage)
{
    if (!m_haveCatchUp || m_rebuilding || m_phase != PHASE_MEASURING ||
        m_history.size() + pMessage.commands.size() > static_cast<size_t>(m_catchUp.count))
        return Broken(pWorld, "a history out of turn");
    if (pMessage.type == NET_HISTORY)
        m_stats.catchUpBytes += EncodeNetMessage(pMessage).size();
    for (const CMatchCommand& command : pMessage.commands)
    {
        if (command.step > (command.team == 1 ? m_catchUp.hostThrough : m_catchUp.joinerThrough))
            return Broken(pWorld, "a history command past the steps closed");
        m_history.push_back(command);
    }
    if (m_history.size() < static_cast<size_t>(m_catchUp.count))
        return;
    // In the order the world runs them: by step, then green before blue, then as they came.
    std::stable_sort(m_history.begin(), m_history.end(),
                     [](const CMatchCommand& pA, const CMatchCommand& pB)
                     { return pA.step != pB.step ? pA.step < pB.step : pA.team < pB.team; });
    CNetMatchStart start;
    start.seed = m_catchUp.seed;
    start.delay = m_catchUp.delay;
    start.date = m_catchUp.date;
    StartMatch(pWorld, start);
    // Held out of play (no turns, no hashes) until the rebuild reaches the host's step.
    m_phase = PHASE_MEASURING;
    m_rebuilding = true;
    m_rebuildNext = 0;
    m_rebuildStartedAt = NowMs();
}

void CNetSession::RebuildSome(CGameWorld& pWorld)
{
    const int target = m_catchUp.step;
    auto submitThrough = [this, &pWorld](int pStep)
    {
        for (; m_rebuildNext < m_history.size() && m_history[m_rebuildNext].step <= pStep; ++m_rebuildNext)
            pWorld.SubmitCommand(m_history[m_rebuildNext]);
    };
    // A step's commands are handed in before the step before it runs, so that they wait and
    // run in the world's own order, as they did on the host.
    for (int i = 0; i < REBUILD_STEPS_PER_PUMP && pWorld.m_matchSteps < target && !pWorld.IsMatchOver(); ++i)
    {
        submitThrough(pWorld.m_matchSteps + 1);
        pWorld.RunMatchStep();
    }
    m_rebuiltSteps = pWorld.m_matchSteps;
    if (pWorld.m_matchSteps < target && !pWorld.IsMatchOver())
    {
        std::fprintf(stderr, "ampwarden: rebuilding the match: step %d of %d\n", pWorld.m_matchSteps, target);
        return;
    }
    submitThrough(Net::MAX_STEP);
    const uint64_t hash = HashMatchState(pWorld);
    if (pWorld.m_matchSteps != target || hash != m_catchUp.hash)
        return End(&pWorld, OUTCOME_DESYNC, "Out of sync after rejoining at step " + std::to_string(target),
                   BYE_DESYNC);
    const uint32_t now = NowMs();
    m_rebuilding = false;
    m_phase = PHASE_PLAYING;
    // Our next command goes no earlier than the step after the one about to run.
    const int mine = m_team == 1 ? m_catchUp.hostThrough : m_catchUp.joinerThrough;
    m_myThrough = std::max(mine, target);
    m_theirThrough = m_team == 1 ? m_catchUp.joinerThrough : m_catchUp.hostThrough;
    for (int channel = 0; channel < CNetTransport::CHANNELS; ++channel)
    {
        m_sentThroughOn[channel] = mine;
        m_theirThroughOn[channel] = m_theirThrough;
    }
    m_cameBack = true;
    m_returnTag = 0;
    m_theirThroughAt = 0;
    m_resumeAt = now + m_setup.resumeCountdownMs;
    m_heardFloor = now;
    CNetMessage ready;
    ready.type = NET_READY;
    ready.step = target;
    ready.hash = hash;
    Send(ready);
    m_transport.Flush();
    m_seatToken = m_offeredSeat;
    SaveSeat();
    m_stats.rejoinStep = target;
    m_stats.catchUpCommands = m_catchUp.count;
    m_stats.rebuildMs = now - m_rebuildStartedAt;
    m_stats.readyAfterOpenMs = now - m_openedAt;
    std::fprintf(stderr,
                 "ampwarden: back in the match at step %d, %u ms after starting (rebuilt in %u ms from %d "
                 "commands, %llu bytes); play resumes in %u ms\n",
                 target, m_stats.readyAfterOpenMs, m_stats.rebuildMs, m_catchUp.count,
                 static_cast<unsigned long long>(m_stats.catchUpBytes), m_setup.resumeCountdownMs);
}

bool CNetSession::RejoinHolds()
{
    if (m_rejoinPending)
        return true;
    if (m_resumeAt == 0)
        return false;
    if (static_cast<int32_t>(NowMs() - m_resumeAt) < 0)
        return true;
    m_resumeAt = 0;
    return false;
}

std::string CNetSession::RejoinHeadline() const
{
    char line[160];
    if (m_rebuilding)
    {
        std::snprintf(line, sizeof line, "Rejoining: rebuilding the match, step %d of %d", m_rebuiltSteps,
                      m_catchUp.step);
        return line;
    }
    std::string them = SideName(3 - m_team);
    them[0] = static_cast<char>(them[0] - 'a' + 'A');
    if (m_rejoinPending)
        return them + " is coming back into the match";
    if (m_resumeAt != 0 && static_cast<int32_t>(NowMs() - m_resumeAt) < 0)
    {
        std::snprintf(line, sizeof line, "%s: play resumes in %u",
                      m_cameBack ? "Back in the match" : (them + " is back").c_str(),
                      (m_resumeAt - NowMs() + 999) / 1000);
        return line;
    }
    return std::string();
}
