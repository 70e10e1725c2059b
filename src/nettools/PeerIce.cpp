#include "nettools/PeerIce.h"

#include "net/NetAddress.h"

#include <cstdio>
#include <fstream>
#include <sstream>

bool CPeerIceOptions::Read(const std::string& pName, const char* pValue)
{
    if (pName == "--ice-out")
        return outFile = pValue, true;
    if (pName == "--ice-in")
        return inFile = pValue, true;
    if (pName == "--turn-user")
        return servers.turnUser = pValue, true;
    if (pName == "--turn-password")
        return servers.turnPassword = pValue, true;
    if (pName != "--stun" && pName != "--turn")
        return false;
    CNetAddress address;
    std::string why;
    if (!ParseNetAddress(pValue, address, why) || address.port == 0)
        return false;
    (pName == "--stun" ? servers.stunHost : servers.turnHost) = address.host;
    (pName == "--stun" ? servers.stunPort : servers.turnPort) = address.port;
    return true;
}

bool CPeerIce::Start(const CPeerIceOptions& pOptions, bool pHosting, uint16_t pEnetPort, std::string& pWhy)
{
    m_options = pOptions;
    m_started = std::chrono::steady_clock::now();
    m_link = CIceLink::Start(pOptions.servers, pHosting, pEnetPort, pWhy);
    return m_link != nullptr;
}

long long CPeerIce::Elapsed() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_started)
        .count();
}

bool CPeerIce::Step(std::string& pWhy)
{
    const int state = m_link->GetState();
    if (state != m_lastState)
    {
        m_lastState = state;
        if (state == CIceLink::GATHERED)
            std::fprintf(stderr, "ampwarden-netpeer: addresses gathered after %lld ms\n", Elapsed());
        if (state == CIceLink::CONNECTED)
            std::fprintf(stderr, "ampwarden-netpeer: connected %s (%s) after %lld ms\n",
                         CIceLink::PathName(m_link->GetPathKind()), m_link->Describe().c_str(), Elapsed());
    }
    // A path lost once the match runs is the session's to report (the other side left).
    m_connected = m_connected || state == CIceLink::CONNECTED;
    if (state == CIceLink::FAILED && !m_connected)
        return pWhy = "could not reach the other side: " + m_link->Describe(), false;
    if (!m_written && state >= CIceLink::GATHERED)
    {
        // Whole or not at all: the other side reads it once it is there.
        const std::string part = m_options.outFile + ".part";
        std::ofstream(part) << m_link->LocalPayload();
        m_written = std::rename(part.c_str(), m_options.outFile.c_str()) == 0;
    }
    if (!m_read)
    {
        std::ifstream in(m_options.inFile);
        if (in)
        {
            std::ostringstream text;
            text << in.rdbuf();
            m_read = true;
            if (!m_link->SetRemote(text.str(), pWhy))
                return pWhy = "could not reach the other side: " + pWhy, false;
        }
    }
    return true;
}
