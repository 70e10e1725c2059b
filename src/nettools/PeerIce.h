#pragma once

// The headless peer's ICE side: a link through routers, its payloads passed through two files
// (one each way) by whatever carries them, the lobby or a test.
#include "net/IceLink.h"

#include <chrono>
#include <memory>
#include <string>

struct CPeerIceOptions
{
    CIceServers servers;
    std::string outFile; // our payload, written once gathered
    std::string inFile;  // the other side's, read once it appears
    bool On() const { return !outFile.empty() && !inFile.empty(); }
    // Takes "--stun", "--turn", "--turn-user", "--turn-password", "--ice-out" and "--ice-in";
    // false for other names or a bad value.
    bool Read(const std::string& pName, const char* pValue);
};

class CPeerIce
{
  public:
    bool Start(const CPeerIceOptions& pOptions, bool pHosting, uint16_t pEnetPort, std::string& pWhy);
    // Writes and reads the payloads, says what changed; false (with why) once the link failed.
    bool Step(std::string& pWhy);
    bool Connected() const { return m_link && m_link->GetState() == CIceLink::CONNECTED; }
    CIceLink* Link() const { return m_link.get(); }
    // Milliseconds since Start.
    long long Elapsed() const;

  private:
    CPeerIceOptions m_options;
    std::unique_ptr<CIceLink> m_link;
    bool m_written = false;
    bool m_read = false;
    bool m_connected = false;
    int m_lastState = -1;
    std::chrono::steady_clock::time_point m_started;
};
