#include "net/NetAdmission.h"

#include <cstring>

#include <enet/enet.h>

namespace
{
// What a peer let go is told (a host that is busy), when it had connected.
const uint32_t CODE_LET_GO = 0xB05E;

// How long ago a slot was taken; never less than 0 (a stamp may lie ahead of a clock read earlier).
uint32_t Age(uint32_t pNow, uint32_t pSince)
{
    const int32_t age = static_cast<int32_t>(pNow - pSince);
    return age > 0 ? static_cast<uint32_t>(age) : 0;
}
} // namespace

int CNetAdmission::PlaceFor(const std::vector<CSlot>& pSlots, uint32_t pAddress, uint32_t pNow)
{
    int sameAddress = 0;
    int oldestSame = -1;
    int oldest = -1;
    bool anyFree = false;
    for (size_t i = 0; i < pSlots.size(); ++i)
    {
        const CSlot& slot = pSlots[i];
        if (!slot.used)
        {
            anyFree = true;
            continue;
        }
        if (slot.greeted)
            continue;
        const int index = static_cast<int>(i);
        if (oldest < 0 || Age(pNow, slot.since) > Age(pNow, pSlots[oldest].since))
            oldest = index;
        if (slot.address != pAddress)
            continue;
        ++sameAddress;
        if (oldestSame < 0 || Age(pNow, slot.since) > Age(pNow, pSlots[oldestSame].since))
            oldestSame = index;
    }
    // Only a peer that had its chance to greet makes way.
    auto makeWay = [&pSlots, pNow](int pIndex)
    { return pIndex >= 0 && Age(pNow, pSlots[pIndex].since) >= GRACE_MS ? pIndex : PLACE_REFUSE; };
    if (sameAddress >= PER_ADDRESS)
        return makeWay(oldestSame);
    if (anyFree)
        return PLACE_FREE;
    return makeWay(oldest);
}

bool CNetAdmission::IsConnect(const uint8_t* pData, size_t pSize, uint32_t& pConnectId)
{
    if (pSize < 2)
        return false;
    const uint16_t peerId = static_cast<uint16_t>(pData[0] << 8 | pData[1]);
    if ((peerId & ~(ENET_PROTOCOL_HEADER_FLAG_MASK | ENET_PROTOCOL_HEADER_SESSION_MASK)) !=
            ENET_PROTOCOL_MAXIMUM_PEER_ID ||
        (peerId & ENET_PROTOCOL_HEADER_FLAG_COMPRESSED))
        return false;
    const size_t at = peerId & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME ? sizeof(ENetProtocolHeader) : 2;
    if (at + sizeof(ENetProtocolConnect) > pSize ||
        (pData[at] & ENET_PROTOCOL_COMMAND_MASK) != ENET_PROTOCOL_COMMAND_CONNECT)
        return false;
    ENetProtocolConnect connect;
    std::memcpy(&connect, pData + at, sizeof connect);
    pConnectId = connect.connectID;
    return true;
}

void CNetAdmission::Scan(ENetHost* pHost, uint32_t pNow)
{
    m_tracked.resize(pHost->peerCount);
    for (size_t i = 0; i < pHost->peerCount; ++i)
    {
        const ENetPeer& peer = pHost->peers[i];
        CTracked& tracked = m_tracked[i];
        if (peer.state == ENET_PEER_STATE_DISCONNECTED)
            tracked = CTracked();
        else if (tracked.since == 0 || tracked.connectId != peer.connectID)
        {
            tracked = CTracked();
            tracked.since = pNow != 0 ? pNow : 1; // 0 marks a free slot
            tracked.connectId = peer.connectID;
        }
        if (peer.state == ENET_PEER_STATE_CONNECTED && tracked.connectedAt == 0)
            tracked.connectedAt = pNow != 0 ? pNow : 1;
    }
}

void CNetAdmission::LetGo(ENetHost* pHost, size_t pIndex)
{
    ENetPeer* peer = &pHost->peers[pIndex];
    if (m_onLetGo)
        m_onLetGo(peer);
    // A half-open handshake is forgotten without a word; a peer that connected is told.
    if (peer->state == ENET_PEER_STATE_CONNECTED)
        enet_peer_disconnect_now(peer, CODE_LET_GO);
    else
        enet_peer_reset(peer);
    m_tracked[pIndex] = CTracked();
    ++m_letGo;
    ++m_letGoTotal;
}

bool CNetAdmission::Admit(ENetHost* pHost, uint32_t pNow)
{
    uint32_t connectId = 0;
    if (!IsConnect(pHost->receivedData, pHost->receivedDataLength, connectId))
        return false;
    Scan(pHost, pNow);
    const ENetAddress& from = pHost->receivedAddress;
    std::vector<CSlot> slots(pHost->peerCount);
    for (size_t i = 0; i < pHost->peerCount; ++i)
    {
        const ENetPeer& peer = pHost->peers[i];
        if (peer.state == ENET_PEER_STATE_DISCONNECTED)
            continue;
        // A handshake sent again: ENet knows it already.
        if (peer.address.host == from.host && peer.address.port == from.port && peer.connectID == connectId)
            return false;
        slots[i].used = true;
        slots[i].greeted = m_tracked[i].greeted;
        slots[i].address = peer.address.host;
        slots[i].since = m_tracked[i].since;
    }
    const int place = PlaceFor(slots, from.host, pNow);
    if (place == PLACE_REFUSE)
    {
        ++m_refused;
        return true;
    }
    if (place >= 0)
        LetGo(pHost, static_cast<size_t>(place));
    return false;
}

void CNetAdmission::SetGreeted(ENetPeer* pPeer, bool pGreeted)
{
    if (!pPeer || !pPeer->host)
        return;
    ENetHost* host = pPeer->host;
    Scan(host, enet_time_get());
    m_tracked[static_cast<size_t>(pPeer - host->peers)].greeted = pGreeted;
}

void CNetAdmission::Expire(ENetHost* pHost, uint32_t pNow)
{
    Scan(pHost, pNow);
    for (size_t i = 0; i < m_tracked.size(); ++i)
    {
        // A handshake has its time to finish (resends on a lossy link), then the time to greet.
        const CTracked& tracked = m_tracked[i];
        const bool late = tracked.connectedAt != 0 ? Age(pNow, tracked.connectedAt) >= GREETING_MS
                                                   : Age(pNow, tracked.since) >= HANDSHAKE_MS;
        if (tracked.since != 0 && !tracked.greeted && late)
            LetGo(pHost, i);
    }
}

std::string CNetAdmission::Summary(uint32_t pNow)
{
    if ((m_letGo == 0 && m_refused == 0) || (m_summaryAt != 0 && pNow - m_summaryAt < SUMMARY_MS))
        return std::string();
    std::string line = "let go of " + std::to_string(m_letGo) +
                       " peers that did not greet in time, refused " + std::to_string(m_refused) +
                       " (counted over " + std::to_string(SUMMARY_MS / 1000) + " s at most)";
    m_letGo = m_refused = 0;
    m_summaryAt = pNow | 1u;
    return line;
}
