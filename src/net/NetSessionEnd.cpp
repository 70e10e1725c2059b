// Ended: how a session ends, whichever phase it is in. A match both sides finished closes
// once every hash is answered; a side that leaves, or claims the win over a silent one,
// agrees with the other on the last step both run; a refusal, a broken rule or a lost link
// ends it where it stands. End() is the one door out: it says why, tells the other side and
// closes.
#include <algorithm>
#include <cstdio>

#include "net/NetSeat.h"
#include "net/NetSession.h"
#include "world/GameWorld.h"

namespace
{
// How long a finished side waits for the other's last hashes.
const uint32_t FINISH_GRACE_MS = 5000;
} // namespace

bool CNetSession::EndWhenDone(CGameWorld& pWorld, uint32_t pNow)
{
    // A finished match closes once both sides are done, every hash is answered and the other
    // side has all of ours: closing drops whatever it has not acknowledged yet (a last hash
    // resent on a lossy link), and it would wait for that hash in vain.
    if (m_finished && ((m_peerFinished && AllChecksAnswered() && m_transport.AllDelivered()) ||
                       pNow - m_finishedAt > FINISH_GRACE_MS))
    {
        End(&pWorld, OUTCOME_DECIDED, m_endText, BYE_FINISHED);
        return true;
    }
    if (m_leaving && pNow - m_leavingSince > LEAVE_WAIT_MS)
    {
        // The other side's last turns did not come: this side ends where it stands.
        End(&pWorld, OUTCOME_LEFT, "You left the match", -1);
        return true;
    }
    return false;
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
    m_leaverSilent = pMessage.reason != BYE_QUIT;
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

void CNetSession::OnBye(CGameWorld& pWorld, const CNetMessage& pMessage)
{
    const bool playing = m_phase == PHASE_PLAYING;
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
            End(&pWorld, OUTCOME_OPPONENT_LEFT, std::string(TheirName()) + " left before the match started",
                -1);
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
            End(&pWorld, OUTCOME_REFUSED, "blue was started again too: neither side holds the match any more",
                -1);
        else
            End(&pWorld, OUTCOME_BROKEN,
                std::string(TheirName()) + " ended the session: our messages broke its rules", -1);
        break;
    }
}

void CNetSession::OnDisconnected(CGameWorld& pWorld, uint32_t pCode)
{
    // A host with an opponent already lets a third peer connect only to turn it away.
    if (pCode == 0x100 + BYE_NO_MATCH && IsReturningHost())
        End(&pWorld, OUTCOME_REFUSED, "blue was started again too: neither side holds the match any more",
            -1);
    else if (pCode == 0x100 + BYE_NO_MATCH && m_offeredSeat != 0)
        End(&pWorld, OUTCOME_REFUSED,
            "Refused: " + m_setup.address.host + " has no match running for this seat (it has ended)", -1);
    else if (pCode == 0x100 + BYE_WRONG_SEAT && m_offeredSeat != 0)
        End(&pWorld, OUTCOME_REFUSED,
            "Refused: " + m_setup.address.host + " holds this seat for another token", -1);
    else if (pCode == 0x100 + BYE_WRONG_SEAT && m_phase != PHASE_PLAYING)
        End(&pWorld, OUTCOME_REFUSED,
            "Refused: " + m_setup.address.host + " waits for its last match's opponent to come back", -1);
    else if (pCode == CODE_NO_RESULT && m_phase == PHASE_PLAYING)
        End(&pWorld, OUTCOME_UNREACHABLE,
            std::string("No result: ") + TheirName() + " heard nothing from this side for its whole wait",
            -1);
    else if (pCode == CODE_SEAT_HELD && m_offeredSeat != 0)
        End(&pWorld, OUTCOME_REFUSED,
            "Refused: the seat's holder still plays in that match at " + m_setup.address.host, -1);
    else if (pCode == 0x100 + BYE_REFUSED && m_phase != PHASE_PLAYING)
        End(&pWorld, OUTCOME_REFUSED, m_setup.address.host + " refused the match: it runs another version",
            -1);
    else if (pCode == CNetTransport::CODE_BUSY)
        End(&pWorld, OUTCOME_UNREACHABLE, m_setup.address.host + " already has an opponent", -1);
    else if (m_phase == PHASE_CONNECTING)
        End(&pWorld, OUTCOME_UNREACHABLE, m_setup.address.host + " does not answer", -1);
    else if (m_peerFinished || m_lastStep >= 0 || m_leaving)
        m_linkGone = true; // the turns to the agreed last step came before; we play ours
    else if (m_phase != PHASE_PLAYING && pCode == 0x100 + BYE_QUIT)
        End(&pWorld, OUTCOME_OPPONENT_LEFT, std::string(TheirName()) + " left before the match started", -1);
    else if (pCode == 0 && m_phase == PHASE_PLAYING)
        m_linkGone = true; // ENet gave up; the wait for its return runs out as it would
    else if (pCode == 0x100 + BYE_QUIT || pCode == 0x100 + BYE_FINISHED)
        End(&pWorld, OUTCOME_OPPONENT_LEFT, std::string(TheirName()) + " left the match", -1);
    else if (pCode == 0)
        End(&pWorld, OUTCOME_OPPONENT_LEFT, std::string(TheirName()) + " stopped answering", -1);
    else
        End(&pWorld, OUTCOME_BROKEN, std::string(TheirName()) + " closed the connection", -1);
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
    if (wasPlaying)
        m_leaver = pOutcome == OUTCOME_OPPONENT_LEFT                         ? 3 - m_team
                   : pOutcome == OUTCOME_LEFT || pOutcome == OUTCOME_CLAIMED ? m_team
                                                                             : 0;
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
    // The match is over off the board: whatever records it ends its file now.
    if (pWorld && wasPlaying)
        pWorld->AnnounceMatchEnd();
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
        m_transport.Close(m_noResult ? CODE_NO_RESULT : 0x100 + BYE_QUIT);
}
