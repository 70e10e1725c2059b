#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>

#include "net/NetMessage.h"
#include "world/ChatText.h"

// Chat between the players of a network match and its observers: how often one sender may
// speak (what a line may hold and who a sender is: world/ChatText.h).
namespace Chat
{
// Lines one sender may send in any WINDOW_MS; more are refused (our own) or dropped (theirs).
const int BURST = 5;
const uint32_t WINDOW_MS = 10000;
} // namespace Chat

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
