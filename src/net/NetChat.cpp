#include "net/NetChat.h"

#include <cstdio>

std::string CleanChatText(const std::string& pText)
{
    std::string out;
    for (char c : pText)
    {
        if (c < 0x20 || c > 0x7E)
            continue;
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        if (out.size() >= Net::MAX_CHAT_BYTES)
            break;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string ChatSenderTag(int pFrom)
{
    if (pFrom == 1)
        return "green";
    if (pFrom == 2)
        return "blue";
    const int observer = pFrom - Net::CHAT_FROM_OBSERVER + 1;
    if (observer >= 1 && observer <= Net::MAX_OBSERVERS)
        return "observer" + std::to_string(observer);
    return std::string();
}

int ChatSenderByTag(const std::string& pTag)
{
    for (int from = 1; from < Net::CHAT_FROM_OBSERVER + Net::MAX_OBSERVERS; ++from)
    {
        if (ChatSenderTag(from) == pTag)
            return from;
    }
    return 0;
}

std::string ChatSenderName(int pFrom, const std::string& pGreenName, const std::string& pBlueName)
{
    if (pFrom == 1)
        return pGreenName.empty() ? "Green" : pGreenName;
    if (pFrom == 2)
        return pBlueName.empty() ? "Blue" : pBlueName;
    return "Observer " + std::to_string(pFrom - Net::CHAT_FROM_OBSERVER + 1);
}

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
