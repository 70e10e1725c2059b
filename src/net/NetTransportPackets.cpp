// What a datagram announces before ENet reads it: the longest packet any of its commands
// begins, so that an oversized one is refused before ENet gathers its fragments.
#include <algorithm>
#include <cstring>

#include <enet/enet.h>

#include "net/NetTransport.h"

namespace
{
// What fills an unfinished packet: never read, as its last fragment never comes.
const uint8_t FILLER = 0x55;
} // namespace

uint32_t LongestAnnouncedPacket(const uint8_t* pData, size_t pSize)
{
    if (pSize < 2)
        return 0;
    const uint16_t peerId = static_cast<uint16_t>(pData[0] << 8 | pData[1]);
    if (peerId & ENET_PROTOCOL_HEADER_FLAG_COMPRESSED)
        return 0; // never compressed here: ENet drops it unread
    size_t at = peerId & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME ? sizeof(ENetProtocolHeader) : 2;
    uint32_t longest = 0;
    while (at + sizeof(ENetProtocolCommandHeader) <= pSize)
    {
        ENetProtocol command;
        const uint8_t number = pData[at] & ENET_PROTOCOL_COMMAND_MASK;
        const size_t size = number < ENET_PROTOCOL_COMMAND_COUNT ? enet_protocol_command_size(number) : 0;
        if (size == 0 || at + size > pSize)
            break;
        std::memcpy(&command, pData + at, size);
        uint32_t length = 0;
        size_t carried = 0;
        switch (number)
        {
        case ENET_PROTOCOL_COMMAND_SEND_RELIABLE:
            length = carried = ENET_NET_TO_HOST_16(command.sendReliable.dataLength);
            break;
        case ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE:
            length = carried = ENET_NET_TO_HOST_16(command.sendUnreliable.dataLength);
            break;
        case ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED:
            length = carried = ENET_NET_TO_HOST_16(command.sendUnsequenced.dataLength);
            break;
        case ENET_PROTOCOL_COMMAND_SEND_FRAGMENT:
        case ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE_FRAGMENT:
            carried = ENET_NET_TO_HOST_16(command.sendFragment.dataLength);
            length = ENET_NET_TO_HOST_32(command.sendFragment.totalLength);
            break;
        default:
            break;
        }
        longest = std::max(longest, length);
        at += size + carried;
    }
    return longest;
}

void CNetTransport::SendUnfinished(size_t pBytes)
{
    if (!m_peer)
        return;
    const std::vector<uint8_t> bytes(pBytes, FILLER);
    Send(bytes);
    // The last fragment queued is taken back before it ever leaves.
    for (ENetListIterator it = enet_list_previous(enet_list_end(&m_peer->outgoingCommands));
         it != enet_list_end(&m_peer->outgoingCommands); it = enet_list_previous(it))
    {
        ENetOutgoingCommand* command = reinterpret_cast<ENetOutgoingCommand*>(it);
        if ((command->command.header.command & ENET_PROTOCOL_COMMAND_MASK) !=
            ENET_PROTOCOL_COMMAND_SEND_FRAGMENT)
            continue;
        enet_list_remove(&command->outgoingCommandList);
        if (command->packet && --command->packet->referenceCount == 0)
            enet_packet_destroy(command->packet);
        enet_free(command);
        return;
    }
}
