#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What one side tells the other, through the lobby, so that ICE can find a path between them:
// its credentials and the addresses it may be reached at. Plain text, one item a line:
//
//   ampwarden-ice 1
//   ufrag <4 to 32 ICE characters>
//   pwd <22 to 256 ICE characters>
//   c <foundation> <priority> <address> <port> host|srflx|prflx|relay
//
// An address is numeric IPv4 or IPv6 (never a name: reading a payload looks nothing up). Every
// candidate is for the one UDP component the match needs. Lines of other kinds are passed over,
// so that a later version may add some.
struct CIceCandidate
{
    enum Type
    {
        HOST = 0,
        SERVER_REFLEXIVE,
        PEER_REFLEXIVE,
        RELAYED,
    };
    std::string foundation;
    uint32_t priority = 0;
    std::string address; // numeric, as written
    uint16_t port = 0;
    int type = HOST;
};

struct CIcePayload
{
    std::string ufrag;
    std::string password;
    std::vector<CIceCandidate> candidates;
};

namespace Ice
{
// The longest payload read at all, and its longest line.
const size_t MAX_PAYLOAD_BYTES = 4096;
const size_t MAX_LINE_BYTES = 300;
// Candidates taken from one payload; more are passed over. Each is checked against each of our
// own few, at libnice's pace, so this bounds what a hostile payload makes us send.
const size_t MAX_CANDIDATES = 16;
// What we send: the lobby carries at most a kilobyte of text in one element, so candidates
// past this are left out of our own payload (host ones last).
const size_t MAX_SENT_BYTES = 1000;
} // namespace Ice

const char* IceTypeName(int pType);

std::string EncodeIcePayload(const CIcePayload& pPayload);

// False, with a line saying why, when the payload is unusable (too long, no credentials, not
// ours). Candidates that break a rule (or point at loopback, multicast or nowhere) are dropped
// one by one and counted in pSkipped; more than MAX_CANDIDATES are cut.
bool DecodeIcePayload(const std::string& pText, CIcePayload& pOut, size_t& pSkipped, std::string& pWhy);
