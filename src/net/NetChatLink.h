#pragma once

#include <functional>
#include <string>

#include "net/NetChat.h"

class CGameWorld;
class CNetSession;

// A network match's chat: the lines the other side sends (through the session) and our own,
// shown on the chat board, written to the replay and, on the host, passed on to observers.
class CNetChatLink
{
  public:
    void Attach(CNetSession& pSession, CGameWorld& pWorld);
    void Detach();
    // Our own line: "" once it went, else why not (the limit, nobody to hear it).
    std::string Say(const std::string& pText);
    // A line from an observer, on the host: shown and recorded; it reaches the other player
    // when pToPlayers.
    void FromObserver(const CNetMessage& pMessage, bool pToPlayers);

    // Told of every line shown, to write it into the replay.
    std::function<void(int, const std::string&)> m_record;
    // The host: told of every line the observers are to see.
    std::function<void(const CNetMessage&)> m_toObservers;
    int Heard() const { return m_heard; }
    int Dropped() const { return m_chat.Dropped() + m_strays; }

  private:
    void Show(const CNetMessage& pMessage);
    void Heard(const CNetMessage& pMessage);

    CNetSession* m_session = nullptr;
    CGameWorld* m_world = nullptr;
    CNetChat m_chat;
    int m_heard = 0;
    int m_strays = 0;
};
