#pragma once

#include <cstdint>
#include <string>

#include "lobby/LobbyPayload.h"

// The STUN and TURN servers the lobby's chat server names (XEP-0215, external service
// discovery), with the short-lived TURN credentials it made for us.
struct CLobbyServices
{
    std::string stunHost; // numeric; empty when none is named
    uint16_t stunPort = 0;
    std::string turnHost; // numeric; empty when none is named
    uint16_t turnPort = 0;
    std::string turnUser;
    std::string turnPassword;
};

namespace Lobby
{
const char* const EXTDISCO_NS = "urn:xmpp:extdisco:2";
// Credentials longer than this are not taken.
const size_t MAX_CREDENTIAL_BYTES = 256;
} // namespace Lobby

// The question, to the server's own domain.
CLobbyElement ServicesQuery(const std::string& pDomain, const std::string& pId);
// The server's answer: the first UDP STUN and the first UDP TURN service with a numeric address,
// a port from 1 to 65535 and (TURN) printable credentials; others are passed over. False, with
// why, when it is no answer of that kind or names neither.
bool ReadServices(const CLobbyElement& pAnswer, CLobbyServices& pOut, std::string& pWhy);
