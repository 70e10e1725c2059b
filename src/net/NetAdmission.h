#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct _ENetHost;
struct _ENetPeer;

// Who holds a peer slot on a port that strangers can reach (the players' port, the observers'
// port). A peer that has not greeted yet holds its slot for at most HANDSHAKE_MS to finish ENet's
// handshake (a half-open one never does) and GREETING_MS more to greet; one address holds at most PER_ADDRESS
// such slots; and a newcomer always finds a slot: when none is free, the oldest peer that has not greeted is
// let go for it (never one younger than GRACE_MS, so that strangers cannot churn an honest peer out before it
// greets). A peer that greeted is never let go here. Refusals are counted and summed up now and then.
class CNetAdmission
{
  public:
    static const int PER_ADDRESS = 2;
    static const uint32_t GRACE_MS = 1000;
    // As long as a joiner tries to reach a host: a handshake at 20 % loss may need its resends.
    static const uint32_t HANDSHAKE_MS = 10000;
    static const uint32_t GREETING_MS = 5000;
    // At most one line of refusals this often.
    static const uint32_t SUMMARY_MS = 10000;

    // A slot as the rules see it.
    struct CSlot
    {
        bool used = false;
        bool greeted = false;
        uint32_t address = 0;
        uint32_t since = 0;
    };
    // Where a newcomer from pAddress goes: PLACE_FREE (a free slot), PLACE_REFUSE (its handshake
    // is dropped; it will try again), or the index of the slot to let go for it.
    static const int PLACE_FREE = -1;
    static const int PLACE_REFUSE = -2;
    static int PlaceFor(const std::vector<CSlot>& pSlots, uint32_t pAddress, uint32_t pNow);
    // True when the datagram opens a connection (ENet's CONNECT), with its connection id.
    static bool IsConnect(const uint8_t* pData, size_t pSize, uint32_t& pConnectId);

    // Sees each datagram before ENet reads it: true when it must be dropped (a handshake with no
    // place for it now). Lets go of a peer to make a place when the rules say so.
    bool Admit(_ENetHost* pHost, uint32_t pNow);
    // The peer greeted (or holds a seat): never let go by these rules.
    void SetGreeted(_ENetPeer* pPeer, bool pGreeted = true);
    // Lets go of every peer whose handshake or greeting is late.
    void Expire(_ENetHost* pHost, uint32_t pNow);
    // A refusal made elsewhere (a full house, another version), counted into the summary.
    void CountRefusal() { ++m_refused; }
    // One line of what was let go and refused since the last one, at most every SUMMARY_MS;
    // empty when nothing is due.
    std::string Summary(uint32_t pNow);
    // Told of each peer let go, before its slot can be taken again.
    std::function<void(_ENetPeer*)> m_onLetGo;
    int LetGoCount() const { return m_letGoTotal; }

  private:
    struct CTracked
    {
        uint32_t since = 0;
        uint32_t connectId = 0;
        uint32_t connectedAt = 0;
        bool greeted = false;
    };
    void Scan(_ENetHost* pHost, uint32_t pNow);
    void LetGo(_ENetHost* pHost, size_t pIndex);
    std::vector<CTracked> m_tracked;
    int m_letGo = 0;
    int m_letGoTotal = 0;
    int m_refused = 0;
    uint32_t m_summaryAt = 0;
};
