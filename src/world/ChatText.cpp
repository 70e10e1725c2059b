#include "world/ChatText.h"

std::string CleanChatText(const std::string& pText)
{
    std::string out;
    for (char c : pText)
    {
        if (c < 0x20 || c > 0x7E)
            continue;
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        if (out.size() >= Chat::MAX_BYTES)
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
    const int observer = pFrom - Chat::FROM_OBSERVER + 1;
    if (observer >= 1 && observer <= Chat::MAX_OBSERVERS)
        return "observer" + std::to_string(observer);
    return std::string();
}

int ChatSenderByTag(const std::string& pTag)
{
    for (int from = 1; from < Chat::FROM_OBSERVER + Chat::MAX_OBSERVERS; ++from)
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
    return "Observer " + std::to_string(pFrom - Chat::FROM_OBSERVER + 1);
}
