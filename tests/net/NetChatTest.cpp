#include <gtest/gtest.h>

#include "net/NetChat.h"

TEST(NetChatTest, LinesAreCleanedLimitedAndNamed)
{
    const struct
    {
        std::string in;
        std::string out;
    } texts[] = {
        {"  good   game  ", "good game"},
        {"caf\xc3\xa9\t\x1b[2Jok", "caf[2Jok"},
        {std::string(200, 'a'), std::string(Net::MAX_CHAT_BYTES, 'a')},
        {"\n\r\x7f", ""},
    };
    for (const auto& t : texts)
        EXPECT_EQ(t.out, CleanChatText(t.in)) << t.in;

    // Five in any ten seconds; the sixth waits for the first to age out.
    CChatLimiter limiter;
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_TRUE(limiter.Allow(1000 + i * 100));
    EXPECT_FALSE(limiter.Allow(10999));
    EXPECT_TRUE(limiter.Allow(11000));
    EXPECT_FALSE(limiter.Allow(11001));

    // Our own lines are refused past the limit; theirs dropped and counted, per sender.
    CNetChat chat;
    CNetMessage line;
    std::string why;
    EXPECT_FALSE(chat.Say(1, 7, " \t ", 0, line, why));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(chat.Say(1, 7, "gg", 0, line, why));
    EXPECT_EQ(NET_CHAT, line.type);
    EXPECT_EQ(7, line.step);
    EXPECT_FALSE(chat.Say(1, 7, "gg", 5, line, why));
    EXPECT_EQ("Chat: at most 5 lines in 10 seconds", why);
    int accepted = 0;
    for (int i = 0; i < 8; ++i)
    {
        line.from = 2 + (i % 2) * 8;
        accepted += chat.Accept(line, 0) ? 1 : 0;
    }
    EXPECT_EQ(8, accepted);
    for (int i = 0; i < 4; ++i)
        accepted += chat.Accept(line, 0) ? 1 : 0;
    EXPECT_EQ(9, accepted);
    EXPECT_EQ(3, chat.Dropped());

    for (int from = 1; from < Net::CHAT_FROM_OBSERVER + Net::MAX_OBSERVERS; ++from)
        EXPECT_EQ(from, ChatSenderByTag(ChatSenderTag(from)));
    EXPECT_EQ(0, ChatSenderByTag("observer9"));
    EXPECT_EQ("Ann", ChatSenderName(1, "Ann", "Bo"));
    EXPECT_EQ("Blue", ChatSenderName(2, "Ann", ""));
    EXPECT_EQ("Observer 8", ChatSenderName(10, "Ann", "Bo"));
}
