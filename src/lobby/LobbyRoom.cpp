#include "lobby/LobbyRoom.h"

#include <algorithm>

bool CLobbyRoom::Apply(const CLobbyPresence& pPresence)
{
    if (pPresence.leaving)
    {
        m_occupants.erase(pPresence.nick);
        return true;
    }
    auto found = m_occupants.find(pPresence.nick);
    if (found == m_occupants.end())
    {
        int nicks = 0;
        for (const auto& occupant : m_occupants)
            nicks += !pPresence.account.empty() && occupant.second.account == pPresence.account;
        if (m_occupants.size() >= MAX_OCCUPANTS || nicks >= MAX_NICKS_PER_ACCOUNT)
            return ++m_refused, false;
        found = m_occupants.emplace(pPresence.nick, CLobbyOccupant()).first;
    }
    CLobbyOccupant& occupant = found->second;
    occupant.nick = pPresence.nick;
    occupant.account = pPresence.account;
    occupant.address = pPresence.address;
    occupant.advertises = pPresence.advertises;
    occupant.ad = pPresence.ad;
    // One open match per account: the latest replaces any other nickname's.
    if (occupant.advertises)
    {
        for (auto& other : m_occupants)
        {
            if (&other.second != &occupant && other.second.account == occupant.account)
                other.second.advertises = false;
        }
    }
    return true;
}

bool CLobbyRoom::Hear(const std::string& pNick, uint32_t pNowMs)
{
    const auto found = m_occupants.find(pNick);
    const std::string talker = found != m_occupants.end() && !found->second.account.empty()
                                   ? found->second.account
                                   : "nick:" + pNick;
    if (m_talkers.size() > MAX_OCCUPANTS * 2)
        m_talkers.clear();
    if (m_talkers[talker].Allow(pNowMs))
        return true;
    ++m_chatDropped;
    return false;
}

void CLobbyRoom::Clear()
{
    m_occupants.clear();
    m_talkers.clear();
}

std::vector<const CLobbyOccupant*> CLobbyRoom::OpenMatches() const
{
    std::vector<const CLobbyOccupant*> matches;
    for (const auto& occupant : m_occupants)
    {
        if (occupant.second.advertises)
            matches.push_back(&occupant.second);
    }
    std::stable_sort(matches.begin(), matches.end(),
                     [](const CLobbyOccupant* pA, const CLobbyOccupant* pB)
                     { return pA->ad.since < pB->ad.since; });
    if (matches.size() > MAX_OPEN_MATCHES)
        matches.resize(MAX_OPEN_MATCHES);
    return matches;
}

const CLobbyOccupant* CLobbyRoom::MatchOf(const std::string& pAccount) const
{
    for (const auto& occupant : m_occupants)
    {
        if (occupant.second.advertises && occupant.second.account == pAccount)
            return &occupant.second;
    }
    return nullptr;
}
