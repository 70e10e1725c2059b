#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "lobby/LobbyClient.h"

// Whether this build can join an advertised match: the same program and rules version.
// False, with why in words a player reads ("plays version 9.99; this is 1.01").
bool CanJoinAd(const CLobbyMatchAd& pAd, const std::string& pProgram, const std::string& pRules,
               std::string& pWhy);
// How long a match has waited, from its advertised start and the time now (seconds since
// 1970): "just now", "40 s", "3 min", "2 h 5 min". A start in the future (the host's clock
// is ahead) is "just now".
std::string WaitingText(int64_t pSince, int64_t pNow);
// What a host answers a join: its address and game port, or a refusal once its match started
// or to another program or rules version.
CLobbyJoin HostAnswer(const CLobbyJoin& pAsk, bool pStarted, const std::string& pProgram,
                      const std::string& pRules, const std::string& pHost, uint16_t pGamePort);

// The join handshake, both sides, without ever waiting: fed the client's direct messages and
// asked once a frame how things stand. A host advertises, answers each join with its address
// on the network toward the server (or a refusal), and withdraws once its match started; a
// joiner asks the advertised account and takes that account's answer only, never a
// nickname's.
class CLobbyMatchmaker
{
  public:
    // How long a joiner waits for the host's answer.
    static const int ANSWER_SECONDS = 10;

    enum JoinState
    {
        IDLE,
        ASKED,
        OFFERED, // Offer() tells where to connect
        REFUSED, // Why() says what the host said
        FAILED,  // no answer, a broken one, or no such match: Why()
    };

    CLobbyMatchmaker(CLobbyClient& pClient, const std::string& pProgram, const std::string& pRules);

    // Advertises a match played on this game port, and answers joins until Started or
    // StopHosting.
    void Host(uint16_t pGamePort, int64_t pNow);
    // The match began: the advertisement goes, later joins are refused.
    void Started();
    void StopHosting();
    bool IsHosting() const { return m_hosting; }
    bool HasStarted() const { return m_started; }
    int Offers() const { return m_offers; }
    // What this host answers a join.
    CLobbyJoin AnswerTo(const CLobbyJoin& pAsk) const;

    // Asks the open match of this account ("name@domain"); false, with why, when it has none
    // or this build cannot join it.
    bool Join(const std::string& pAccount, std::string& pWhy);
    void CancelJoin() { m_state = IDLE; }
    JoinState State() const { return m_state; }
    const CLobbyJoin& Offer() const { return m_answer; }
    const std::string& Why() const { return m_why; }
    const std::string& JoinAccount() const { return m_joinAccount; }

    // A direct message from the room's occupants: true when it was the handshake's.
    bool Take(const CLobbyEvent& pEvent);
    // Gives up a join whose host has not answered in time.
    void Tick();

  private:
    CLobbyClient& m_client;
    std::string m_program;
    std::string m_rules;
    bool m_hosting = false;
    bool m_started = false;
    uint16_t m_gamePort = 0;
    int m_offers = 0;
    JoinState m_state = IDLE;
    std::string m_joinAccount;
    std::chrono::steady_clock::time_point m_asked;
    CLobbyJoin m_answer;
    std::string m_why;
};
