// A network session's life: reaching the other side, the handshake, the round trip that
// sets the input delay, the start, and every way it ends.
#include "net/NetSession.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "engine/Version.h"
#include "net/NetSeat.h"
#include "world/GameWorld.h"

namespace
{
const int PING_COUNT = 5;
// A side that has sent nothing for this long sends a ping, so that silence means trouble.
const uint32_t HEARTBEAT_MS = 1000;
// A turn of ours must reach the other side before it needs it, even when ENet has to send it
// again: the one-way trip, a resend (about one more round trip), a step of margin for the
// frame that services the network, and the wait for our next turn message.
const int MIN_DELAY = 2;
// How long a finished side waits for the other's last hashes.
const uint32_t FINISH_GRACE_MS = 5000;

const char* SideName(int pTeam)
{
    return pTeam == 1 ? "green" : "blue";
}

std::string Capitalised(const char* pName)
{
    std::string name = pName;
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

// "1:30"
std::string MinutesAndSeconds(uint32_t pMs)
{
    const uint32_t seconds = (pMs + 999) / 1000;
    char text[16];
    std::snprintf(text, sizeof text, "%u:%02u", seconds / 60, seconds % 60);
    return text;
}
} // namespace

CNetSession::~CNetSession()
{
    if (m_transport.IsConnected())
        m_transport.Close(0x100 + BYE_QUIT);
}

uint32_t CNetSession::NowMs()
{
    using namespace std::chrono;
    // Never 0, which marks "not yet" in the timers.
    return static_cast<uint32_t>(
               duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count()) |
           1u;
}

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

const char* CNetSession::TheirName() const
{
    return SideName(3 - m_team);
}

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

std::string CNetSession::Headline() const
{
    char line[160];
    switch (m_phase)
    {
    case PHASE_CONNECTING:
        if (IsReturningHost())
            std::snprintf(line, sizeof line, "Waiting on port %u for blue to come back into the match",
                          static_cast<unsigned>(m_transport.GetPort()));
        else if (m_setup.hosting)
            std::snprintf(line, sizeof line, "Waiting for an opponent on port %u",
                          static_cast<unsigned>(m_transport.GetPort()));
        else
            std::snprintf(line, sizeof line, "Reaching %s port %u", m_setup.address.host.c_str(),
                          static_cast<unsigned>(m_setup.address.port));
        return line;
    case PHASE_GREETING:
    case PHASE_MEASURING:
        if (m_rebuilding)
            return RejoinHeadline();
        if (IsReturningHost())
            return "Blue is back: it sends the match";
        if (m_offeredSeat != 0)
            return "Connected: asking to come back into the match";
        return "Connected: agreeing on the match";
    case PHASE_OVER:
        return m_endText;
    default:
        break;
    }
    if (m_leaving)
        return "Leaving the match";
    if (m_dropped)
        return Capitalised(TheirName()) + " lost its connection - waiting " +
               MinutesAndSeconds(DropWaitLeftMs()) + " for it to return; Escape to claim the win";
    if (m_pausedBy != 0)
        return std::string("Paused by ") + (m_pausedBy == m_team ? "you" : TheirName()) +
               ": P or Escape resumes, Q leaves";
    if (IsWaitingForOpponent())
        return "Waiting for the opponent";
    return RejoinHeadline();
}

bool CNetSession::IsWaitingForOpponent() const
{
    return m_phase == PHASE_PLAYING && m_held && m_heldSince != 0 && NowMs() - m_heldSince > LATE_MS;
}

void CNetSession::Send(const CNetMessage& pMessage)
{
    m_transport.Send(EncodeNetMessage(pMessage));
    m_lastSendAt = NowMs();
}

void CNetSession::SendPing(uint32_t pToken)
{
    CNetMessage ping;
    ping.type = NET_PING;
    ping.token = pToken;
    Send(ping);
}

uint32_t CNetSession::SilenceMs(uint32_t pNow) const
{
    return std::min(m_transport.MsSinceHeard(), pNow - m_heardFloor);
}

uint32_t CNetSession::DropWaitLeftMs() const
{
    if (!m_dropped)
        return m_setup.dropWaitMs;
    const uint32_t waited = NowMs() - m_droppedAt;
    return waited >= m_setup.dropWaitMs ? 0 : m_setup.dropWaitMs - waited;
}

void CNetSession::Pump(CGameWorld& pWorld)
{
    uint32_t now = NowMs();
    // A side that did not run for a while (stopped, or starved of the processor) was the silent
    // one: the silence it finds on coming back is its own, not the other's.
    if (m_lastPumpAt != 0 && now - m_lastPumpAt > SILENCE_MS / 2)
        m_heardFloor = now;
    if (m_lastPumpAt != 0 && now - m_lastPumpAt >= SILENCE_MS && m_phase == PHASE_PLAYING)
    {
        m_stoodStill = true;
        m_stoodStillUntil = now;
    }
    m_lastPumpAt = now;
    CNetTransport::CEvent event;
    // Bounded: a flood is worked off over several frames, never in one.
    for (int i = 0; i < 256 && m_phase != PHASE_OVER && m_transport.Poll(event); ++i)
        OnEvent(pWorld, event);
    if (m_phase == PHASE_CONNECTING && IsReturningHost())
        GiveUpReturning(now);
    if (m_phase == PHASE_OVER || m_phase == PHASE_CONNECTING)
        return;
    if (m_rebuilding)
        RebuildSome(pWorld);
    now = NowMs();
    if (m_rejoinPending && now - m_rejoinSince > REJOIN_WAIT_MS)
    {
        End(&pWorld, OUTCOME_BROKEN, std::string(TheirName()) + " came back but never stood ready",
            BYE_BAD_INPUT);
        return;
    }
    if (m_phase == PHASE_OVER)
        return;
    // A finished match closes once both sides are done, every hash is answered and the other
    // side has all of ours: closing drops whatever it has not acknowledged yet (a last hash
    // resent on a lossy link), and it would wait for that hash in vain.
    if (m_finished && ((m_peerFinished && AllChecksAnswered() && m_transport.AllDelivered()) ||
                       now - m_finishedAt > FINISH_GRACE_MS))
    {
        End(&pWorld, OUTCOME_DECIDED, m_endText, BYE_FINISHED);
        return;
    }
    if (m_leaving && now - m_leavingSince > LEAVE_WAIT_MS)
    {
        // The other side's last turns did not come: this side ends where it stands.
        End(&pWorld, OUTCOME_LEFT, "You left the match", -1);
        return;
    }
    if (m_phase != PHASE_PLAYING)
    {
        if (now - m_lastReceiveAt > SILENCE_MS)
        {
            End(&pWorld, OUTCOME_UNREACHABLE,
                std::string(TheirName()) + " stopped answering before the match", BYE_QUIT);
            return;
        }
    }
    else if (!(m_finished && m_peerFinished) && !m_leaving && m_lastStep < 0)
    {
        const uint32_t silence = m_linkGone ? SILENCE_MS : SilenceMs(now);
        if (m_stoodStill && !m_linkGone && m_transport.MsSinceHeard() < now - m_stoodStillUntil)
            m_stoodStill = false;
        if (!m_dropped && silence >= SILENCE_MS)
        {
            m_dropped = true;
            m_droppedAt = now;
            m_reaches = 0;
            m_reachToldNoMatch = false;
            std::fprintf(stderr, "ampwarden: %s lost its connection; waiting %s for it to return\n",
                         TheirName(), MinutesAndSeconds(m_setup.dropWaitMs).c_str());
        }
        else if (m_dropped && silence < SILENCE_MS)
        {
            m_dropped = false;
            std::fprintf(stderr, "ampwarden: %s is back after %u ms\n", TheirName(),
                         now - m_droppedAt + SILENCE_MS);
        }
        if (m_dropped && now - m_droppedAt >= m_setup.dropWaitMs)
        {
            ClaimWin(pWorld);
            return;
        }
        if (m_dropped && !m_setup.hosting)
            ReachReturningHost(pWorld);
        else
            m_reach.reset();
        if (m_phase != PHASE_PLAYING)
            return;
    }
    if (now - m_lastSendAt > HEARTBEAT_MS)
        SendPing(0);
    m_transport.Flush();
}

void CNetSession::OnCandidate(int pCandidate)
{
    CNetMessage hello;
    hello.type = NET_HELLO;
    hello.protocol = Net::PROTOCOL_VERSION;
    hello.version = m_setup.version;
    hello.fingerprint = m_setup.fingerprint;
    hello.name = m_setup.name;
    // A host started again names the match it comes back to (never its token: the joiner
    // proves itself first).
    hello.seat = m_phase == PHASE_CONNECTING ? m_returnTag : 0;
    m_transport.SendTo(pCandidate, EncodeNetMessage(hello));
}

void CNetSession::OnCandidateMessage(CGameWorld& pWorld, const CNetTransport::CEvent& pEvent)
{
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
    m_transport.Adopt(pEvent.candidate);
    m_phase = PHASE_GREETING;
    m_lastReceiveAt = NowMs();
    std::fprintf(stderr, "ampwarden: connected; playing %s\n", SideName(m_team));
    OnMessage(pWorld, message, 0);
}

void CNetSession::OnEvent(CGameWorld& pWorld, const CNetTransport::CEvent& pEvent)
{
    switch (pEvent.kind)
    {
    case CNetTransport::EVENT_CONNECTED:
    {
        m_phase = PHASE_GREETING;
        m_lastReceiveAt = NowMs();
        CNetMessage hello;
        hello.type = NET_HELLO;
        hello.protocol = Net::PROTOCOL_VERSION;
        hello.version = m_setup.version;
        hello.fingerprint = m_setup.fingerprint;
        hello.rules = RULES_VERSION;
        hello.seat = m_offeredSeat;
        hello.name = m_setup.name;
        Send(hello);
        std::fprintf(stderr, "ampwarden: connected; playing %s\n", SideName(m_team));
        break;
    }
    case CNetTransport::EVENT_TURNED_AWAY:
        std::fprintf(stderr, "ampwarden: turned away a third player\n");
        break;
    case CNetTransport::EVENT_CANDIDATE:
        OnCandidate(pEvent.candidate);
        break;
    case CNetTransport::EVENT_DISCONNECTED:
    {
        const uint32_t code = pEvent.code;
        // A host with an opponent already lets a third peer connect only to turn it away.
        if (code == 0x100 + BYE_NO_MATCH && IsReturningHost())
            End(&pWorld, OUTCOME_REFUSED, "blue was started again too: neither side holds the match any more",
                -1);
        else if (code == 0x100 + BYE_NO_MATCH && m_offeredSeat != 0)
            End(&pWorld, OUTCOME_REFUSED,
                "Refused: " + m_setup.address.host + " has no match running for this seat (it has ended)",
                -1);
        else if (code == 0x100 + BYE_WRONG_SEAT && m_offeredSeat != 0)
            End(&pWorld, OUTCOME_REFUSED,
                "Refused: " + m_setup.address.host + " holds this seat for another token", -1);
        else if (code == 0x100 + BYE_WRONG_SEAT && m_phase != PHASE_PLAYING)
            End(&pWorld, OUTCOME_REFUSED,
                "Refused: " + m_setup.address.host + " waits for its last match's opponent to come back", -1);
        else if (code == CNetTransport::CODE_BUSY)
            End(&pWorld, OUTCOME_UNREACHABLE, m_setup.address.host + " already has an opponent", -1);
        else if (m_phase == PHASE_CONNECTING)
            End(&pWorld, OUTCOME_UNREACHABLE, m_setup.address.host + " does not answer", -1);
        else if (m_peerFinished || m_lastStep >= 0 || m_leaving)
            m_linkGone = true; // the turns to the agreed last step came before; we play ours
        else if (m_phase != PHASE_PLAYING && code == 0x100 + BYE_QUIT)
            End(&pWorld, OUTCOME_OPPONENT_LEFT, std::string(TheirName()) + " left before the match started",
                -1);
        else if (code == 0 && m_phase == PHASE_PLAYING)
            m_linkGone = true; // ENet gave up; the wait for its return runs out as it would
        else if (code == 0x100 + BYE_QUIT || code == 0x100 + BYE_FINISHED)
            End(&pWorld, OUTCOME_OPPONENT_LEFT, std::string(TheirName()) + " left the match", -1);
        else if (code == 0)
            End(&pWorld, OUTCOME_OPPONENT_LEFT, std::string(TheirName()) + " stopped answering", -1);
        else
            End(&pWorld, OUTCOME_BROKEN, std::string(TheirName()) + " closed the connection", -1);
        break;
    }
    case CNetTransport::EVENT_RECEIVED:
    {
        if (pEvent.oversized > 0 && pEvent.candidate >= 0)
        {
            std::fprintf(stderr, "ampwarden: let go of a peer that sent a packet of %u bytes\n",
                         pEvent.oversized);
            return m_transport.Drop(pEvent.candidate);
        }
        if (pEvent.oversized > 0)
            return Broken(pWorld, "a packet of " + std::to_string(pEvent.oversized) + " bytes (at most " +
                                      std::to_string(CNetTransport::MAX_PACKET_BYTES) + " are taken)");
        if (pEvent.candidate >= 0)
            return OnCandidateMessage(pWorld, pEvent);
        m_lastReceiveAt = NowMs();
        CNetMessage message;
        std::string why;
        if (!DecodeNetMessage(pEvent.data.data(), pEvent.data.size(), message, why))
            Broken(pWorld, why);
        else
            OnMessage(pWorld, message, pEvent.channel);
        break;
    }
    default:
        break;
    }
}

void CNetSession::OnMessage(CGameWorld& pWorld, const CNetMessage& pMessage, int pChannel)
{
    // Only turns travel on the other channels.
    if (pChannel != 0 && pMessage.type != NET_TURN)
        return Broken(pWorld, "a message on the wrong channel");
    // Each message is only good in its phase; the channel is ordered, so a peer that keeps
    // to the protocol never sends one early.
    const bool playing = m_phase == PHASE_PLAYING;
    switch (pMessage.type)
    {
    case NET_HELLO:
        if (m_phase != PHASE_GREETING)
            return Broken(pWorld, "a second greeting");
        // Both programs were started again: neither holds the match any more.
        if (!m_setup.hosting && m_offeredSeat != 0 && pMessage.seat != 0)
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
        break;
    case NET_PING:
    {
        CNetMessage pong;
        pong.type = NET_PONG;
        pong.token = pMessage.token;
        Send(pong);
        break;
    }
    case NET_PONG:
        OnPong(pWorld, pMessage);
        break;
    case NET_START:
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
        break;
    }
    case NET_CATCH_UP:
        OnCatchUp(pWorld, pMessage);
        break;
    case NET_HISTORY:
        OnHistory(pWorld, pMessage);
        break;
    case NET_READY:
        OnReady(pWorld, pMessage);
        break;
    case NET_CHAT:
        if (m_onChat)
            m_onChat(pMessage);
        break;
    case NET_TURN:
        // The start comes on the first channel and turns on all three: a turn may overtake
        // the start it follows, and waits for it.
        if (!playing && !m_setup.hosting && m_phase == PHASE_MEASURING && pChannel != 0 &&
            m_earlyTurns.size() < MAX_EARLY_TURNS)
        {
            m_earlyTurns.emplace_back(pMessage, pChannel);
            return;
        }
        if (!playing)
            return Broken(pWorld, "a turn before the match");
        OnTurn(pWorld, pMessage, pChannel);
        break;
    case NET_HASH:
        if (!playing)
            return Broken(pWorld, "a hash before the match");
        OnHash(pWorld, pMessage);
        break;
    case NET_PAUSE:
        if (!playing)
            return Broken(pWorld, "a pause before the match");
        m_pausedBy = pMessage.paused ? 3 - m_team : 0;
        m_held = false;
        m_heldSince = 0;
        break;
    case NET_BYE:
        switch (pMessage.reason)
        {
        case BYE_FINISHED:
            // Said once its last step ran; the connection stays until both are done.
            m_peerFinished = true;
            break;
        case BYE_QUIT:
        case BYE_CLAIMED:
            if (playing)
                OnFarewell(pWorld, pMessage);
            else
                End(&pWorld, OUTCOME_OPPONENT_LEFT,
                    std::string(TheirName()) + " left before the match started", -1);
            break;
        case BYE_REFUSED:
            End(&pWorld, OUTCOME_REFUSED, std::string(TheirName()) + " refused the match", -1);
            break;
        case BYE_DESYNC:
        {
            // Its hash for the step came before this farewell, unless we had not got there.
            const int step = m_theirHashes.empty() ? pWorld.m_matchSteps : m_theirHashes.begin()->first;
            End(&pWorld, OUTCOME_DESYNC, "Out of sync at step " + std::to_string(step), -1);
            break;
        }
        default:
            if (pMessage.reason == BYE_NO_MATCH && IsReturningHost())
                End(&pWorld, OUTCOME_REFUSED,
                    "blue was started again too: neither side holds the match any more", -1);
            else
                End(&pWorld, OUTCOME_BROKEN,
                    std::string(TheirName()) + " ended the session: our messages broke its rules", -1);
            break;
        }
        break;
    default:
        break;
    }
}

void CNetSession::OnHello(const CNetMessage& pMessage)
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

void CNetSession::Broken(CGameWorld& pWorld, const std::string& pWhat)
{
    End(&pWorld, OUTCOME_BROKEN, std::string("Ended: ") + TheirName() + " sent " + pWhat, BYE_BAD_INPUT);
}

void CNetSession::End(CGameWorld* pWorld, int pOutcome, const std::string& pText, int pByeReason)
{
    if (m_phase == PHASE_OVER)
        return;
    const bool wasPlaying = m_phase == PHASE_PLAYING;
    CountTraffic();
    m_phase = PHASE_OVER;
    m_outcome = pOutcome;
    m_endText = pText;
    m_pausedBy = 0;
    m_dropped = false;
    m_leaving = false;
    m_rebuilding = false;
    m_rejoinPending = false;
    m_reach.reset();
    // The match is over for this side: there is nothing to come back to.
    RemoveSeat(m_seatPath);
    // The one who stayed wins a match that was still open (results read from green's side).
    if (pWorld && wasPlaying && pOutcome == OUTCOME_OPPONENT_LEFT && pWorld->m_result == RESULT_UNDECIDED)
    {
        pWorld->m_result = m_team == 1 ? RESULT_WIN : RESULT_LOSE;
        m_endText += ": you win";
        // No step will run again to open the summary, so it opens here.
        pWorld->m_summaryOpen = true;
    }
    if (!m_endText.empty())
        std::fprintf(stderr, "ampwarden: %s\n", m_endText.c_str());
    else if (pWorld)
        std::fprintf(stderr, "ampwarden: the match is over after %d steps\n", pWorld->m_matchSteps);
    if (m_transport.IsConnected() && pByeReason >= 0)
    {
        if (wasPlaying)
            SendClosed();
        CNetMessage bye;
        bye.type = NET_BYE;
        bye.reason = pByeReason;
        bye.lastStep = m_lastStep;
        Send(bye);
        m_transport.Close(0x100 + static_cast<uint32_t>(pByeReason));
    }
    else
        m_transport.Close(0x100 + BYE_QUIT);
}

void CNetSession::Leave(CGameWorld& pWorld)
{
    // Given up before the match began, there was no match to leave.
    if (m_phase < PHASE_PLAYING)
        return End(&pWorld, OUTCOME_LEFT, "You left before the match started", BYE_QUIT);
    if (m_phase != PHASE_PLAYING || m_finished || m_leaving || m_dropped || m_lastStep >= 0 ||
        !m_transport.IsConnected())
        return End(&pWorld, OUTCOME_LEFT, "You left the match", BYE_QUIT);
    // The last step is the last one we closed: the other side has not run past it, and it
    // sends its turns up to it before it ends, so that both run the same steps.
    m_leaving = true;
    m_leavingSince = NowMs();
    m_pausedBy = 0;
    m_lastStep = m_myThrough;
    m_endWinner = 3 - m_team;
    m_endOutcome = OUTCOME_LEFT;
    m_endReason = "You left the match";
    SendClosed();
    CNetMessage bye;
    bye.type = NET_BYE;
    bye.reason = BYE_QUIT;
    bye.lastStep = m_lastStep;
    Send(bye);
    m_transport.Flush();
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
    // The match stops where it stands; should the other side come back, it ends there too.
    m_lastStep = pWorld.m_matchSteps - 1;
    End(&pWorld, OUTCOME_OPPONENT_LEFT, std::string(TheirName()) + " lost its connection", BYE_CLAIMED);
}

void CNetSession::OnFarewell(CGameWorld& pWorld, const CNetMessage& pMessage)
{
    // Up to the step it names, the other side's turns came before its farewell, on this
    // channel; a step we have already passed, or one it never closed, ends the match here.
    const int ran = pWorld.m_matchSteps - 1;
    if (m_leaving)
        return End(&pWorld, OUTCOME_LEFT, "Both sides left the match", -1); // no winner
    m_lastStep = std::max(ran, std::min(pMessage.lastStep, m_theirThrough));
    m_pausedBy = 0;
    m_dropped = false;
    m_leaving = false;
    if (pMessage.reason == BYE_QUIT)
    {
        m_endWinner = m_team;
        m_endOutcome = OUTCOME_OPPONENT_LEFT;
        m_endReason = std::string(TheirName()) + " left the match";
    }
    else
    {
        m_endWinner = 3 - m_team;
        m_endOutcome = OUTCOME_CLAIMED;
        m_endReason = std::string(TheirName()) + " claimed the win: it heard nothing from us for too long";
    }
    if (ran >= m_lastStep)
        EndAgreed(pWorld);
}

void CNetSession::EndAgreed(CGameWorld& pWorld)
{
    // The winner stands in both replays' last line; the results are read from green's side.
    if (pWorld.m_result == RESULT_UNDECIDED && m_endOutcome != OUTCOME_OPPONENT_LEFT)
        pWorld.m_result = m_endWinner == 1 ? RESULT_WIN : RESULT_LOSE;
    End(&pWorld, m_endOutcome, m_endReason, m_endOutcome == OUTCOME_OPPONENT_LEFT ? BYE_FINISHED : -1);
}

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
