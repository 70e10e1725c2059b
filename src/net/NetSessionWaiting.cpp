// Waiting: the host waits on its port for an opponent, the joiner reaches the host. Either
// way the side that comes in is greeted, and the session moves on to the greeting.
#include <cstdio>

#include "engine/Version.h"
#include "net/NetSeat.h"
#include "net/NetSession.h"
#include "net/NetSessionText.h"
#include "world/GameWorld.h"

using NetSessionText::MinutesAndSeconds;
using NetSessionText::SideName;

bool CNetSession::Open(const CNetSetup& pSetup, std::string& pWhy)
{
    m_setup = pSetup;
    m_team = pSetup.hosting ? 1 : 2;
    m_phase = PHASE_CONNECTING;
    // ENet lets the link go a little after the session gives up waiting, never before.
    m_transport.SetDropLimit(SILENCE_MS + pSetup.dropWaitMs + 5000);
    m_openedAt = NowMs();
    // A seat kept from a match at this address (or hosted on this port) that this program left
    // without ending it (closed, crashed): a joiner offers it to the host, which takes it back
    // if that match still runs; a host waits on its port for the joiner to bring the match.
    const std::string folder = SeatFolder();
    if (!folder.empty())
    {
        m_seatPath = pSetup.hosting ? HostSeatPath(folder, pSetup.address.port)
                                    : SeatPath(folder, pSetup.address.host, pSetup.address.port);
        CNetSeat seat;
        if (ReadSeat(m_seatPath, seat) && SeatHolderRuns(seat))
        {
            // Another copy plays in that match: this one starts afresh, and the seat file is
            // left alone.
            std::fprintf(stderr, "ampwarden: the program with pid %ld holds a seat at this address\n",
                         seat.pid);
            m_seatPath.clear();
        }
        else if (ReadSeat(m_seatPath, seat))
        {
            m_offeredSeat = seat.token;
            m_seatSeed = seat.seed;
            m_seatDate = seat.date;
            if (pSetup.hosting)
            {
                m_returnTag = MatchTag(seat.seed, seat.date);
                std::fprintf(stderr,
                             "ampwarden: waiting %s for blue to come back into the match of seed %u\n",
                             MinutesAndSeconds(pSetup.dropWaitMs).c_str(), seat.seed);
            }
            else
                std::fprintf(stderr, "ampwarden: offering to come back into the match of seed %u\n",
                             seat.seed);
        }
    }
    if (pSetup.hosting)
        return m_transport.Listen(pSetup.address.port, pWhy);
    return m_transport.Connect(pSetup.address.host, pSetup.address.port, pWhy);
}

CNetMessage CNetSession::Greeting(uint64_t pSeat) const
{
    // One greeting for every side that sends one, so that none forgets a field (one without
    // the rules would read as rules 1).
    CNetMessage hello;
    hello.type = NET_HELLO;
    hello.protocol = Net::PROTOCOL_VERSION;
    hello.version = m_setup.version;
    hello.fingerprint = m_setup.fingerprint;
    hello.rules = RULES_VERSION;
    hello.seat = pSeat;
    hello.name = m_setup.name;
    return hello;
}

void CNetSession::OnConnected()
{
    m_phase = PHASE_GREETING;
    m_lastReceiveAt = NowMs();
    Send(Greeting(m_offeredSeat));
    std::fprintf(stderr, "ampwarden: connected; playing %s\n", SideName(m_team));
}

void CNetSession::OnCandidate(int pCandidate)
{
    // A host started again names the match it comes back to (never its token: the joiner
    // proves itself first); one that plays on names its match as played on, so that its own
    // joiner, trying the port while their link is down, knows the host is still there.
    uint64_t tag = m_phase == PHASE_CONNECTING ? m_returnTag : 0;
    if (m_phase == PHASE_PLAYING)
        tag = PlayingTag(m_start.seed, m_start.date);
    const CNetMessage hello = Greeting(tag);
    m_transport.SendTo(pCandidate, EncodeNetMessage(hello));
}

void CNetSession::OnCandidateMessage(CGameWorld& pWorld, const CNetTransport::CEvent& pEvent)
{
    // A seat's claimant waits for the holder to go: its heartbeats are not a second greeting.
    if (pEvent.candidate == m_seatClaimant)
        return;
    // Only a peer that greets becomes the opponent; anything else lets it go.
    CNetMessage message;
    std::string why;
    if (pEvent.channel != 0 || !DecodeNetMessage(pEvent.data.data(), pEvent.data.size(), message, why) ||
        message.type != NET_HELLO)
    {
        m_transport.Drop(pEvent.candidate);
        return;
    }
    if (message.seat != 0)
        return OnSeatOffer(pWorld, pEvent.candidate, message);
    // During a match only the seat's holder is let back in.
    if (m_phase != PHASE_CONNECTING)
        return m_transport.Drop(pEvent.candidate);
    if (IsReturningHost())
    {
        std::fprintf(stderr,
                     "ampwarden: refused a new opponent: waiting for blue to come back into its match\n");
        return m_transport.Drop(pEvent.candidate, 0x100 + BYE_WRONG_SEAT);
    }
    // Compared before the peer is taken: a stranger running another version is let go (it reads
    // the difference from our greeting) and the wait goes on. Counted, not each said.
    if (!HelloDifferences(message).empty())
    {
        m_transport.CountRefusal();
        return m_transport.Drop(pEvent.candidate, 0x100 + BYE_REFUSED);
    }
    m_transport.Adopt(pEvent.candidate);
    m_adoptedAt = NowMs();
    m_phase = PHASE_GREETING;
    m_lastReceiveAt = NowMs();
    std::fprintf(stderr, "ampwarden: connected; playing %s\n", SideName(m_team));
    OnMessage(pWorld, message, 0);
}
