// Greeting: both sides compare what they run (any difference refuses the match), the host
// times the round trip to choose the input delay, and its start message begins the match on
// both sides.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "engine/Version.h"
#include "net/NetSeat.h"
#include "net/NetSession.h"
#include "world/GameWorld.h"

namespace
{
const int PING_COUNT = 5;
// A turn of ours must reach the other side before it needs it, even when ENet has to send it
// again: the one-way trip, a resend (about one more round trip), a step of margin for the
// frame that services the network, and the wait for our next turn message.
const int MIN_DELAY = 2;
} // namespace

uint32_t CNetSession::MiddleRoundTrip(std::vector<uint32_t> pTrips)
{
    // Not the slowest: a ping that was lost and sent again takes twice the usual trip, and the
    // delay already leaves room for one resend.
    std::nth_element(pTrips.begin(), pTrips.begin() + pTrips.size() / 2, pTrips.end());
    return pTrips[pTrips.size() / 2];
}

int CNetSession::DelayForRoundTrip(uint32_t pRoundTripMs)
{
    const uint32_t ms = pRoundTripMs / 2 + pRoundTripMs + STEP_MS;
    const int steps = static_cast<int>((ms + STEP_MS - 1) / STEP_MS) + TURN_STEPS - 1;
    return std::min(Net::MAX_DELAY, std::max(MIN_DELAY, steps));
}

void CNetSession::OnGreeting(CGameWorld& pWorld, const CNetMessage& pMessage)
{
    if (m_phase != PHASE_GREETING)
        return Broken(pWorld, "a second greeting");
    // Both programs were started again: neither holds the match any more.
    if (!m_setup.hosting && m_offeredSeat != 0 && pMessage.seat == MatchTag(m_seatSeed, m_seatDate))
        return End(&pWorld, OUTCOME_REFUSED,
                   "Refused: " + m_setup.address.host +
                       " was started again too: neither side holds the match any more",
                   BYE_NO_MATCH);
    OnHello(pMessage);
    if (m_phase == PHASE_OVER)
        return;
    if (m_setup.hosting && !IsReturningHost())
    {
        m_phase = PHASE_MEASURING;
        m_pingSentAt = NowMs();
        SendPing(1);
    }
    else
        m_phase = PHASE_MEASURING; // the joiner waits for the start, a returning host for the match
}

std::string CNetSession::HelloDifferences(const CNetMessage& pMessage) const
{
    // One line naming both values of everything that differs; any difference refuses.
    std::string differs;
    auto compare = [&differs](const char* pWhat, const std::string& pHere, const std::string& pThere)
    {
        if (pHere == pThere)
            return;
        differs += differs.empty() ? "" : "; ";
        differs += std::string(pWhat) + " " + pHere + " here, " + PrintableText(pThere) + " there";
    };
    compare("protocol", std::to_string(Net::PROTOCOL_VERSION), std::to_string(pMessage.protocol));
    compare("program version", m_setup.version, pMessage.version);
    compare("data fingerprint", m_setup.fingerprint, pMessage.fingerprint);
    compare("rules", std::to_string(RULES_VERSION), std::to_string(pMessage.rules));
    return differs;
}

void CNetSession::OnHello(const CNetMessage& pMessage)
{
    const std::string differs = HelloDifferences(pMessage);
    m_theirName = pMessage.name;
    if (!differs.empty())
        End(nullptr, OUTCOME_REFUSED, "Refused: " + differs, BYE_REFUSED);
}

void CNetSession::OnPong(CGameWorld& pWorld, const CNetMessage& pMessage)
{
    if (m_phase != PHASE_MEASURING || !m_setup.hosting || pMessage.token == 0)
        return; // an answer to a heartbeat
    if (pMessage.token != m_roundTrips.size() + 1)
        return Broken(pWorld, "an answer to a ping never sent");
    m_roundTrips.push_back(NowMs() - m_pingSentAt);
    if (static_cast<int>(m_roundTrips.size()) < PING_COUNT)
    {
        m_pingSentAt = NowMs();
        SendPing(static_cast<uint32_t>(m_roundTrips.size() + 1));
        return;
    }
    CNetMatchStart start;
    start.seed = m_setup.haveSeed ? m_setup.seed : static_cast<uint32_t>(std::time(nullptr));
    start.delay = DelayForRoundTrip(MiddleRoundTrip(m_roundTrips));
    start.date = static_cast<int64_t>(std::time(nullptr));
    CNetMessage message;
    message.type = NET_START;
    message.seed = start.seed;
    message.delay = start.delay;
    message.date = start.date;
    // The joiner's seat, should it have to come back.
    m_seatToken = message.seat = NewSeatToken();
    Send(message);
    StartMatch(pWorld, start);
    // The host keeps the same token, should it have to come back itself.
    SaveSeat();
}

void CNetSession::OnStart(CGameWorld& pWorld, const CNetMessage& pMessage)
{
    if (m_setup.hosting || m_phase != PHASE_MEASURING)
        return Broken(pWorld, "a start out of turn");
    CNetMatchStart start;
    start.seed = pMessage.seed;
    start.delay = pMessage.delay;
    start.date = pMessage.date;
    m_seatToken = pMessage.seat;
    StartMatch(pWorld, start);
    SaveSeat();
}

bool CNetSession::EndSilentGreeting(CGameWorld& pWorld, uint32_t pNow)
{
    const bool silent = pNow - m_lastReceiveAt > SILENCE_MS;
    // A host's new opponent that greeted but does not agree on the match in time (silent, or
    // talking but never answering the round trips) keeps nobody out: it is let go, and the
    // host waits for another.
    if (m_setup.hosting && !IsReturningHost() && m_adoptedAt != 0 &&
        (silent || pNow - m_adoptedAt > SILENCE_MS))
    {
        std::fprintf(stderr,
                     "ampwarden: %s did not agree on the match within %u s: waiting for another opponent\n",
                     TheirName(), SILENCE_MS / 1000);
        m_transport.Release(CNetTransport::CODE_BUSY);
        m_phase = PHASE_CONNECTING;
        m_adoptedAt = 0;
        m_roundTrips.clear();
        m_theirName.clear();
        return true;
    }
    if (!silent)
        return false;
    End(&pWorld, OUTCOME_UNREACHABLE, std::string(TheirName()) + " stopped answering before the match",
        BYE_QUIT);
    return true;
}
