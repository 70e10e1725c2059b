#include "lobby/LobbyPayload.h"

#include <arpa/inet.h>

#include <cstdlib>

#include "net/NetChat.h"

const std::string& CLobbyElement::Attribute(const std::string& pName) const
{
    static const std::string none;
    for (const auto& attribute : attributes)
    {
        if (attribute.first == pName)
            return attribute.second;
    }
    return none;
}

const CLobbyElement* CLobbyElement::Child(const std::string& pName, const std::string& pNs) const
{
    for (const CLobbyElement& child : children)
    {
        if (child.name == pName && (pNs.empty() || child.ns == pNs))
            return &child;
    }
    return nullptr;
}

CLobbyElement& CLobbyElement::Set(const std::string& pName, const std::string& pValue)
{
    attributes.emplace_back(pName, pValue);
    return *this;
}

namespace
{
bool IsPrintable(const std::string& pText, bool pSpaces)
{
    for (char c : pText)
    {
        if (c < 0x20 || c > 0x7E || (c == ' ' && !pSpaces))
            return false;
    }
    return true;
}

// A whole number within [pLow, pHigh], digits only.
bool ReadNumber(const std::string& pText, long long pLow, long long pHigh, long long& pOut)
{
    if (pText.empty() || pText.size() > 12 || pText.find_first_not_of("0123456789") != std::string::npos)
        return false;
    pOut = std::strtoll(pText.c_str(), nullptr, 10);
    return pOut >= pLow && pOut <= pHigh;
}

// "room@domain/nick" from the room: the nick, made safe; empty when it is not from the room.
std::string NickFrom(const std::string& pFrom, const std::string& pRoom)
{
    if (pFrom.size() <= pRoom.size() + 1 || pFrom.compare(0, pRoom.size(), pRoom) != 0 ||
        pFrom[pRoom.size()] != '/')
        return std::string();
    const std::string nick = pFrom.substr(pRoom.size() + 1);
    if (nick.size() > Lobby::MAX_NICK_BYTES * 4)
        return std::string();
    std::string clean = CleanChatText(nick);
    if (clean.size() > Lobby::MAX_NICK_BYTES)
        clean.resize(Lobby::MAX_NICK_BYTES);
    return clean;
}
} // namespace

bool IsLobbyVersion(const std::string& pText)
{
    return !pText.empty() && pText.size() <= Lobby::MAX_VERSION_BYTES && IsPrintable(pText, false);
}

bool IsLobbyAccount(const std::string& pText)
{
    const size_t at = pText.find('@');
    if (pText.empty() || pText.size() > Lobby::MAX_ACCOUNT_BYTES || at == 0 || at == std::string::npos ||
        at + 1 >= pText.size() || !IsPrintable(pText, false))
        return false;
    return pText.find_first_of("@/\"&'<>:", at + 1) == std::string::npos &&
           pText.find_first_of("/\"&'<>:") == std::string::npos;
}

std::string BareAccount(const std::string& pAddress)
{
    const std::string bare = pAddress.substr(0, pAddress.find('/'));
    return IsLobbyAccount(bare) ? bare : std::string();
}

CLobbyElement MatchAdElement(const CLobbyMatchAd& pAd)
{
    CLobbyElement element;
    element.name = "match";
    element.ns = Lobby::NS;
    element.Set("program", pAd.program).Set("rules", pAd.rules).Set("since", std::to_string(pAd.since));
    return element;
}

bool ReadMatchAd(const CLobbyElement& pElement, CLobbyMatchAd& pOut, std::string& pWhy)
{
    if (pElement.name != "match" || pElement.ns != Lobby::NS)
        return pWhy = "not an advertised match", false;
    CLobbyMatchAd ad;
    ad.program = pElement.Attribute("program");
    ad.rules = pElement.Attribute("rules");
    if (!IsLobbyVersion(ad.program))
        return pWhy = "no readable program version", false;
    if (!IsLobbyVersion(ad.rules))
        return pWhy = "no readable rules version", false;
    long long since = 0;
    // From 2001 to 2286: a clock far off is no clock.
    if (!ReadNumber(pElement.Attribute("since"), 1000000000ll, 9999999999ll, since))
        return pWhy = "no readable waiting time", false;
    ad.since = since;
    pOut = ad;
    return true;
}

bool ReadRoomPresence(const CLobbyElement& pPresence, const std::string& pRoom, CLobbyPresence& pOut,
                      std::string& pWhy)
{
    if (pPresence.name != "presence")
        return pWhy = "not a presence", false;
    CLobbyPresence presence;
    presence.nick = NickFrom(pPresence.Attribute("from"), pRoom);
    if (presence.nick.empty())
        return pWhy = "not from an occupant of the room", false;
    const std::string& type = pPresence.Attribute("type");
    if (!type.empty() && type != "unavailable")
        return pWhy = "a presence of type " + CleanChatText(type.substr(0, 16)), false;
    presence.leaving = type == "unavailable";
    if (const CLobbyElement* user = pPresence.Child("x", Lobby::MUC_USER_NS))
    {
        if (const CLobbyElement* item = user->Child("item"))
        {
            presence.address = item->Attribute("jid");
            presence.account = BareAccount(presence.address);
            if (presence.account.empty() || presence.address.size() > Lobby::MAX_ACCOUNT_BYTES * 2 ||
                !IsPrintable(presence.address, false))
                presence.account.clear(), presence.address.clear();
        }
        for (const CLobbyElement& status : user->children)
            presence.self = presence.self || (status.name == "status" && status.Attribute("code") == "110");
    }
    if (const CLobbyElement* match = pPresence.Child("match", Lobby::NS))
    {
        if (presence.leaving)
            ;
        else if (presence.account.empty())
            presence.adRefused = "the room does not say whose match it is";
        else if (ReadMatchAd(*match, presence.ad, presence.adRefused))
            presence.advertises = true;
    }
    pOut = presence;
    return true;
}

bool ReadRoomChat(const CLobbyElement& pMessage, const std::string& pRoom, CLobbyChatLine& pOut,
                  std::string& pWhy)
{
    if (pMessage.name != "message" || pMessage.Attribute("type") != "groupchat")
        return pWhy = "not a line of the room", false;
    CLobbyChatLine line;
    line.nick = NickFrom(pMessage.Attribute("from"), pRoom);
    if (line.nick.empty())
        return pWhy = "not from an occupant of the room", false;
    const CLobbyElement* body = pMessage.Child("body");
    if (!body)
        return pWhy = "no text", false;
    line.text = CleanChatText(body->text);
    if (line.text.empty())
        return pWhy = "nothing printable", false;
    line.history = pMessage.Child("delay", "urn:xmpp:delay") != nullptr;
    pOut = line;
    return true;
}

CLobbyElement JoinElement(const CLobbyJoin& pJoin)
{
    CLobbyElement element;
    element.ns = Lobby::NS;
    if (pJoin.kind == CLobbyJoin::ASK)
        element.name = "join", element.Set("program", pJoin.program).Set("rules", pJoin.rules);
    else if (pJoin.kind == CLobbyJoin::OFFER)
        element.name = "offer", element.Set("host", pJoin.host).Set("port", std::to_string(pJoin.port));
    else
        element.name = "refuse", element.Set("why", pJoin.why);
    return element;
}

bool ReadJoin(const CLobbyElement& pElement, CLobbyJoin& pOut, std::string& pWhy)
{
    if (pElement.ns != Lobby::NS)
        return pWhy = "not the game's", false;
    CLobbyJoin join;
    if (pElement.name == "join")
    {
        join.kind = CLobbyJoin::ASK;
        join.program = pElement.Attribute("program");
        join.rules = pElement.Attribute("rules");
        if (!IsLobbyVersion(join.program) || !IsLobbyVersion(join.rules))
            return pWhy = "a join without readable versions", false;
    }
    else if (pElement.name == "offer")
    {
        join.kind = CLobbyJoin::OFFER;
        join.host = pElement.Attribute("host");
        long long port = 0;
        if (!ReadNumber(pElement.Attribute("port"), 1, 65535, port))
            return pWhy = "an offer with no port from 1 to 65535", false;
        join.port = static_cast<uint16_t>(port);
        // A numeric address only: the joiner never looks a name up on a host's word.
        unsigned char bytes[16];
        if (join.host.size() > 45 || (inet_pton(AF_INET, join.host.c_str(), bytes) != 1 &&
                                      inet_pton(AF_INET6, join.host.c_str(), bytes) != 1))
            return pWhy = "an offer with no numeric address", false;
    }
    else if (pElement.name == "refuse")
    {
        join.kind = CLobbyJoin::REFUSE;
        join.why = CleanChatText(pElement.Attribute("why"));
        if (join.why.size() > 80)
            join.why.resize(80);
    }
    else
        return pWhy = "not a join", false;
    pOut = join;
    return true;
}
