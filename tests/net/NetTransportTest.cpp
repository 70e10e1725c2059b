#include <gtest/gtest.h>

#include <enet/enet.h>

#include <vector>

#include "net/NetTransport.h"

// The packet sizes a datagram announces, read from ENet's own layout: with the sent time, a
// fragment of a 65,536-byte packet (carrying 4 bytes) and a whole reliable packet of 3.
TEST(NetTransport, ReadsTheLongestPacketADatagramAnnouncesAsEnetWould)
{
    const uint8_t fragment = ENET_PROTOCOL_COMMAND_SEND_FRAGMENT | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE;
    const uint8_t reliable = ENET_PROTOCOL_COMMAND_SEND_RELIABLE | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE;
    std::vector<uint8_t> datagram = {0x80, 0,  0x12, 0x34, fragment, 0, 0, 1, 0, 1, 0, 4, 0, 0,
                                     0,    16, 0,    0,    0,        0, 0, 1, 0, 0, 0, 0, 0, 0,
                                     1,    2,  3,    4,    reliable, 0, 0, 2, 0, 3, 7, 8, 9};
    EXPECT_EQ(65536u, LongestAnnouncedPacket(datagram.data(), datagram.size()));
    EXPECT_EQ(0u, LongestAnnouncedPacket(datagram.data(), 27)) << "the fragment's header cut short";
    const std::vector<uint8_t> tail(datagram.end() - 9, datagram.end());
    std::vector<uint8_t> noTime = {0, 0};
    noTime.insert(noTime.end(), tail.begin(), tail.end());
    EXPECT_EQ(3u, LongestAnnouncedPacket(noTime.data(), noTime.size()));
    datagram[0] |= 0x40;
    EXPECT_EQ(0u, LongestAnnouncedPacket(datagram.data(), datagram.size())) << "compressed: ENet reads none";
}
