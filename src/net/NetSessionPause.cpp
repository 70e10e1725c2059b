// Paused: a player holds the match for both sides, or the opponent has gone silent and is
// waited for (until it comes back, the wait runs out, or the player claims the win).
#include <algorithm>
#include <cstdio>

#include "net/NetSession.h"
#include "net/NetSessionText.h"
#include "world/GameWorld.h"

using NetSessionText::MinutesAndSeconds;

void CNetSession::SetPaused(CGameWorld& pWorld, bool pPaused)
{
    (void)pWorld;
    if (m_phase != PHASE_PLAYING || (m_pausedBy != 0) == pPaused)
        return;
    m_pausedBy = pPaused ? m_team : 0;
    m_held = false;
    m_heldSince = 0;
    CNetMessage pause;
    pause.type = NET_PAUSE;
    pause.paused = pPaused;
    Send(pause);
    m_transport.Flush();
}

void CNetSession::OnPause(const CNetMessage& pMessage)
{
    m_pausedBy = pMessage.paused ? 3 - m_team : 0;
    m_held = false;
    m_heldSince = 0;
}

uint32_t CNetSession::SilenceMs(uint32_t pNow) const
{
    const uint32_t heard = std::min(m_transport.MsSinceHeard(), pNow - m_heardFloor);
    if (!m_held || m_heldSince == 0)
        return heard;
    // Held for their turn: only a turn that moves the match on counts, whatever else arrives
    // (a peer that acknowledges, pings or sends fragments of a packet it never finishes while it
    // sends no turn would otherwise hold the match for ever).
    uint32_t since = m_heldSince;
    for (uint32_t later : {m_theirThroughAt, m_heardFloor})
    {
        if (later != 0 && static_cast<int32_t>(later - since) > 0)
            since = later;
    }
    const int32_t held = static_cast<int32_t>(pNow - since);
    return std::max(heard, held > 0 ? static_cast<uint32_t>(held) : 0u);
}

bool CNetSession::HeardNothing() const
{
    return m_linkGone || m_transport.MsSinceHeard() >= SILENCE_MS;
}

uint32_t CNetSession::DropWaitLeftMs() const
{
    if (!m_dropped)
        return m_setup.dropWaitMs;
    const uint32_t waited = NowMs() - m_droppedAt;
    return waited >= m_setup.dropWaitMs ? 0 : m_setup.dropWaitMs - waited;
}

bool CNetSession::WatchSilence(CGameWorld& pWorld, uint32_t pNow)
{
    const uint32_t silence = m_linkGone ? SILENCE_MS : SilenceMs(pNow);
    if (m_stoodStill && !m_linkGone && m_transport.MsSinceHeard() < pNow - m_stoodStillUntil)
        m_stoodStill = false;
    if (!m_dropped && silence >= SILENCE_MS)
    {
        m_dropped = true;
        m_droppedAt = pNow;
        m_reaches = 0;
        m_reachToldNoMatch = false;
        if (HeardNothing())
            std::fprintf(stderr, "ampwarden: %s lost its connection; waiting %s for it to return\n",
                         TheirName(), MinutesAndSeconds(m_setup.dropWaitMs).c_str());
        else
            std::fprintf(stderr, "ampwarden: %s sends no turn though its link is alive; waiting %s for it\n",
                         TheirName(), MinutesAndSeconds(m_setup.dropWaitMs).c_str());
    }
    else if (m_dropped && silence < SILENCE_MS)
    {
        m_dropped = false;
        std::fprintf(stderr, "ampwarden: %s is back after %u ms\n", TheirName(),
                     pNow - m_droppedAt + SILENCE_MS);
    }
    if (m_dropped && pNow - m_droppedAt >= m_setup.dropWaitMs)
    {
        ClaimWin(pWorld);
        return false;
    }
    if (m_dropped && !m_setup.hosting)
        ReachReturningHost(pWorld);
    else
        m_reach.reset();
    return m_phase == PHASE_PLAYING;
}

void CNetSession::ClaimWin(CGameWorld& pWorld)
{
    if (m_phase != PHASE_PLAYING || !m_dropped)
        return;
    if (m_stoodStill)
        return End(&pWorld, OUTCOME_UNREACHABLE,
                   std::string("Lost the connection to ") + TheirName() +
                       " after this side stood still: no winner",
                   BYE_QUIT);
    // Nothing at all came: a cut link cannot be told from a crash here, and the other side, if
    // it runs, waits and decides alike; so neither is declared the winner. (A side that is heard
    // but sends no turn hears the claim, and loses.)
    m_noResult = HeardNothing();
    if (m_noResult)
        return End(&pWorld, OUTCOME_UNREACHABLE,
                   std::string("No result: the link to ") + TheirName() + " was cut (nothing came for " +
                       MinutesAndSeconds(NowMs() - m_droppedAt + SILENCE_MS) + ")",
                   -1);
    // The match stops where it stands; should the other side come back, it ends there too.
    m_lastStep = pWorld.m_matchSteps - 1;
    m_leaverSilent = true;
    End(&pWorld, OUTCOME_OPPONENT_LEFT, std::string(TheirName()) + " lost its connection", BYE_CLAIMED);
}
