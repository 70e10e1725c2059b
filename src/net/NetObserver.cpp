#include "net/NetObserver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <SDL/SDL_keysym.h>

#include "engine/Version.h"
#include "net/NetObserverHost.h"
#include "net/NetSeat.h"
#include "net/NetSession.h"
#include "world/ChatBoard.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
// Messages taken in one pump: the catch-up of a long match comes in several frames.
const int MESSAGES_PER_PUMP = 256;
} // namespace

CNetObserver::CNetObserver(CGameWorld& pWorld) : CViewerControls(pWorld)
{
    m_escapeText = "Esc stop watching";
}

CNetObserver::~CNetObserver()
{
    Stop();
    if (m_transport.IsConnected())
        m_transport.Close(0);
}

bool CNetObserver::Open(const CNetAddress& pAddress, const std::string& pVersion,
                        const std::string& pFingerprint, std::string& pWhy)
{
    m_version = pVersion;
    m_fingerprint = pFingerprint;
    m_hostText = pAddress.ipv6 ? "[" + pAddress.host + "]" : pAddress.host;
    m_hostText += ":" + std::to_string(pAddress.port);
    m_openedAt = CNetSession::NowMs();
    return m_transport.Connect(pAddress.host, pAddress.port, pWhy);
}

void CNetObserver::Send(const CNetMessage& pMessage)
{
    m_transport.Send(EncodeNetMessage(pMessage));
}

void CNetObserver::End(const std::string& pText, bool pWell)
{
    if (m_phase == PHASE_OVER)
        return;
    m_phase = PHASE_OVER;
    m_endText = pText;
    m_endedWell = pWell;
    m_rebuilding = false;
    if (m_readyAt != 0)
        m_stats.watchedMs = CNetSession::NowMs() - m_readyAt;
    m_stats.bytesReceived = m_transport.BytesReceived();
    std::fprintf(stderr, "ampwarden: %s\n", pText.c_str());
    if (m_transport.IsConnected())
        m_transport.Close(0);
}

void CNetObserver::Stop()
{
    if (!m_attached)
        return;
    m_attached = false;
    if (m_world.m_driver == this)
        m_world.m_driver = nullptr;
    m_world.m_playerCommandRoute = nullptr;
    for (std::string& name : m_world.m_sideNames)
        name.clear();
}

void CNetObserver::Pump()
{
    if (m_rebuilding)
        RebuildSome();
    if (m_returning)
        TryAgain();
    CNetTransport::CEvent event;
    for (int i = 0; i < MESSAGES_PER_PUMP && m_phase != PHASE_OVER && m_transport.Poll(event); ++i)
    {
        switch (event.kind)
        {
        case CNetTransport::EVENT_CONNECTED:
        {
            CNetMessage hello;
            hello.type = NET_HELLO;
            hello.protocol = Net::PROTOCOL_VERSION;
            hello.version = m_version;
            hello.fingerprint = m_fingerprint;
            hello.rules = RULES_VERSION;
            Send(hello);
            m_phase = PHASE_CATCHING_UP;
            break;
        }
        case CNetTransport::EVENT_RECEIVED:
        {
            CNetMessage message;
            std::string why;
            if (event.oversized > 0)
                return End("Stopped watching: the host sent a packet of " + std::to_string(event.oversized) +
                               " bytes",
                           false);
            if (!DecodeNetMessage(event.data.data(), event.data.size(), message, why))
                return End("Stopped watching: the host sent " + why, false);
            OnMessage(message);
            break;
        }
        case CNetTransport::EVENT_DISCONNECTED:
        {
            // Once the host said where the match ends, it may go: what it sent plays out.
            if (m_hostEnded && event.code == 0)
                break;
            std::string text = "Stopped watching: " + m_hostText;
            switch (event.code)
            {
            case CNetObserverHost::CODE_FULL:
                text += " has 8 observers already";
                break;
            case CNetObserverHost::CODE_REFUSED:
                text += " runs another version of the game";
                break;
            case CNetObserverHost::CODE_BAD:
                text += " dropped us: our messages broke its rules";
                break;
            case CNetObserverHost::CODE_SLOW:
                text += " dropped us: we fell too far behind";
                break;
            case CNetObserverHost::CODE_TOO_LONG:
                text += " cannot send a match this long";
                break;
            default:
                // A host that crashed may be started again on its port: the match comes back.
                if (m_watched)
                {
                    Lost();
                    continue;
                }
                text +=
                    m_phase == PHASE_CONNECTING ? " did not answer" : " closed the connection or went silent";
                break;
            }
            return End(text, false);
        }
        default:
            break;
        }
    }
    if (m_watched && (m_phase == PHASE_WATCHING || m_phase == PHASE_CATCHING_UP) &&
        m_transport.IsConnected() && m_transport.MsSinceHeard() > HOST_SILENCE_MS)
    {
        std::fprintf(stderr, "ampwarden: nothing from %s for %u s\n", m_hostText.c_str(),
                     HOST_SILENCE_MS / 1000);
        Lost();
    }
    Acknowledge();
    if (m_phase == PHASE_WATCHING)
    {
        m_stats.watchedMs = CNetSession::NowMs() - m_readyAt;
        m_stats.bytesReceived = m_transport.BytesReceived();
    }
    // Played to where the host's match ended.
    if (m_phase == PHASE_WATCHING && m_hostEnded && m_attached && m_world.m_matchSteps >= m_lastStep)
    {
        // How the host said it ended, for the screen the observer goes back to.
        std::string how = m_endReason == BYE_FINISHED  ? "decided"
                          : m_endReason == BYE_QUIT    ? "a player left"
                          : m_endReason == BYE_CLAIMED ? "a player went silent"
                                                       : "broken off";
        if ((m_endReason == BYE_QUIT || m_endReason == BYE_CLAIMED) && m_leaver != 0)
            how = std::string(m_leaver == 1 ? "green" : "blue") +
                  (m_endReason == BYE_QUIT ? " left" : " fell silent");
        char text[160];
        std::snprintf(text, sizeof text, "The match is over at step %d (hash %016llx): %s",
                      m_world.m_matchSteps, static_cast<unsigned long long>(HashMatchState(m_world)),
                      how.c_str());
        if (m_endReason != BYE_FINISHED)
            m_world.m_summaryOpen = true;
        End(text, true);
    }
}

void CNetObserver::OnMessage(const CNetMessage& pMessage)
{
    switch (pMessage.type)
    {
    case NET_WATCH:
        if (m_welcomed)
            return End("Stopped watching: the host sent a second welcome", false);
        m_welcomed = true;
        m_number = pMessage.from;
        m_names[1] = pMessage.greenName;
        m_names[2] = pMessage.blueName;
        m_chatToPlayers = pMessage.paused;
        break;
    case NET_CATCH_UP:
        if (!m_welcomed || m_haveCatchUp)
            return End("Stopped watching: the host sent a catch-up out of turn", false);
        if (m_watched && pMessage.seed != m_matchSeed)
            return End("Stopped watching: " + m_hostText + " came back with another match", false);
        // Held to what the match can have run since its start, before any rebuild.
        if (pMessage.step > MostStepsSince(pMessage.date, static_cast<int64_t>(std::time(nullptr))) ||
            pMessage.date == 0)
            return End("Stopped watching: the host sent a catch-up at step " + std::to_string(pMessage.step) +
                           ", more than its match can have run",
                       false);
        m_matchSeed = pMessage.seed;
        m_catchUp = pMessage;
        m_haveCatchUp = true;
        m_through = m_acked = pMessage.hostThrough;
        m_commands.reserve(static_cast<size_t>(pMessage.count));
        if (pMessage.count == 0)
            OnHistory(CNetMessage());
        break;
    case NET_HISTORY:
        if (!m_haveCatchUp || m_rebuilding || m_phase != PHASE_CATCHING_UP ||
            m_commands.size() + pMessage.commands.size() > static_cast<size_t>(m_catchUp.count))
            return End("Stopped watching: the host sent a history out of turn", false);
        OnHistory(pMessage);
        break;
    case NET_TURN:
        // Each turn takes up where the last left off.
        if (!Following() || pMessage.through - pMessage.span != m_through)
            return End("Stopped watching: the host sent a turn out of turn", false);
        for (const CMatchCommand& command : pMessage.commands)
            Take(command);
        m_through = pMessage.through;
        break;
    case NET_CHAT:
        if (m_chat.Accept(pMessage, CNetSession::NowMs()))
        {
            CChatBoard::Instance().Add(pMessage.from, ChatSenderName(pMessage.from, m_names[1], m_names[2]),
                                       pMessage.text);
            if (m_onChat)
                m_onChat(pMessage.from, pMessage.text);
        }
        break;
    case NET_BYE:
        if (!Following() || pMessage.lastStep < m_catchUp.step || pMessage.lastStep > m_through)
            return End("Stopped watching: the host ended the session", false);
        m_hostEnded = true;
        m_lastStep = pMessage.lastStep;
        m_endReason = pMessage.reason;
        m_leaver = pMessage.from;
        break;
    default:
        return End("Stopped watching: the host sent a message an observer never gets", false);
    }
}

void CNetObserver::Lost()
{
    if (!m_returning)
    {
        m_returning = true;
        m_lostAt = CNetSession::NowMs();
        m_tries = 0;
        std::fprintf(stderr, "ampwarden: lost %s at step %d; trying it again once a second\n",
                     m_hostText.c_str(), m_world.m_matchSteps);
    }
    // The host started again sends the match afresh; the board waits where it stands.
    m_phase = PHASE_RETURNING;
    m_welcomed = false;
    m_catchUp = CNetMessage();
    m_haveCatchUp = false;
    m_rebuilding = false;
    m_commands.clear();
    m_next = 0;
    m_through = m_acked = 0;
    m_hostEnded = false;
}

void CNetObserver::TryAgain()
{
    const uint32_t now = CNetSession::NowMs();
    if (m_rebuilding)
        return;
    if (now - m_lostAt >= static_cast<uint32_t>(m_returnTries) * RETURN_EVERY_MS)
    {
        m_returning = false;
        return End("Stopped watching: " + m_hostText + " did not bring the match back (" +
                       std::to_string(m_tries) + " tries in " + std::to_string((now - m_lostAt) / 1000) +
                       " s)",
                   false);
    }
    if (m_phase != PHASE_RETURNING || (m_tries > 0 && now - m_triedAt < RETURN_EVERY_MS))
        return;
    ++m_tries;
    m_triedAt = now;
    std::string why;
    if (!m_transport.ConnectAgain(why) && m_tries == 1)
        std::fprintf(stderr, "ampwarden: cannot reach %s again yet: %s\n", m_hostText.c_str(), why.c_str());
}

void CNetObserver::Acknowledge()
{
    if (m_phase != PHASE_WATCHING || m_through - m_acked < ACK_STEPS)
        return;
    CNetMessage ack;
    ack.type = NET_READY;
    ack.step = m_through;
    Send(ack);
    m_acked = m_through;
}

std::string CNetObserver::Say(const std::string& pText)
{
    if (m_phase != PHASE_WATCHING || !m_transport.IsConnected())
        return "Chat: nobody is there to hear it";
    CNetMessage message;
    std::string why;
    const int from = Net::CHAT_FROM_OBSERVER + m_number - 1;
    if (!m_chat.Say(from, m_world.m_matchSteps, pText, CNetSession::NowMs(), message, why))
        return why;
    // The host passes it back with everyone else's; it shows then.
    Send(message);
    return m_chatToPlayers ? std::string() : "Chat: the players do not hear observers; observers do";
}

std::string CNetObserver::Headline() const
{
    switch (m_phase)
    {
    case PHASE_CONNECTING:
        return "Reaching " + m_hostText + " to watch";
    case PHASE_CATCHING_UP:
        if (m_rebuilding)
            return "Catching up: step " + std::to_string(m_world.m_matchSteps) + " of " +
                   std::to_string(m_catchUp.step);
        return "Waiting for " + m_hostText + " to send the match";
    case PHASE_RETURNING:
        return "Lost " + m_hostText + ": trying again (" + std::to_string(m_tries) + " of " +
               std::to_string(m_returnTries) + ")";
    case PHASE_OVER:
        return m_endText;
    default:
        return std::string();
    }
}

bool CNetObserver::IsWatching(const CGameWorld& /*pWorld*/) const
{
    return m_attached;
}

std::string CNetObserver::Status(const CGameWorld& pWorld) const
{
    const int behind = m_through + 1 - pWorld.m_matchSteps;
    std::string text = "Observer " + std::to_string(m_number) + "  " +
                       Clock(pWorld.m_matchSteps, static_cast<int>(pWorld.m_stepLength));
    if (m_phase == PHASE_WATCHING && behind > LIVE_STEPS)
        text += "  " + Clock(behind, static_cast<int>(pWorld.m_stepLength)) + " behind, L live";
    else if (m_phase == PHASE_WATCHING)
        text += "  live";
    return text;
}

int CNetObserver::StepsPerTick()
{
    const int behind = m_through + 1 - m_world.m_matchSteps;
    // Live: a few steps behind what came in, catching up faster the further behind it is.
    if (m_live && behind > LIVE_STEPS)
        return std::max(CViewerControls::StepsPerTick(), behind > 4 * LIVE_STEPS ? 8 : 2);
    return CViewerControls::StepsPerTick();
}

bool CNetObserver::BeforeStep(CGameWorld& pWorld)
{
    if (!m_attached || m_phase != PHASE_WATCHING || pWorld.m_matchSteps > m_through ||
        (m_hostEnded && pWorld.m_matchSteps >= m_lastStep))
        return false;
    for (; m_next < m_commands.size() && m_commands[m_next].step <= pWorld.m_matchSteps; ++m_next)
        pWorld.SubmitCommand(m_commands[m_next]);
    return CViewerControls::BeforeStep(pWorld);
}

bool CNetObserver::OnKey(CGameWorld& pWorld, int pSym, bool pPressed)
{
    if (!IsWatching(pWorld))
        return false;
    if (pSym == SDLK_l)
    {
        // Back to live: playing on at the first speed, faster until a few steps behind.
        if (pPressed)
        {
            if (IsPaused())
                CViewerControls::OnKey(pWorld, SDLK_SPACE, true);
            CViewerControls::OnKey(pWorld, SDLK_1, true);
            m_live = true;
        }
        return true;
    }
    if (pPressed && (pSym == SDLK_SPACE || pSym == SDLK_p || (pSym >= SDLK_1 && pSym <= SDLK_4)))
        m_live = false;
    return CViewerControls::OnKey(pWorld, pSym, pPressed);
}

bool ReadObserveOption(int pArgc, char** pArgv, CNetAddress& pAddress, bool& pWanted, std::string& pWhy)
{
    pWanted = false;
    for (int i = 1; pArgv && i < pArgc; ++i)
    {
        if (std::strcmp(pArgv[i], "-observe") != 0)
            continue;
        const char* value = i + 1 < pArgc ? pArgv[i + 1] : nullptr;
        if (pWanted)
            return pWhy = "-observe is given once", false;
        if (!value || value[0] == '-')
            return pWhy = "-observe needs HOST[:PORT], e.g. 192.168.1.20 or 192.168.1.20:24681", false;
        std::string why;
        if (!ParseNetAddress(value, pAddress, why))
            return pWhy = "-observe " + std::string(value) + ": " + why, false;
        // Without a port, the observers' port of a host on the default one.
        if (pAddress.port == Net::DEFAULT_PORT && !std::strstr(value, "24680"))
            pAddress.port = Net::DEFAULT_PORT + 1;
        pWanted = true;
        ++i;
    }
    return true;
}
