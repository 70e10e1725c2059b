#include <gtest/gtest.h>

#include <enet/enet.h>

#include <cstring>
#include <vector>

#include "net/NetAdmission.h"

// Who makes way for a newcomer (slots: used, greeted, address, since; now is 10,000 ms).
TEST(NetAdmission, ANewcomerFindsAPlaceUnlessEveryStrangerIsTooYoungToMakeWay)
{
    using Slot = CNetAdmission::CSlot;
    const Slot freeSlot{}, old1{true, false, 1, 5000}, young1{true, false, 1, 9500},
        old2{true, false, 2, 4000}, young2{true, false, 2, 9800}, friendOld{true, true, 2, 100};
    struct Case
    {
        std::vector<Slot> slots;
        uint32_t from;
        int place;
    } cases[] = {
        {{freeSlot, old1}, 2, CNetAdmission::PLACE_FREE},
        {{freeSlot, old1, young1}, 1, 0 + 1}, // a third from address 1: its oldest goes
        {{freeSlot, young1, young1}, 1, CNetAdmission::PLACE_REFUSE}, // none had its second yet
        {{old2, old1, friendOld}, 3, 0}, // full: the oldest stranger, never the friend
        {{young2, young1, friendOld}, 3, CNetAdmission::PLACE_REFUSE},
        {{friendOld, friendOld, freeSlot}, 2, CNetAdmission::PLACE_FREE}, // greeted ones count for nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(CNetAdmission::PlaceFor(c.slots, c.from, 10000), c.place) << "from " << c.from;
}

// ENet's CONNECT is told from every other datagram by its layout alone.
TEST(NetAdmission, ReadsAConnectAndItsIdAsEnetWould)
{
    ENetProtocolHeader header;
    header.peerID = ENET_HOST_TO_NET_16(ENET_PROTOCOL_MAXIMUM_PEER_ID | ENET_PROTOCOL_HEADER_FLAG_SENT_TIME);
    header.sentTime = 0;
    ENetProtocolConnect connect;
    std::memset(&connect, 0, sizeof connect);
    connect.header.command = ENET_PROTOCOL_COMMAND_CONNECT | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE;
    connect.connectID = 0x12345678;
    std::vector<uint8_t> datagram(sizeof header + sizeof connect);
    std::memcpy(datagram.data(), &header, sizeof header);
    std::memcpy(datagram.data() + sizeof header, &connect, sizeof connect);
    uint32_t id = 0;
    EXPECT_TRUE(CNetAdmission::IsConnect(datagram.data(), datagram.size(), id));
    EXPECT_EQ(id, 0x12345678u);
    EXPECT_FALSE(CNetAdmission::IsConnect(datagram.data(), datagram.size() - 1, id)) << "cut short";
    datagram[1] = 0; // to peer 0: a connected peer's datagram
    EXPECT_FALSE(CNetAdmission::IsConnect(datagram.data(), datagram.size(), id));
    datagram[1] = 0xFF;
    datagram[sizeof header] = ENET_PROTOCOL_COMMAND_PING;
    EXPECT_FALSE(CNetAdmission::IsConnect(datagram.data(), datagram.size(), id));
}
