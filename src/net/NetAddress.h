#pragma once

#include <cstdint>
#include <string>

// Where to reach a host: "HOST", "HOST:PORT", "[IPV6]" or "[IPV6]:PORT".
struct CNetAddress
{
    std::string host;
    uint16_t port = 0;
    bool ipv6 = false;
};

namespace Net
{
// The port a host waits on when none is given.
const uint16_t DEFAULT_PORT = 24680;
} // namespace Net

// False, with a one-line reason, when the text is no address of that form or its port is
// not 1 to 65535.
bool ParseNetAddress(const std::string& pText, CNetAddress& pOut, std::string& pWhy);
// A port number from 1 to 65535.
bool ParseNetPort(const std::string& pText, uint16_t& pOut);
