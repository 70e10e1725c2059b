#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "engine/Version.h"

TEST(VersionTest, TheFingerprintFollowsEveryByteOfTheCatalogue)
{
    const std::string path = testing::TempDir() + "fingerprint.xml";
    auto write = [&](const char* pText) { std::ofstream(path, std::ios::binary) << pText; };
    write("<resources><sprite id=\"Spark\"/></resources>");
    const std::string first = DataFingerprint(path.c_str());
    EXPECT_EQ(16u, first.size());
    EXPECT_EQ(std::string::npos, first.find_first_not_of("0123456789abcdef"));
    EXPECT_EQ(first, DataFingerprint(path.c_str()));
    write("<resources><sprite id=\"Spork\"/></resources>");
    EXPECT_NE(first, DataFingerprint(path.c_str()));
    std::remove(path.c_str());
    EXPECT_EQ("", DataFingerprint(path.c_str())) << "no catalogue, no fingerprint";
    EXPECT_STRNE("", ProgramVersion());
}
