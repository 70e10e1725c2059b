#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>

#include "net/NetMessage.h"

// Chat between the players of a network match and its observers: what a line may hold, how
// often one sender may speak, and who a sender is by name.
namespace Chat
{
// Lines one sender may send in any WINDOW_MS; more are refused (our own) or dropped (theirs).
const int BURST = 5;
const uint32_t WINDOW_MS = 10000;
} // namespace Chat

// A line fit to travel and to show: printable ASCII only (anything else is dropped), runs of
// spaces made one, none at either end, cut at Net::MAX_CHAT_BYTES. Empty when nothing is left.
std::string CleanChatText(const std::string& pText);

// How a sender is written in a replay: "green", "blue", "observer1" ... "observer8"; empty
// for a number no sender has.
std::string ChatSenderTag(int pFrom);
// The sender of a tag, or 0.
int ChatSenderByTag(const std::string& pTag);
// How a sender is shown: a player's name (else "Green"/"Blue"), or "Observer N".
std::string ChatSenderName(int pFrom, const std::string& pGreenName, const std::string& pBlueName);

// At most Chat::BURST lines in any Chat::WINDOW_MS.
class CChatLimiter
{
  public:
    bool Allow(uint32_t pNowMs);

  private:
    std::deque<uint32_t> m_times;
};

// One side's chat: its own lines checked before they leave, and others' lines counted per
// sender as they come, so that a flood is cut without harm.
class CNetChat
{
  public:
    // Our own line: the message to send (step and sender filled in), or false with why.
    bool Say(int pFrom, int pStep, const std::string& pText, uint32_t pNowMs, CNetMessage& pOut,
             std::string& pWhy);
    // A line that came in: false when its sender is over its limit and the line is dropped.
    // The first line dropped from a sender is said on stderr.
    bool Accept(const CNetMessage& pMessage, uint32_t pNowMs);
    int Dropped() const { return m_dropped; }

  private:
    CChatLimiter m_own;
    std::map<int, CChatLimiter> m_senders;
    std::map<int, bool> m_floodSaid;
    int m_dropped = 0;
};
