#include <gtest/gtest.h>

#include "net/IcePayload.h"

namespace
{
const std::string HEAD = "ampwarden-ice 1\nufrag abcd\npwd 0123456789abcdefghij+/\n";

// What the reader keeps of one payload: its candidates' addresses, or "refused: why".
std::string Kept(const std::string& pText, size_t* pSkipped = nullptr)
{
    CIcePayload payload;
    size_t skipped = 0;
    std::string why;
    if (!DecodeIcePayload(pText, payload, skipped, why))
        return "refused: " + why;
    if (pSkipped)
        *pSkipped = skipped;
    std::string kept;
    for (const CIceCandidate& candidate : payload.candidates)
        kept += (kept.empty() ? "" : " ") + candidate.address + ":" + std::to_string(candidate.port) + "/" +
                IceTypeName(candidate.type);
    return kept;
}
} // namespace

TEST(IcePayloadTest, KeepsWhatCanBeCheckedAndDropsTheRest)
{
    // Addresses of other people's networks are harmless to check; names, loopback, multicast,
    // broadcast, link-local and broken lines are not taken.
    size_t skipped = 0;
    EXPECT_EQ(
        Kept(HEAD +
                 "c 1 2015363327 192.168.1.20 4000 host\n"
                 "c 2 1679819007 203.0.113.21 4000 srflx\n"
                 "c 3 505413887 2001:db8::7 49200 relay\n"
                 "c 4 1 lobby.example.org 4000 host\n"
                 "c 5 1 127.0.0.1 4000 host\nc 6 1 ::1 4000 host\nc 7 1 224.0.0.251 5353 host\n"
                 "c 8 1 255.255.255.255 9 host\nc 9 1 fe80::1 4000 host\nc 10 1 0.0.0.0 4000 host\n"
                 "c 11 0 198.51.100.1 4000 host\nc 12 1 198.51.100.1 0 host\nc 13 1 198.51.100.1 70000 host\n"
                 "c 14 1 198.51.100.1 4000 tcp\nc 15 1 198.51.100.1 4000 host extra\nc bad! 1 198.51.100.1 1 "
                 "host\n"
                 "a later kind of line\n",
             &skipped),
        "192.168.1.20:4000/host 203.0.113.21:4000/srflx 2001:db8::7:49200/relay");
    EXPECT_EQ(skipped, 13u);
    // A thousand candidates are cut to the bound (a payload that long is refused whole).
    std::string many = HEAD;
    for (int i = 0; i < 1000 && many.size() < Ice::MAX_PAYLOAD_BYTES - 40; ++i)
        many += "c " + std::to_string(i + 1) + " 9 198.18.0." + std::to_string(i % 250 + 1) + " 1 host\n";
    EXPECT_EQ(Kept(many, &skipped).substr(0, 20), "198.18.0.1:1/host 19");
    CIcePayload payload;
    std::string why;
    ASSERT_TRUE(DecodeIcePayload(many, payload, skipped, why));
    EXPECT_EQ(payload.candidates.size(), Ice::MAX_CANDIDATES);
    for (int i = 0; i < 1000; ++i)
        many += "c 1 9 198.18.0.1 1 host\n";
    EXPECT_EQ(Kept(many), "refused: the other side's connection details are too long");
    // Without credentials of the right shape, or of another kind, the payload is refused.
    EXPECT_EQ(Kept("ampwarden-ice 2\n"),
              "refused: the other side's connection details are not of a kind this version reads");
    EXPECT_EQ(Kept("ampwarden-ice 1\nufrag abcd\n"),
              "refused: the other side's connection details lack its credentials");
    EXPECT_EQ(Kept("ampwarden-ice 1\nufrag ab\npwd 0123456789abcdefghij+/\n"),
              "refused: the other side's ufrag is broken");
    EXPECT_EQ(Kept(HEAD + "pwd short\n"), "refused: the other side's pwd is broken");
    EXPECT_EQ(Kept(std::string("ampwarden-ice 1\n\0", 17)),
              "refused: the other side's connection details are not text");
    // What is written reads back the same.
    payload.candidates.resize(2);
    CIcePayload again;
    ASSERT_TRUE(DecodeIcePayload(EncodeIcePayload(payload), again, skipped, why));
    EXPECT_EQ(EncodeIcePayload(again), EncodeIcePayload(payload));
    EXPECT_EQ(skipped, 0u);
}
