#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "lobby/LobbyPayload.h"
#include "lobby/LobbyRoom.h"

// How to reach the lobby and as whom.
struct CLobbyLogin
{
    // The server's name or address, and its port.
    std::string server = "127.0.0.1";
    uint16_t port = 5222;
    // The chat domain accounts live on; empty: the server's name, or "localhost" for a numeric
    // address.
    std::string domain;
    std::string account; // the name part only
    std::string password;
    // Make the account first (in band), then sign in.
    bool create = false;
    // Refuse to sign in on a stream that is not encrypted.
    bool requireTls = false;
    std::string room = "lobby";
    // The nickname asked for in the room; empty: the account's name.
    std::string nick;
};

// Something the lobby connection has to tell the game.
struct CLobbyEvent
{
    enum Kind
    {
        CREATED,    // the account was made
        SIGNED_IN,  // signed in; the room is being entered
        IN_ROOM,    // the room took us in (its occupants follow as PRESENCE)
        PRESENCE,   // an occupant came, changed or left (already applied to Room())
        CHAT,       // a line of the room's chat, within its sender's rate
        DIRECT,     // a direct message in the game's namespace from another account
        LOST,       // the stream dropped; trying again in `seconds` (the room is emptied)
        FAILED,     // could not sign in or make the account: `text` says why; nothing more comes
        SIGNED_OUT, // ended as asked
    };
    Kind kind = FAILED;
    std::string text;
    int seconds = 0;
    CLobbyPresence presence;
    CLobbyChatLine chat;
    // DIRECT: who sent it (full address and its account) and what.
    std::string from;
    std::string fromAccount;
    CLobbyElement payload;
};

// A connection to the lobby's chat server (XMPP, through libstrophe). The connection runs on
// a thread of its own, so that neither name lookups nor TLS nor a slow server ever hold a
// frame; the game calls Poll once a frame and sends through the other calls, which only queue.
// When the stream drops, it signs in again after 1, 2, 4 ... 30 s, at most MAX_RETRIES times.
class CLobbyClient
{
  public:
    static const int MAX_RETRIES = 8;

    CLobbyClient();
    ~CLobbyClient();
    CLobbyClient(const CLobbyClient&) = delete;
    CLobbyClient& operator=(const CLobbyClient&) = delete;

    // Starts signing in (and making the account first when asked); false, with why, when the
    // login cannot be used at all.
    bool Start(const CLobbyLogin& pLogin, std::string& pWhy);
    // Leaves the room and the server, waiting at most about a second; the thread ends.
    void Stop();
    // The next event, if any; applies presences to Room() as they are taken.
    bool Poll(CLobbyEvent& pOut);

    // A chat line to the room, within the match chat's limits; false, with why, when refused.
    bool Say(const std::string& pText, std::string& pWhy);
    // Shows our open match in our room presence, or takes it away.
    void Advertise(const CLobbyMatchAd& pAd);
    void Withdraw();
    // A payload in the game's namespace to another account's full address.
    void SendDirect(const std::string& pTo, const CLobbyElement& pPayload);
    // A whole stanza as it is, unchecked (tools and tests that play a hostile client).
    void SendStanza(const CLobbyElement& pStanza);

    const CLobbyRoom& Room() const { return m_room; }
    bool InRoom() const { return m_inRoom; }
    // Our own account ("name@domain") and room address ("lobby@conference.domain").
    const std::string& Account() const { return m_account; }
    const std::string& RoomAddress() const { return m_roomAddress; }
    // The local address of our route toward the server, numeric (what a host offers a joiner
    // on this network); empty until signed in.
    std::string LocalAddress() const;
    int Reconnects() const { return m_reconnects; }
    // Stanzas read but refused by the readers (hostile or broken).
    int Refused() const { return m_refusedCount.load() + m_room.Refused(); }

    struct CWorker;

  private:
    void Push(const std::function<void(CWorker&)>& pCommand);

    std::unique_ptr<CWorker> m_worker;
    std::thread m_thread;
    CLobbyRoom m_room;
    CNetChat m_chat;
    std::string m_account;
    std::string m_roomAddress;
    bool m_inRoom = false;
    int m_reconnects = 0;
    std::atomic<int> m_refusedCount{0};
};
