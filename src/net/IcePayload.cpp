#include "net/IcePayload.h"

#include <arpa/inet.h>

#include <cstring>
#include <sstream>

namespace
{
const char* const HEADER = "ampwarden-ice 1";
const char* const TYPE_NAMES[] = {"host", "srflx", "prflx", "relay"};

// RFC 8445's ice-char: letters, digits, '+' and '/'.
bool IceChars(const std::string& pText, size_t pMin, size_t pMax)
{
    if (pText.size() < pMin || pText.size() > pMax)
        return false;
    for (const char c : pText)
    {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
              c == '/'))
            return false;
    }
    return true;
}

bool ReadNumber(const std::string& pText, uint64_t pMax, uint64_t& pOut)
{
    if (pText.empty() || pText.size() > 10)
        return false;
    pOut = 0;
    for (const char c : pText)
    {
        if (c < '0' || c > '9')
            return false;
        pOut = pOut * 10 + static_cast<uint64_t>(c - '0');
    }
    return pOut <= pMax;
}

// A numeric address that can be sent to: not loopback, multicast, broadcast, unspecified, or
// an IPv6 link-local one (which would need an interface named by the other side).
bool UsableAddress(const std::string& pText)
{
    in_addr four{};
    in6_addr six{};
    if (inet_pton(AF_INET, pText.c_str(), &four) == 1)
    {
        const uint32_t address = ntohl(four.s_addr);
        const uint32_t top = address >> 24;
        return top != 0 && top != 127 && (address >> 28) != 0xE && address != 0xFFFFFFFFu;
    }
    if (inet_pton(AF_INET6, pText.c_str(), &six) != 1)
        return false;
    return !IN6_IS_ADDR_UNSPECIFIED(&six) && !IN6_IS_ADDR_LOOPBACK(&six) && !IN6_IS_ADDR_MULTICAST(&six) &&
           !IN6_IS_ADDR_LINKLOCAL(&six) && !IN6_IS_ADDR_V4MAPPED(&six);
}

bool ReadCandidate(std::istringstream& pWords, CIceCandidate& pOut)
{
    std::string priority, port, type, extra;
    if (!(pWords >> pOut.foundation >> priority >> pOut.address >> port >> type) || (pWords >> extra))
        return false;
    uint64_t number = 0;
    if (!IceChars(pOut.foundation, 1, 32) || !ReadNumber(priority, 0x7FFFFFFF, number) || number == 0)
        return false;
    pOut.priority = static_cast<uint32_t>(number);
    if (!ReadNumber(port, 65535, number) || number == 0 || pOut.address.size() > 45 ||
        !UsableAddress(pOut.address))
        return false;
    pOut.port = static_cast<uint16_t>(number);
    for (int i = 0; i < 4; ++i)
    {
        if (type == TYPE_NAMES[i])
            return pOut.type = i, true;
    }
    return false;
}
} // namespace

const char* IceTypeName(int pType)
{
    return pType >= 0 && pType < 4 ? TYPE_NAMES[pType] : "?";
}

std::string EncodeIcePayload(const CIcePayload& pPayload)
{
    std::string text =
        std::string(HEADER) + "\nufrag " + pPayload.ufrag + "\npwd " + pPayload.password + "\n";
    for (size_t i = 0; i < pPayload.candidates.size() && i < Ice::MAX_CANDIDATES; ++i)
    {
        const CIceCandidate& candidate = pPayload.candidates[i];
        const std::string line = "c " + candidate.foundation + " " + std::to_string(candidate.priority) +
                                 " " + candidate.address + " " + std::to_string(candidate.port) + " " +
                                 IceTypeName(candidate.type) + "\n";
        if (text.size() + line.size() > Ice::MAX_SENT_BYTES)
            break;
        text += line;
    }
    return text;
}

bool DecodeIcePayload(const std::string& pText, CIcePayload& pOut, size_t& pSkipped, std::string& pWhy)
{
    pOut = CIcePayload();
    pSkipped = 0;
    if (pText.size() > Ice::MAX_PAYLOAD_BYTES)
        return pWhy = "the other side's connection details are too long", false;
    if (std::memchr(pText.data(), '\0', pText.size()))
        return pWhy = "the other side's connection details are not text", false;
    std::istringstream lines(pText);
    std::string line;
    if (!std::getline(lines, line) || line != HEADER)
        return pWhy = "the other side's connection details are not of a kind this version reads", false;
    while (std::getline(lines, line))
    {
        if (line.size() > Ice::MAX_LINE_BYTES)
        {
            ++pSkipped;
            continue;
        }
        std::istringstream words(line);
        std::string key, value, extra;
        words >> key;
        if (key == "c")
        {
            CIceCandidate candidate;
            if (pOut.candidates.size() >= Ice::MAX_CANDIDATES || !ReadCandidate(words, candidate))
                ++pSkipped;
            else
                pOut.candidates.push_back(candidate);
            continue;
        }
        if (key != "ufrag" && key != "pwd")
            continue;
        if (!(words >> value) || (words >> extra))
            return pWhy = "the other side's " + key + " is broken", false;
        if (key == "ufrag" && IceChars(value, 4, 32))
            pOut.ufrag = value;
        else if (key == "pwd" && IceChars(value, 22, 256))
            pOut.password = value;
        else
            return pWhy = "the other side's " + key + " is broken", false;
    }
    if (pOut.ufrag.empty() || pOut.password.empty())
        return pWhy = "the other side's connection details lack its credentials", false;
    return true;
}
