#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>

#include "net/NetAddress.h"
#include "net/NetMessage.h"
#include "net/NetSeat.h"

#include "net/NetSession.h"
#include <sys/wait.h>
#include <unistd.h>

namespace
{
CMatchCommand Build(int pStep, int pTeam, int pTool, float pX, float pY, int pNode)
{
    CMatchCommand command;
    command.step = pStep;
    command.team = pTeam;
    command.tool = pTool;
    command.point = CVector2(pX, pY);
    command.aim = CVector2(pY, pX > 630.0f ? 1.0f : pX);
    command.node = pNode;
    return command;
}

CNetMessage Turn(std::vector<CMatchCommand> pCommands)
{
    CNetMessage turn;
    turn.type = NET_TURN;
    turn.through = 100;
    turn.span = Net::MAX_TURN_SPAN;
    turn.commands = pCommands;
    return turn;
}

bool Decodes(const std::vector<uint8_t>& pBytes, CNetMessage* pOut = nullptr)
{
    CNetMessage message;
    std::string why;
    const bool ok = DecodeNetMessage(pBytes.data(), pBytes.size(), message, why);
    if (pOut)
        *pOut = message;
    return ok;
}
} // namespace

TEST(NetMessageTest, EveryTypeSurvivesTheRoundTripInLittleEndian)
{
    std::vector<CNetMessage> messages(15);
    messages[0].type = NET_HELLO, messages[0].protocol = Net::PROTOCOL_VERSION, messages[0].version = "1.01",
    messages[0].fingerprint = "ab", messages[0].rules = 0x010203;
    messages[1].type = NET_PING, messages[1].token = 0x01020304;
    messages[2].type = NET_PONG, messages[2].token = 7;
    messages[3].type = NET_START, messages[3].seed = 99, messages[3].delay = 4, messages[3].date = 1700000000;
    messages[4] = Turn({Build(99, 2, 1, 10.5f, 620.0f, 3), Build(100, 2, 4, 944.0f, 0.0f, 77)});
    messages[5].type = NET_HASH, messages[5].step = 64, messages[5].hash = 0x8877665544332211ull;
    messages[6].type = NET_PAUSE, messages[6].paused = true;
    messages[7].type = NET_BYE, messages[7].reason = BYE_CLAIMED, messages[7].lastStep = 1234,
    messages[7].from = 2;
    messages[8] = messages[0], messages[8].seat = 0xFEDCBA9876543210ull;
    messages[9] = messages[3], messages[9].seat = 5;
    messages[10].type = NET_CATCH_UP, messages[10].seed = 3, messages[10].delay = 9,
    messages[10].step = 56250, messages[10].hostThrough = 56258, messages[10].joinerThrough = 56249,
    messages[10].hash = 77, messages[10].count = Net::MAX_CATCH_UP_COMMANDS;
    // A full history message: the largest the catch-up sends, within the message limit.
    messages[11].type = NET_HISTORY;
    messages[11].commands.assign(Net::MAX_HISTORY_COMMANDS, Build(Net::MAX_STEP, 1, 4, 944.0f, 630.0f, 9));
    messages[12].type = NET_READY, messages[12].step = 56250, messages[12].hash = 77;
    messages[13].type = NET_CHAT, messages[13].step = 5, messages[13].from = 10;
    messages[13].text = std::string(Net::MAX_CHAT_BYTES, '~');
    messages[14].type = NET_WATCH, messages[14].from = Net::MAX_OBSERVERS, messages[14].greenName = "Ann Lee",
    messages[14].blueName = std::string(Net::MAX_NAME_BYTES, 'b'), messages[14].paused = true;
    for (const CNetMessage& sent : messages)
    {
        const std::vector<uint8_t> bytes = EncodeNetMessage(sent);
        CNetMessage got;
        ASSERT_TRUE(Decodes(bytes, &got)) << sent.type;
        EXPECT_EQ(EncodeNetMessage(got), bytes) << sent.type;
        EXPECT_EQ(got.commands.size(), sent.commands.size());
    }
    // Byte order is fixed, whatever the machine's.
    const std::vector<uint8_t> ping = EncodeNetMessage(messages[1]);
    EXPECT_EQ(ping, (std::vector<uint8_t>{NET_PING, 0x04, 0x03, 0x02, 0x01}));
    // The greeting of the builds before the rules field: they play rules 1.
    CNetMessage old;
    ASSERT_TRUE(Decodes({NET_HELLO, 'A', 'W', 'N', 'P', 2, 0, 0, 0, 1, '1', 1, 'f'}, &old));
    EXPECT_EQ(1, old.rules);
}

TEST(NetMessageTest, MalformedOrOutOfRangeMessagesAreRefused)
{
    const std::vector<uint8_t> good = EncodeNetMessage(Turn({Build(99, 2, 1, 10.0f, 20.0f, 3)}));
    ASSERT_TRUE(Decodes(good));
    struct Case
    {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    auto turnWith = [](CMatchCommand pCommand) { return EncodeNetMessage(Turn({pCommand})); };
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    CMatchCommand wrongKind = Build(99, 2, 1, 10.0f, 20.0f, 3);
    wrongKind.kind = CMD_RESTART;
    CNetMessage crowded =
        Turn(std::vector<CMatchCommand>(Net::MAX_TURN_COMMANDS + 1, Build(99, 2, 0, 1, 1, 1)));
    CNetMessage hello;
    hello.type = NET_HELLO;
    hello.version = "1.0\n%s";
    CNetMessage start;
    start.type = NET_START;
    start.delay = 0;
    CNetMessage narrow = Turn({Build(97, 2, 1, 10.0f, 20.0f, 3)});
    narrow.span = 3;
    CNetMessage noSpan = Turn({});
    noSpan.span = 0;
    CNetMessage wide = Turn({});
    wide.span = Net::MAX_TURN_SPAN + 1;
    auto catchUpWith = [](int pHost, int pJoiner, int pCount)
    {
        CNetMessage catchUp;
        catchUp.type = NET_CATCH_UP, catchUp.delay = 4, catchUp.step = 100;
        catchUp.hostThrough = pHost, catchUp.joinerThrough = pJoiner, catchUp.count = pCount;
        return EncodeNetMessage(catchUp);
    };
    CNetMessage longHistory;
    longHistory.type = NET_HISTORY;
    longHistory.commands.assign(Net::MAX_HISTORY_COMMANDS + 1, Build(9, 1, 1, 1.0f, 1.0f, 1));
    CNetMessage badHistory = longHistory;
    badHistory.commands.resize(2);
    badHistory.commands[1].kind = CMD_RESTART;
    auto chat = [](int pFrom, const std::string& pText)
    {
        std::vector<uint8_t> bytes = {
            NET_CHAT, 1, 0, 0, 0, static_cast<uint8_t>(pFrom), static_cast<uint8_t>(pText.size())};
        bytes.insert(bytes.end(), pText.begin(), pText.end());
        return bytes;
    };
    auto watch = [](int pNumber, const std::string& pName)
    {
        std::vector<uint8_t> bytes = {NET_WATCH, static_cast<uint8_t>(pNumber),
                                      static_cast<uint8_t>(pName.size())};
        bytes.insert(bytes.end(), pName.begin(), pName.end());
        bytes.insert(bytes.end(), {0, 1});
        return bytes;
    };
    ASSERT_TRUE(Decodes(chat(3, "hi")) && Decodes(watch(1, "Ann")));
    const Case cases[] = {
        {"empty", {}},
        {"a chat line from nobody", chat(0, "hi")},
        {"a chat line from a ninth observer", chat(Net::CHAT_FROM_OBSERVER + Net::MAX_OBSERVERS, "hi")},
        {"an empty chat line", chat(1, "")},
        {"an unprintable chat line", chat(1, "hi\x1b[2J")},
        {"a chat line over 120", chat(1, std::string(Net::MAX_CHAT_BYTES + 1, 'a'))},
        {"a ninth observer's welcome", watch(Net::MAX_OBSERVERS + 1, "Ann")},
        {"a welcome naming a player too long", watch(1, std::string(Net::MAX_NAME_BYTES + 1, 'a'))},
        {"a welcome with an unprintable name", watch(1, "A\tb")},
        {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"bytes left over", longer},
        {"oversized", std::vector<uint8_t>(Net::MAX_MESSAGE_BYTES + 1, NET_PING)},
        {"unknown type", {99, 0, 0, 0, 0}},
        {"debug command", turnWith(wrongKind)},
        {"grey side", turnWith(Build(99, 0, 1, 10.0f, 20.0f, 3))},
        {"no such tool", turnWith(Build(99, 2, 5, 10.0f, 20.0f, 3))},
        {"off the board", turnWith(Build(99, 2, 1, -1.0f, 20.0f, 3))},
        {"not a number", turnWith(Build(99, 2, 1, std::nanf(""), 20.0f, 3))},
        {"no source", turnWith(Build(99, 2, 1, 10.0f, 20.0f, 0))},
        {"step after the turn", turnWith(Build(101, 2, 1, 10.0f, 20.0f, 3))},
        {"step long before the turn", turnWith(Build(100 - Net::MAX_TURN_SPAN, 2, 1, 10.0f, 20.0f, 3))},
        {"step before the turn's span", EncodeNetMessage(narrow)},
        {"empty span", EncodeNetMessage(noSpan)},
        {"span over the limit", EncodeNetMessage(wide)},
        {"too many commands", EncodeNetMessage(crowded)},
        {"unprintable greeting", EncodeNetMessage(hello)},
        {"not this game", {NET_HELLO, 'X', 'W', 'N', 'P', 1, 0, 0, 0, 0, 0}},
        {"zero delay", EncodeNetMessage(start)},
        {"pause flag 2", {NET_PAUSE, 2}},
        {"unknown farewell", {NET_BYE, BYE_REASON_COUNT, 0, 0, 0, 0}},
        {"farewell past the last step", {NET_BYE, BYE_QUIT, 0xFF, 0xFF, 0xFF, 0x7F, 0}},
        {"farewell naming a third side", {NET_BYE, BYE_QUIT, 0, 0, 0, 0, 3}},
        {"text longer than said", {NET_HELLO, 'A', 'W', 'N', 'P', 1, 0, 0, 0, 200, 'a'}},
        {"a seat of 0", {NET_HELLO, 'A', 'W', 'N', 'P', 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"a cut-off seat", {NET_HELLO, 'A', 'W', 'N', 'P', 1, 0, 0, 0, 0, 0, 7, 0, 0, 0}},
        {"a catch-up too long", catchUpWith(100, 100, Net::MAX_CATCH_UP_COMMANDS + 1)},
        {"a catch-up closed far ahead", catchUpWith(100 + 3 * Net::MAX_DELAY + 1, 100, 0)},
        {"a catch-up closed behind", catchUpWith(100, 98, 0)},
        {"an empty history", {NET_HISTORY, 0}},
        {"a history too long", EncodeNetMessage(longHistory)},
        {"a history with a debug command", EncodeNetMessage(badHistory)},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(Decodes(c.bytes)) << c.what;
}

TEST(NetMessageTest, AddressesPortsAndTheInputDelay)
{
    struct Case
    {
        const char* text;
        bool ok;
        const char* host;
        int port;
        bool ipv6;
    };
    const Case cases[] = {
        {"127.0.0.1", true, "127.0.0.1", Net::DEFAULT_PORT, false},
        {"localhost:3000", true, "localhost", 3000, false},
        {"[::1]:24681", true, "::1", 24681, true},
        {"[::1]", true, "::1", Net::DEFAULT_PORT, true},
        {"fe80::1", true, "fe80::1", Net::DEFAULT_PORT, true},
        {"[fe80::1%eth0]:5", true, "fe80::1%eth0", 5, true},
        {"[127.0.0.1]:5", false, "", 0, false},
        {"[nohost]", false, "", 0, false},
        {"a:b:c", false, "", 0, false},
        {"host:0", false, "", 0, false},
        {"host:70000", false, "", 0, false},
        {"host:", false, "", 0, false},
        {":24680", false, "", 0, false},
        {"[::1", false, "", 0, false},
        {"[::1]x", false, "", 0, false},
        {"", false, "", 0, false},
    };
    for (const Case& c : cases)
    {
        CNetAddress address;
        std::string why;
        ASSERT_EQ(ParseNetAddress(c.text, address, why), c.ok) << c.text;
        if (!c.ok)
        {
            EXPECT_FALSE(why.empty()) << c.text;
            continue;
        }
        EXPECT_EQ(address.host, c.host);
        EXPECT_EQ(address.port, c.port) << c.text;
        EXPECT_EQ(address.ipv6, c.ipv6) << c.text;
    }
    // Loopback's few milliseconds give the smallest delays; 100 ms covers a trip and a resend.
    EXPECT_LE(CNetSession::DelayForRoundTrip(1), 4);
    EXPECT_GE(CNetSession::DelayForRoundTrip(100) * 16, 150);
    EXPECT_EQ(CNetSession::DelayForRoundTrip(100000), Net::MAX_DELAY);
    // A ping lost and sent again does not double the delay.
    EXPECT_EQ(102u, CNetSession::MiddleRoundTrip({100, 104, 251, 98, 102}));
    EXPECT_EQ(PrintableText(std::string("a\x01%n") + std::string(60, 'b')).substr(0, 4), "a?%n");
    EXPECT_EQ(PrintableText(std::string(60, 'b')).size(), Net::MAX_TEXT_BYTES);
}

TEST(NetMessageTest, ASeatFileIsWrittenWholeReadBackAndRefusedWhenForeign)
{
    char folder[] = "/tmp/aw_seat.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    // A host name never reaches the path as anything but a plain file name.
    const std::string path = SeatPath(std::string(folder) + "/state", "../a b:c", 24680);
    EXPECT_EQ(path, std::string(folder) + "/state/seat-.._a_b_c-24680");
    CNetSeat seat;
    seat.host = "::1", seat.port = 3000, seat.seed = 7, seat.date = 1796690000,
    seat.token = 0xABCDEF0123456789ull;
    std::string why;
    ASSERT_TRUE(WriteSeat(path, seat, why)) << why;
    CNetSeat back;
    ASSERT_TRUE(ReadSeat(path, back));
    EXPECT_EQ(back.host, "::1");
    EXPECT_EQ(back.port, 3000);
    EXPECT_EQ(back.seed, 7u);
    EXPECT_EQ(back.date, 1796690000);
    EXPECT_EQ(back.token, seat.token);
    // Written by this program; a seat another running program holds is left alone.
    EXPECT_EQ(back.pid, static_cast<long>(getpid()));
    EXPECT_FALSE(SeatHolderRuns(back));
    char state = 0;
    unsigned long long started = 0;
    ASSERT_TRUE(ReadProcessStat(getpid(), state, started));
    EXPECT_EQ(back.started, started) << "the seat names when its holder started";
    // The parent runs; under a start time not its own, its pid was taken by another program.
    back.pid = static_cast<long>(getppid());
    ASSERT_TRUE(ReadProcessStat(back.pid, state, back.started));
    EXPECT_TRUE(SeatHolderRuns(back));
    back.started += 1;
    EXPECT_FALSE(SeatHolderRuns(back));
    // A holder that ended and was never reaped (a zombie) holds nothing.
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    back.pid = child;
    for (int i = 0; i < 200 && ReadProcessStat(child, state, back.started) && state != 'Z'; ++i)
        usleep(5000);
    EXPECT_EQ(state, 'Z');
    EXPECT_FALSE(SeatHolderRuns(back));
    waitpid(child, nullptr, 0);
    back.pid = 0;
    EXPECT_FALSE(SeatHolderRuns(back));
    // A catch-up is held to what its match can have run: every step since its start, and a minute.
    EXPECT_EQ(MostStepsSince(1000, 1000 + 900), (900 + 60) * 1000 / 16);
    EXPECT_EQ(MostStepsSince(1000, 0), 60 * 1000 / 16) << "a date ahead of the clock";
    EXPECT_EQ(MostStepsSince(0, 1796690000), Net::MAX_STEP);
    const char* foreign[] = {"", "ampwarden seat 1\nhost h\nport 0\nseed 1\ndate 1\ntoken 5\n",
                             "ampwarden seat 1\nhost h\nport 5\nseed 1\ndate 1\ntoken 0\n",
                             "ampwarden seat 1\nhost h\nport 5\nseed 1\ndate 1\n", "something else\n"};
    for (const char* text : foreign)
    {
        std::ofstream(path) << text;
        EXPECT_FALSE(ReadSeat(path, back)) << text;
    }
    std::ofstream(path) << "ampwarden seat 1\nhost h\n" << std::string(600, 'x');
    EXPECT_FALSE(ReadSeat(path, back));
    RemoveSeat(path);
    EXPECT_FALSE(ReadSeat(path, back));
    // Two tokens from the system's source differ (a seeded table would repeat them).
    EXPECT_NE(NewSeatToken(), NewSeatToken());
    rmdir((std::string(folder) + "/state").c_str());
    EXPECT_EQ(rmdir(folder), 0);
}
