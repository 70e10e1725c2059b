#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lobby/LobbyPayload.h"
#include "net/NetChat.h"

struct CLobbyOccupant
{
    std::string nick;
    std::string account;
    std::string address;
    bool advertises = false;
    CLobbyMatchAd ad;
};

// The room as the lobby shows it: who is in, which matches wait, and whose chat is heard. It
// holds whatever the room says within fixed bounds: so many occupants, so many nicknames per
// account, one open match per account (the latest), and the match chat's rate per account.
class CLobbyRoom
{
  public:
    static const size_t MAX_OCCUPANTS = 1000;
    static const int MAX_NICKS_PER_ACCOUNT = 4;
    static const size_t MAX_OPEN_MATCHES = 200;

    // False when the presence was not taken (the room or the account is full).
    bool Apply(const CLobbyPresence& pPresence);
    // Whether a chat line from this nickname is heard now; false past its account's rate.
    bool Hear(const std::string& pNick, uint32_t pNowMs);
    void Clear();

    const std::map<std::string, CLobbyOccupant>& Occupants() const { return m_occupants; }
    // The open matches, the longest waiting first, at most MAX_OPEN_MATCHES.
    std::vector<const CLobbyOccupant*> OpenMatches() const;
    // The open match of this account ("name@domain"), or null. Never by nickname.
    const CLobbyOccupant* MatchOf(const std::string& pAccount) const;
    int Refused() const { return m_refused; }
    int ChatDropped() const { return m_chatDropped; }

  private:
    std::map<std::string, CLobbyOccupant> m_occupants;
    std::map<std::string, CChatLimiter> m_talkers;
    int m_refused = 0;
    int m_chatDropped = 0;
};
