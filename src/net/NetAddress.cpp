#include "net/NetAddress.h"

#include <arpa/inet.h>

#include "engine/WholeNumber.h"

namespace
{
// An IPv6 literal, with or without a "%zone" after it.
bool IsIpv6Literal(const std::string& pHost)
{
    in6_addr address;
    return inet_pton(AF_INET6, pHost.substr(0, pHost.find('%')).c_str(), &address) == 1;
}
} // namespace

bool ParseNetPort(const std::string& pText, uint16_t& pOut)
{
    long long port = 0;
    if (!ParseWholeNumber(pText.c_str(), 1, 65535, port))
        return false;
    pOut = static_cast<uint16_t>(port);
    return true;
}

bool ParseNetAddress(const std::string& pText, CNetAddress& pOut, std::string& pWhy)
{
    CNetAddress address;
    address.port = Net::DEFAULT_PORT;
    std::string port;
    if (!pText.empty() && pText[0] == '[')
    {
        const size_t close = pText.find(']');
        if (close == std::string::npos || close == 1)
            return pWhy = "an IPv6 address goes in brackets, as [::1]:24680", false;
        address.host = pText.substr(1, close - 1);
        address.ipv6 = true;
        if (close + 1 < pText.size())
        {
            if (pText[close + 1] != ':')
                return pWhy = "only :PORT may follow the bracketed address", false;
            port = pText.substr(close + 2);
            if (port.empty())
                return pWhy = "the port after ':' is missing", false;
        }
    }
    else
    {
        const size_t colon = pText.find(':');
        if (colon != std::string::npos && pText.find(':', colon + 1) != std::string::npos)
        {
            // A bare IPv6 address: its colons cannot be told from a port's.
            address.host = pText;
            address.ipv6 = true;
        }
        else
        {
            address.host = pText.substr(0, colon);
            if (colon != std::string::npos)
            {
                port = pText.substr(colon + 1);
                if (port.empty())
                    return pWhy = "the port after ':' is missing", false;
            }
        }
    }
    if (address.host.empty())
        return pWhy = "no host named", false;
    if (address.ipv6 && !IsIpv6Literal(address.host))
        return pWhy = "'" + address.host + "' is no IPv6 address", false;
    if (!port.empty() && !ParseNetPort(port, address.port))
        return pWhy = "the port must be a whole number from 1 to 65535", false;
    pOut = address;
    return true;
}
