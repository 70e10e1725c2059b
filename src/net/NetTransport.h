#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _ENetHost;
struct _ENetPeer;
struct _ENetEvent;
class CUdp6Bridge;

// One connection to one opponent over ENet, on reliable ordered channels: ENet resends,
// orders and times out; we only hand it messages. A host waits for the first peer and turns
// away any later one.
class CNetTransport
{
  public:
    enum EventKind
    {
        EVENT_NONE = 0,
        EVENT_CONNECTED,    // the opponent is there
        EVENT_RECEIVED,     // a message from the opponent in m_data
        EVENT_DISCONNECTED, // the opponent left (m_code: its reason) or timed out (m_timedOut)
        EVENT_TURNED_AWAY,  // a third peer knocked and was refused
    };
    struct CEvent
    {
        int kind = EVENT_NONE;
        std::vector<uint8_t> data;
        int channel = 0;
        uint32_t code = 0;
        bool timedOut = false;
    };
    // A disconnect code that means "this host already has an opponent".
    static const uint32_t CODE_BUSY = 0xB05E;

    CNetTransport();
    ~CNetTransport();
    CNetTransport(const CNetTransport&) = delete;
    CNetTransport& operator=(const CNetTransport&) = delete;

    // Waits for an opponent on the port (every IPv4 and IPv6 address of this machine).
    bool Listen(uint16_t pPort, std::string& pWhy);
    // Starts reaching a host by IPv4 or IPv6 address or name.
    bool Connect(const std::string& pHost, uint16_t pPort, std::string& pWhy);
    // The next event, waiting at most pWaitMs for one; sends what is queued.
    bool Poll(CEvent& pEvent, uint32_t pWaitMs = 0);
    // Channels are ordered each on its own: a loss on one holds up only that one.
    static const int CHANNELS = 3;
    void Send(const std::vector<uint8_t>& pMessage, int pChannel = 0);
    // Sends what is queued now, without waiting for the next Poll.
    void Flush();
    // Says goodbye with the code, gives what is queued a moment to leave, and closes.
    void Close(uint32_t pCode);
    bool IsConnected() const { return m_peer != nullptr; }
    uint16_t GetPort() const;
    // Bytes of UDP payload sent and received so far, ENet's own headers included.
    uint64_t BytesSent() const;
    uint64_t BytesReceived() const;
    // Datagrams sent so far.
    uint64_t DatagramsSent() const;
    // ENet's current round-trip estimate in milliseconds.
    uint32_t RoundTrip() const;

  private:
    bool Open(const void* pAddress, size_t pPeers, std::string& pWhy);
    // ENet's service, with the IPv6 bridge pumped around it when there is one.
    int Service(_ENetEvent* pEvent, uint32_t pWaitMs);
    _ENetHost* m_host = nullptr;
    _ENetPeer* m_peer = nullptr;
    bool m_hosting = false;
    std::unique_ptr<CUdp6Bridge> m_bridge;
};
