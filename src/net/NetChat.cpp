#include "net/NetChat.h"

#include <cstdio>

bool CChatLimiter::Allow(uint32_t pNowMs)
{
    while (!m_times.empty() && pNowMs - m_times.front() >= Chat::WINDOW_MS)
        m_times.pop_front();
    if (static_cast<int>(m_times.size()) >= Chat::BURST)
        return false;
    m_times.push_back(pNowMs);
    return true;
}

bool CNetChat::Say(int pFrom, int pStep, const std::string& pText, uint32_t pNowMs, CNetMessage& pOut,
                   std::string& pWhy)
{
    const std::string text = CleanChatText(pText);
    if (text.empty())
        return pWhy = "nothing to say", false;
    if (!m_own.Allow(pNowMs))
        return pWhy = "Chat: at most 5 lines in 10 seconds", false;
    pOut = CNetMessage();
    pOut.type = NET_CHAT;
    pOut.step = pStep;
    pOut.from = pFrom;
    pOut.text = text;
    return true;
}

bool CNetChat::Accept(const CNetMessage& pMessage, uint32_t pNowMs)
{
    if (m_senders[pMessage.from].Allow(pNowMs))
        return true;
    ++m_dropped;
    if (!m_floodSaid[pMessage.from])
    {
        m_floodSaid[pMessage.from] = true;
        std::fprintf(stderr, "ampwarden: %s sends over 5 chat lines in 10 s: the rest are dropped\n",
                     ChatSenderTag(pMessage.from).c_str());
    }
    return false;
}
