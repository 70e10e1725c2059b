#include "lobby/LobbyServices.h"

#include <arpa/inet.h>

#include <cstdlib>

namespace
{
bool NumericAddress(const std::string& pText)
{
    unsigned char bytes[16];
    return pText.size() <= 45 &&
           (inet_pton(AF_INET, pText.c_str(), bytes) == 1 || inet_pton(AF_INET6, pText.c_str(), bytes) == 1);
}

bool Credential(const std::string& pText)
{
    if (pText.empty() || pText.size() > Lobby::MAX_CREDENTIAL_BYTES)
        return false;
    for (const char c : pText)
    {
        if (c <= ' ' || c > '~')
            return false;
    }
    return true;
}

uint16_t Port(const std::string& pText)
{
    if (pText.empty() || pText.size() > 5 || pText.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const long port = std::strtol(pText.c_str(), nullptr, 10);
    return port >= 1 && port <= 65535 ? static_cast<uint16_t>(port) : 0;
}
} // namespace

CLobbyElement ServicesQuery(const std::string& pDomain, const std::string& pId)
{
    CLobbyElement iq;
    iq.name = "iq";
    iq.Set("type", "get").Set("to", pDomain).Set("id", pId);
    iq.children.emplace_back();
    iq.children.back().name = "services";
    iq.children.back().ns = Lobby::EXTDISCO_NS;
    return iq;
}

bool ReadServices(const CLobbyElement& pAnswer, CLobbyServices& pOut, std::string& pWhy)
{
    pOut = CLobbyServices();
    const CLobbyElement* services = pAnswer.Child("services", Lobby::EXTDISCO_NS);
    if (pAnswer.name != "iq" || pAnswer.Attribute("type") != "result" || !services)
        return pWhy = "the server names no STUN or TURN service", false;
    for (const CLobbyElement& service : services->children)
    {
        const std::string& type = service.Attribute("type");
        const std::string& host = service.Attribute("host");
        const uint16_t port = Port(service.Attribute("port"));
        const std::string& transport = service.Attribute("transport");
        if (service.name != "service" || port == 0 || !NumericAddress(host) ||
            (!transport.empty() && transport != "udp"))
            continue;
        if (type == "stun" && pOut.stunHost.empty())
            pOut.stunHost = host, pOut.stunPort = port;
        else if (type == "turn" && pOut.turnHost.empty() && Credential(service.Attribute("username")) &&
                 Credential(service.Attribute("password")))
        {
            pOut.turnHost = host;
            pOut.turnPort = port;
            pOut.turnUser = service.Attribute("username");
            pOut.turnPassword = service.Attribute("password");
        }
    }
    if (pOut.stunHost.empty() && pOut.turnHost.empty())
        return pWhy = "the server names no STUN or TURN service this game can use", false;
    return true;
}
