// A received network message through the decoder; whatever it accepts must encode back to
// the same bytes and stay within the limits the session relies on. The same bytes, taken as an
// ENet datagram, through the reading of the packet sizes it announces and of the handshake it
// may open.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/NetAdmission.h"
#include "net/NetMessage.h"
#include "net/NetTransport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    // No command with a packet fits in fewer bytes.
    if (LongestAnnouncedPacket(pData, pSize) != 0 && pSize < 8)
        std::abort();
    uint32_t connectId = 0;
    if (CNetAdmission::IsConnect(pData, pSize, connectId) && pSize < 2 + 48)
        std::abort(); // a handshake is a peer id and a whole CONNECT command (48 bytes)

    CNetMessage message;
    std::string why;
    if (!DecodeNetMessage(pData, pSize, message, why))
        return 0;
    if (static_cast<int>(message.commands.size()) > Net::MAX_TURN_COMMANDS ||
        message.version.size() > Net::MAX_TEXT_BYTES || message.fingerprint.size() > Net::MAX_TEXT_BYTES ||
        message.name.size() > Net::MAX_TEXT_BYTES || message.text.size() > Net::MAX_CHAT_BYTES ||
        message.greenName.size() > Net::MAX_NAME_BYTES || message.blueName.size() > Net::MAX_NAME_BYTES)
        std::abort();
    for (const CMatchCommand& command : message.commands)
    {
        const bool inTurn = message.type != NET_TURN || (command.step <= message.through &&
                                                         command.step > message.through - message.span);
        if (command.kind != CMD_BUILD || !inTurn || command.step < 1 || command.node <= 0)
            std::abort();
    }
    if (EncodeNetMessage(message) != std::vector<uint8_t>(pData, pData + pSize))
        std::abort();
    return 0;
}
