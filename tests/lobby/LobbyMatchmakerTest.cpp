#include <gtest/gtest.h>

#include "lobby/LobbyMatchmaker.h"

TEST(LobbyMatchmakerTest, AMatchOfAnotherVersionIsGreyedWithWhy)
{
    struct Case
    {
        const char* program;
        const char* rules;
        bool joinable;
        const char* why;
    } cases[] = {
        {"1.01", "abcd", true, ""},
        {"1.02", "abcd", false, "plays program version 1.02; this is 1.01"},
        {"1.01", "ffff", false, "plays other rules (ffff; these are abcd)"},
        // The program is named first when both differ.
        {"0.9", "ffff", false, "plays program version 0.9; this is 1.01"},
    };
    for (const Case& c : cases)
    {
        CLobbyMatchAd ad;
        ad.program = c.program;
        ad.rules = c.rules;
        std::string why = "stale";
        EXPECT_EQ(c.joinable, CanJoinAd(ad, "1.01", "abcd", why)) << c.program << " " << c.rules;
        EXPECT_EQ(c.why, why);
    }
}

TEST(LobbyMatchmakerTest, TheWaitingTimeReadsInTheLargestUnitThatFits)
{
    const int64_t now = 1800000000;
    const struct
    {
        int64_t waited;
        const char* text;
    } cases[] = {
        {-3600, "just now"}, // the host's clock is ahead
        {0, "just now"},
        {9, "just now"},
        {10, "10 s"},
        {59, "59 s"},
        {60, "1 min"},
        {3599, "59 min"},
        {3600, "1 h"},
        {3660 + 59, "1 h 1 min"},
        {47 * 3600 + 1800, "47 h 30 min"},
        {48 * 3600, "2 days"},
        {400 * 86400, "400 days"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, WaitingText(now - c.waited, now)) << c.waited;
}
