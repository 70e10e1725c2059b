#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "net/NetMessage.h"
#include "replay/ReplayReader.h"
#include "world/GameWorld.h"

TEST(PlayerName, TravelsInTheGreetingAndTheReplayHeaderAndNamesTheHumanSide)
{
    CNetMessage hello;
    hello.protocol = Net::PROTOCOL_VERSION;
    hello.version = "1.01";
    hello.fingerprint = "00ff";
    hello.name = "Ada Lovelace";
    std::vector<uint8_t> bytes = EncodeNetMessage(hello);
    CNetMessage read;
    std::string why;
    ASSERT_TRUE(DecodeNetMessage(bytes.data(), bytes.size(), read, why)) << why;
    EXPECT_EQ("Ada Lovelace", read.name);
    // A greeting without a name reads as one; a name past 16 characters does not.
    hello.name.clear();
    bytes = EncodeNetMessage(hello);
    ASSERT_TRUE(DecodeNetMessage(bytes.data(), bytes.size(), read, why)) << why;
    EXPECT_EQ("", read.name);
    hello.name = "ABCDEFGHIJKLMNOPQ";
    bytes = EncodeNetMessage(hello);
    EXPECT_FALSE(DecodeNetMessage(bytes.data(), bytes.size(), read, why)) << "a name of 17 characters";
    hello.name = "Bo\x07";
    bytes = EncodeNetMessage(hello);
    EXPECT_FALSE(DecodeNetMessage(bytes.data(), bytes.size(), read, why)) << "a bell in a name";

    CReplayHeader header;
    header.program = "1.01";
    header.data = "0011223344556677";
    header.date = "2026-12-08T00:00:00Z";
    header.sides[0].name = "Ada Lovelace";
    header.sides[1] = CReplaySide{true, 2, ""};
    CReplay replay;
    ASSERT_TRUE(ParseReplay(FormatHeader(header), CReplayExpect(), replay, why)) << why;
    EXPECT_EQ("Ada Lovelace", replay.header.sides[0].name);
    EXPECT_TRUE(replay.header.sides[1].computer);
    header.sides[0].name = "ABCDEFGHIJKLMNOPQ";
    EXPECT_FALSE(ParseReplay(FormatHeader(header), CReplayExpect(), replay, why));
    EXPECT_NE(std::string::npos, why.find("name")) << why;

    CGameWorld& world = TheWorld();
    world.m_demo = false;
    world.ClearMatch();
    world.NewMatch();
    world.m_playerName = "Grace";
    EXPECT_EQ("Grace", world.SideName(1));
    EXPECT_EQ("", world.SideName(2)) << "the computer";
    EXPECT_EQ("Grace", HeaderOfMatch(world, "x").sides[0].name);
    world.m_sideNames[1] = "Host";
    EXPECT_EQ("Host", world.SideName(1)) << "a network match names its sides";
    world.m_sideNames[1].clear();
    world.m_playerCommandRoute = [](const CMatchCommand&) {};
    EXPECT_EQ("", HeaderOfMatch(world, "x").sides[0].name) << "a watched side with no name is not ours";
    world.m_playerCommandRoute = nullptr;
    world.m_playerName.clear();
}
