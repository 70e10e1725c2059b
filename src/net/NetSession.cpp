// A network session's frame: each Pump services the link and hands every event and message to
// the phase it belongs to. The phases, each in its own source:
//   waiting    NetSessionWaiting.cpp   the host waits on its port, the joiner reaches it
//   greeting   NetSessionGreeting.cpp  versions compared, the round trip timed, the start
//   playing    NetLockstep.cpp         turns, steps held for them, hashes compared
//   paused     NetSessionPause.cpp     held by a player, or waiting for a silent opponent
//   rejoining  NetRejoin.cpp, NetRejoinHost.cpp  a side comes back into a running match
//   ended      NetSessionEnd.cpp       every way a session ends
#include "net/NetSession.h"

#include <chrono>
#include <cstdio>

#include "net/NetSessionText.h"
#include "world/GameWorld.h"

using NetSessionText::Capitalised;
using NetSessionText::MinutesAndSeconds;
using NetSessionText::SideName;

namespace
{
// A side that has sent nothing for this long sends a ping, so that silence means trouble.
const uint32_t HEARTBEAT_MS = 1000;
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

const char* CNetSession::TheirName() const
{
    return SideName(3 - m_team);
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
               MinutesAndSeconds(DropWaitLeftMs()) + " for it to return; Escape " +
               (HeardNothing() ? "ends it with no result" : "to claim the win");
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
    if (m_phase == PHASE_CONNECTING && !m_setup.hosting && now - m_openedAt >= REACH_WAIT_MS)
        End(&pWorld, OUTCOME_UNREACHABLE, m_setup.address.host + " does not answer", -1);
    if (m_phase == PHASE_OVER || m_phase == PHASE_CONNECTING)
        return;
    if (m_rebuilding)
        RebuildSome(pWorld);
    now = NowMs();
    SettleSeatClaim(pWorld, now);
    if (m_rejoinPending && now - m_rejoinSince > REJOIN_WAIT_MS)
    {
        End(&pWorld, OUTCOME_BROKEN, std::string(TheirName()) + " came back but never stood ready",
            BYE_BAD_INPUT);
        return;
    }
    if (m_phase == PHASE_OVER)
        return;
    if (EndWhenDone(pWorld, now))
        return;
    if (m_phase != PHASE_PLAYING)
    {
        if (EndSilentGreeting(pWorld, now))
            return;
    }
    else if (!(m_finished && m_peerFinished) && !m_leaving && m_lastStep < 0)
    {
        if (!WatchSilence(pWorld, now))
            return;
    }
    if (now - m_lastSendAt > HEARTBEAT_MS)
        SendPing(0);
    m_transport.Flush();
}

void CNetSession::OnEvent(CGameWorld& pWorld, const CNetTransport::CEvent& pEvent)
{
    switch (pEvent.kind)
    {
    case CNetTransport::EVENT_CONNECTED:
        OnConnected();
        break;
    case CNetTransport::EVENT_CANDIDATE:
        OnCandidate(pEvent.candidate);
        break;
    case CNetTransport::EVENT_DISCONNECTED:
        OnDisconnected(pWorld, pEvent.code);
        break;
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
        OnGreeting(pWorld, pMessage);
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
        OnStart(pWorld, pMessage);
        break;
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
        OnPause(pMessage);
        break;
    case NET_BYE:
        OnBye(pWorld, pMessage);
        break;
    default:
        break;
    }
}
