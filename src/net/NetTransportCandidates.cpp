// A host's candidates: peers let in to greet, until one is adopted as the opponent (or as the
// returning holder of its seat), let go, or out of time.
#include <algorithm>
#include <cstdio>

#include <enet/enet.h>

#include "net/NetTransport.h"

_ENetPeer* CNetTransport::Candidate(int pIndex) const
{
    for (const auto& candidate : m_candidates)
    {
        if (candidate.first - m_host->peers == pIndex)
            return candidate.first;
    }
    return nullptr;
}

void CNetTransport::ExpireCandidates()
{
    if (!m_admission || !m_host)
        return;
    // Candidates and half-open handshakes alike: every peer but the opponent greets in time.
    const enet_uint32 now = enet_time_get();
    m_admission->Expire(m_host, now);
    const std::string summary = m_admission->Summary(now);
    if (!summary.empty())
        std::fprintf(stderr, "ampwarden: %s\n", summary.c_str());
}

uint32_t CNetTransport::Hold(int pCandidate)
{
    ENetPeer* peer = Candidate(pCandidate);
    if (!peer)
        return 0;
    if (m_admission)
        m_admission->SetGreeted(peer);
    return peer->connectID;
}

bool CNetTransport::IsHeld(int pCandidate, uint32_t pTicket) const
{
    const ENetPeer* peer = Candidate(pCandidate);
    return peer && peer->connectID == pTicket;
}

void CNetTransport::CountRefusal()
{
    if (m_admission)
        m_admission->CountRefusal();
}

void CNetTransport::SendTo(int pCandidate, const std::vector<uint8_t>& pMessage)
{
    ENetPeer* peer = Candidate(pCandidate);
    if (!peer)
        return;
    ENetPacket* packet = enet_packet_create(pMessage.data(), pMessage.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet && enet_peer_send(peer, 0, packet) != 0)
        enet_packet_destroy(packet);
}

void CNetTransport::Adopt(int pCandidate)
{
    ENetPeer* chosen = Candidate(pCandidate);
    if (!chosen || m_peer)
        return;
    for (const auto& candidate : m_candidates)
    {
        if (candidate.first != chosen)
            enet_peer_disconnect_now(candidate.first, CODE_BUSY);
    }
    m_candidates.clear();
    m_peer = chosen;
    if (m_admission)
        m_admission->SetGreeted(m_peer);
    SetDropLimit(m_dropLimitMs);
}

void CNetTransport::Release(uint32_t pCode)
{
    if (!m_peer || !m_hosting)
        return;
    if (m_admission)
        m_admission->SetGreeted(m_peer, false);
    enet_peer_disconnect_later(m_peer, pCode);
    m_peer = nullptr;
}

void CNetTransport::Replace(int pCandidate)
{
    ENetPeer* chosen = Candidate(pCandidate);
    if (!chosen || !m_peer)
        return;
    // The old link says nothing more: its peer is forgotten without a goodbye.
    enet_peer_reset(m_peer);
    m_peer = nullptr;
    m_candidates.erase(std::remove_if(m_candidates.begin(), m_candidates.end(),
                                      [chosen](const std::pair<_ENetPeer*, uint32_t>& pCandidate)
                                      { return pCandidate.first == chosen; }),
                       m_candidates.end());
    m_peer = chosen;
    if (m_admission)
        m_admission->SetGreeted(m_peer);
    SetDropLimit(m_dropLimitMs);
}

void CNetTransport::Drop(int pCandidate, uint32_t pCode)
{
    ENetPeer* peer = Candidate(pCandidate);
    if (!peer)
        return;
    // What was queued for it (our greeting, which names the versions) is delivered first: a
    // goodbye at once would make its ENet drop what it had not handed on yet. One that never
    // acknowledges is let go by the deadline of peers that did not greet.
    enet_peer_disconnect_later(peer, pCode);
    m_candidates.erase(std::remove_if(m_candidates.begin(), m_candidates.end(),
                                      [peer](const std::pair<_ENetPeer*, uint32_t>& pCandidate)
                                      { return pCandidate.first == peer; }),
                       m_candidates.end());
}
