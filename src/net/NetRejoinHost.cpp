// A host that crashed or was closed, started again on its port with its seat kept: it waits
// there for its joiner, which is waiting for it in the match and tries a new connection every
// REACH_AGAIN_MS. The host's greeting names the match it comes back to; the joiner, seeing its
// own match named, offers the seat's token (the joiner speaks first, so that nobody learns the
// token by connecting to the host), and then sends the match as a host sends it to a joiner
// that came back: the host rebuilds, the hashes are compared, play resumes for both.
#include <cstdio>

#include "engine/Version.h"
#include "net/NetSeat.h"
#include "net/NetSession.h"
#include "world/GameWorld.h"

uint64_t CNetSession::MatchTag(uint32_t pSeed, int64_t pDate)
{
    // Never 0, which means "no match" in a greeting.
    return (static_cast<uint64_t>(pDate) << 32 ^ pSeed) | (1ull << 63);
}

uint64_t CNetSession::PlayingTag(uint32_t pSeed, int64_t pDate)
{
    return MatchTag(pSeed, pDate) ^ (1ull << 62);
}

void CNetSession::OnSeatOfferToReturningHost(CGameWorld& pWorld, int pCandidate, const CNetMessage& pHello)
{
    if (pHello.seat != m_offeredSeat)
    {
        std::fprintf(stderr, "ampwarden: refused a seat offered with the wrong token\n");
        return m_transport.Drop(pCandidate, 0x100 + BYE_WRONG_SEAT);
    }
    m_transport.Adopt(pCandidate);
    m_phase = PHASE_GREETING;
    m_lastReceiveAt = NowMs();
    std::fprintf(stderr, "ampwarden: blue is back on a new connection; it sends the match\n");
    // The versions are compared as for any greeting; then the match is awaited.
    OnMessage(pWorld, pHello, 0);
}

void CNetSession::GiveUpReturning(uint32_t pNow)
{
    if (pNow - m_openedAt < m_setup.dropWaitMs)
        return;
    // The joiner has claimed the win by now, or was closed too: that match is over.
    std::fprintf(stderr,
                 "ampwarden: blue did not come back within %u s: that match has ended; waiting for a new "
                 "opponent\n",
                 m_setup.dropWaitMs / 1000);
    RemoveSeat(m_seatPath);
    m_returnTag = 0;
    m_offeredSeat = 0;
}

void CNetSession::ReachReturningHost(CGameWorld& pWorld)
{
    if (m_seatToken == 0)
        return;
    const uint32_t now = NowMs();
    // Bounded: one attempt a REACH_AGAIN_MS while the wait runs, each one's socket closed before
    // the next is opened.
    const int most = static_cast<int>(m_setup.dropWaitMs / REACH_AGAIN_MS) + 2;
    if ((!m_reach || (!m_reach->IsConnected() && now - m_reachAt >= REACH_AGAIN_MS)) && m_reaches < most)
    {
        m_reach.reset(new CNetTransport);
        m_reachAt = now;
        ++m_reaches;
        std::string why;
        if (!m_reach->ConnectAgain(m_transport, why))
            m_reach.reset();
    }
    CNetTransport::CEvent event;
    for (int i = 0; i < 16 && m_reach && m_phase == PHASE_PLAYING && m_reach->Poll(event); ++i)
        OnReachEvent(pWorld, event);
}

void CNetSession::OnReachEvent(CGameWorld& pWorld, const CNetTransport::CEvent& pEvent)
{
    if (pEvent.kind == CNetTransport::EVENT_DISCONNECTED)
        return m_reach.reset();
    if (pEvent.kind != CNetTransport::EVENT_RECEIVED)
        return; // connected: the host greets first
    CNetMessage hello;
    std::string why;
    const uint64_t ours = MatchTag(m_start.seed, m_start.date);
    const bool decoded =
        pEvent.channel == 0 && DecodeNetMessage(pEvent.data.data(), pEvent.data.size(), hello, why);
    if (decoded && hello.type == NET_HELLO && hello.seat == PlayingTag(m_start.seed, m_start.date))
    {
        // The host plays on: only our link to it is down (or one way only). It is waited for.
        if (!m_reachToldNoMatch)
            std::fprintf(stderr,
                         "ampwarden: %s still plays this match; waiting for the link to it to come back\n",
                         TheirName());
        m_reachToldNoMatch = true;
        return m_reach.reset();
    }
    if (pEvent.channel != 0 || !DecodeNetMessage(pEvent.data.data(), pEvent.data.size(), hello, why) ||
        hello.type != NET_HELLO || hello.seat != ours)
    {
        // The program there has no match to come back to (or it is the host that plays on,
        // should its link come back): this connection ends; the next one is tried later.
        if (!m_reachToldNoMatch)
            std::fprintf(stderr, "ampwarden: %s port %u answers, but not to come back into this match\n",
                         m_setup.address.host.c_str(), static_cast<unsigned>(m_setup.address.port));
        m_reachToldNoMatch = true;
        return m_reach.reset();
    }
    m_reach->Send(EncodeNetMessage(Greeting(m_seatToken)));
    // The old link's other end is gone: the new one carries the match from here.
    m_transport.TakeOver(*m_reach);
    m_reach.reset();
    m_lastReceiveAt = NowMs();
    std::fprintf(stderr, "ampwarden: green was started again; sending it the match\n");
    OnHello(hello);
    if (m_phase != PHASE_OVER)
        SendCatchUp(pWorld);
}
