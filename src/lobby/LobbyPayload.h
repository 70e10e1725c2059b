#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What the game reads from the lobby's chat server, and what it sends there, as plain data:
// a bounded copy of an XML element, and the readers that turn one into what the lobby shows or
// acts on. Every reader is strict (sizes, counts, version strings, ports) and needs no server.
namespace Lobby
{
// The namespace of the game's own elements: a match advertised in a room presence, and the
// direct messages of a join.
const char* const NS = "urn:ampwarden:lobby:1";
const char* const MUC_USER_NS = "http://jabber.org/protocol/muc#user";
// A copied element: at most this deep, this many children and attributes, these sizes.
const int MAX_DEPTH = 4;
const size_t MAX_CHILDREN = 16;
const size_t MAX_ATTRIBUTES = 16;
const size_t MAX_NAME_BYTES = 64;
const size_t MAX_VALUE_BYTES = 1024;
const size_t MAX_TEXT_BYTES = 1024;
// What a nickname shown in the room and an account may hold.
const size_t MAX_NICK_BYTES = 32;
const size_t MAX_ACCOUNT_BYTES = 96;
// An advertised program or rules version: printable, no spaces.
const size_t MAX_VERSION_BYTES = 40;
} // namespace Lobby

struct CLobbyElement
{
    std::string name;
    std::string ns;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string text;
    std::vector<CLobbyElement> children;

    // The attribute's value, or empty.
    const std::string& Attribute(const std::string& pName) const;
    // The first child of that name (and namespace, when given), or null.
    const CLobbyElement* Child(const std::string& pName, const std::string& pNs = std::string()) const;
    CLobbyElement& Set(const std::string& pName, const std::string& pValue);
};

// A match a host offers in the room: the program and rules it plays, and since when it waits.
struct CLobbyMatchAd
{
    std::string program;
    std::string rules;
    int64_t since = 0; // seconds since 1970, the host's clock
};

// One occupant's presence in the room, as read.
struct CLobbyPresence
{
    std::string nick;
    // The occupant's account ("name@domain"), from the room's own item, and the full address
    // (with its resource) that direct messages go to. Empty when the room hides them.
    std::string account;
    std::string address;
    bool leaving = false;
    // Our own presence coming back (the room has taken us in).
    bool self = false;
    bool advertises = false;
    CLobbyMatchAd ad;
    // Why an advertisement in the presence was not taken (empty when there was none or it was).
    std::string adRefused;
};

// A line of the room's chat.
struct CLobbyChatLine
{
    std::string nick;
    std::string text;
    // A line from the room's history (said before we came in).
    bool history = false;
};

// The direct messages of a join: the joiner asks, the host offers where to connect or refuses.
struct CLobbyJoin
{
    enum Kind
    {
        ASK,
        OFFER,
        REFUSE
    };
    Kind kind = ASK;
    std::string program;
    std::string rules;
    std::string host; // a numeric IPv4 or IPv6 address
    uint16_t port = 0;
    std::string why;
};

// A version string fit to show and compare: 1 to MAX_VERSION_BYTES printable characters, no
// spaces.
bool IsLobbyVersion(const std::string& pText);
// "name@domain" with a plausible name and domain, at most MAX_ACCOUNT_BYTES; false otherwise.
bool IsLobbyAccount(const std::string& pText);
// The bare part ("name@domain") of a full address, empty when it has none.
std::string BareAccount(const std::string& pAddress);

CLobbyElement MatchAdElement(const CLobbyMatchAd& pAd);
bool ReadMatchAd(const CLobbyElement& pElement, CLobbyMatchAd& pOut, std::string& pWhy);
// A presence from the room pRoom ("lobby@conference.domain"); false, with why, when it is not
// one the lobby takes. An advertisement that is refused leaves the presence itself valid.
bool ReadRoomPresence(const CLobbyElement& pPresence, const std::string& pRoom, CLobbyPresence& pOut,
                      std::string& pWhy);
// A groupchat line from the room, made safe as the match chat's lines are.
bool ReadRoomChat(const CLobbyElement& pMessage, const std::string& pRoom, CLobbyChatLine& pOut,
                  std::string& pWhy);
CLobbyElement JoinElement(const CLobbyJoin& pJoin);
bool ReadJoin(const CLobbyElement& pElement, CLobbyJoin& pOut, std::string& pWhy);
