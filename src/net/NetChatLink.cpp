#include "net/NetChatLink.h"

#include <cstdio>

#include "net/NetSession.h"
#include "world/ChatBoard.h"
#include "world/GameWorld.h"

void CNetChatLink::Attach(CNetSession& pSession, CGameWorld& pWorld)
{
    m_session = &pSession;
    m_world = &pWorld;
    pSession.m_onChat = [this](const CNetMessage& pMessage) { Heard(pMessage); };
}

void CNetChatLink::Detach()
{
    if (m_session)
        m_session->m_onChat = nullptr;
    m_session = nullptr;
    m_world = nullptr;
}

void CNetChatLink::Show(const CNetMessage& pMessage)
{
    CChatBoard::Instance().Add(
        pMessage.from, ChatSenderName(pMessage.from, m_world->m_sideNames[1], m_world->m_sideNames[2]),
        pMessage.text);
    if (m_record)
        m_record(pMessage.from, pMessage.text);
}

void CNetChatLink::Heard(const CNetMessage& pMessage)
{
    if (!m_world)
        return;
    // The joiner speaks for blue only; the host for green and for the observers it passes on.
    const int them = 3 - m_session->GetTeam();
    const bool observer = pMessage.from >= Net::CHAT_FROM_OBSERVER;
    if (pMessage.from != them && !(observer && them == 1))
    {
        if (m_strays++ == 0)
            std::fprintf(stderr, "ampwarden: a chat line that claims another sender was dropped\n");
        return;
    }
    if (!m_chat.Accept(pMessage, CNetSession::NowMs()))
        return;
    ++m_heard;
    Show(pMessage);
    if (m_toObservers)
        m_toObservers(pMessage);
}

void CNetChatLink::FromObserver(const CNetMessage& pMessage, bool pToPlayers)
{
    if (!m_world || !m_session)
        return;
    if (pToPlayers)
    {
        Show(pMessage);
        m_session->SendRaw(EncodeNetMessage(pMessage));
    }
    if (m_toObservers)
        m_toObservers(pMessage);
}

std::string CNetChatLink::Say(const std::string& pText)
{
    if (!m_world || !m_session || !m_session->GetTransport().IsConnected())
        return "Chat: nobody is there to hear it";
    CNetMessage message;
    std::string why;
    if (!m_chat.Say(m_session->GetTeam(), m_world->m_matchSteps, pText, CNetSession::NowMs(), message, why))
        return why;
    m_session->SendRaw(EncodeNetMessage(message));
    Show(message);
    if (m_toObservers)
        m_toObservers(message);
    return std::string();
}
