// An observer catching up: the commands it runs, kept in step order as they come; the match's
// history from the host, rebuilt at full speed; and the hash that says it stands where the
// host does before it watches.
#include <algorithm>
#include <cstdio>

#include "net/NetObserver.h"
#include "net/NetSession.h"
#include "world/ChatBoard.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
bool RunsBefore(const CMatchCommand& pA, const CMatchCommand& pB)
{
    return pA.step != pB.step ? pA.step < pB.step : pA.team < pB.team;
}
} // namespace

void CNetObserver::Take(const CMatchCommand& pCommand)
{
    // Commands come in step order; each is kept until its step is about to run.
    m_commands.insert(std::upper_bound(m_commands.begin() + static_cast<long>(m_next), m_commands.end(),
                                       pCommand, RunsBefore),
                      pCommand);
}

void CNetObserver::OnHistory(const CNetMessage& pMessage)
{
    for (const CMatchCommand& command : pMessage.commands)
    {
        if (command.step > m_catchUp.hostThrough)
            return End("Stopped watching: the host sent a command past the steps it closed", false);
        m_commands.push_back(command);
    }
    if (m_commands.size() < static_cast<size_t>(m_catchUp.count))
        return;
    std::stable_sort(m_commands.begin(), m_commands.end(), RunsBefore);
    StartWorld();
    m_rebuilding = true;
    m_rebuildStartedAt = CNetSession::NowMs();
    RebuildSome();
}

void CNetObserver::StartWorld()
{
    CGameWorld& world = m_world;
    // As both players' machines set the match up from the host's seed; both sides are people.
    world.SetMatchSeed(m_catchUp.seed);
    if (m_catchUp.date != 0 && m_onMatchDate)
        m_onMatchDate(m_catchUp.date);
    world.m_demo = false;
    world.m_demoUntilDecided = false;
    world.ClearMatch();
    world.NewMatch();
    world.m_watchingOnly = true;
    for (int team = 1; team <= 2; ++team)
    {
        world.GetTeam(team).SetAI(false);
        world.m_sideNames[team] = m_names[team];
    }
    world.m_debug = false;
    world.m_playerTeam = 1;
    world.m_state = STATE_MATCH;
    world.SetShowsResult(true);
    world.m_driver = this;
    world.m_playerCommandRoute = [](const CMatchCommand&) {};
    m_attached = true;
    // A host that came back brings the same match: what was said stays.
    if (!m_watched)
        CChatBoard::Instance().Clear();
    CChatBoard::Instance().m_send = [this](const std::string& pText) { return Say(pText); };
}

void CNetObserver::RebuildSome()
{
    CGameWorld& world = m_world;
    const int target = m_catchUp.step;
    for (int i = 0; i < REBUILD_STEPS_PER_PUMP && world.m_matchSteps < target && !world.IsMatchOver(); ++i)
    {
        for (; m_next < m_commands.size() && m_commands[m_next].step <= world.m_matchSteps; ++m_next)
            world.SubmitCommand(m_commands[m_next]);
        world.RunMatchStep();
    }
    if (world.m_matchSteps < target && !world.IsMatchOver())
        return;
    m_rebuilding = false;
    const uint64_t hash = HashMatchState(world);
    if (world.m_matchSteps != target || hash != m_catchUp.hash)
        return End("Stopped watching: out of sync with the host at step " + std::to_string(target), false);
    const uint32_t now = CNetSession::NowMs();
    m_phase = PHASE_WATCHING;
    CNetMessage ready;
    ready.type = NET_READY;
    ready.step = target;
    ready.hash = hash;
    Send(ready);
    if (m_returning)
    {
        m_returning = false;
        ++m_stats.returns;
        m_stats.returnMs = now - m_lostAt;
        std::fprintf(
            stderr,
            "ampwarden: back watching as observer %d from step %d, %u ms after the host was lost (try "
            "%d; rebuilt in %u ms)\n",
            m_number, target, m_stats.returnMs, m_tries, now - m_rebuildStartedAt);
        return;
    }
    m_watched = true;
    m_readyAt = now;
    m_stats.catchUpStep = target;
    m_stats.catchUpCommands = m_catchUp.count;
    m_stats.rebuildMs = now - m_rebuildStartedAt;
    m_stats.readyAfterOpenMs = now - m_openedAt;
    m_stats.catchUpBytes = m_stats.bytesReceived = m_transport.BytesReceived();
    std::fprintf(
        stderr,
        "ampwarden: watching as observer %d from step %d, %u ms after opening (rebuilt in %u ms from %d "
        "commands)\n",
        m_number, target, m_stats.readyAfterOpenMs, m_stats.rebuildMs, m_catchUp.count);
}
