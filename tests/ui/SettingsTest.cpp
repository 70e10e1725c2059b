#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "ui/Settings.h"

namespace
{
// A scratch folder for the run, removed when the tests end.
std::string Folder()
{
    static struct CScratch
    {
        std::string path;
        CScratch()
        {
            char name[] = "/tmp/aw_settings_test.XXXXXX";
            path = mkdtemp(name);
        }
        ~CScratch() { (void)std::system(("rm -rf '" + path + "'").c_str()); }
    } scratch;
    return scratch.path;
}

std::string ReadAll(const std::string& pPath)
{
    std::ifstream in(pPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteAll(const std::string& pPath, const std::string& pText)
{
    std::ofstream(pPath, std::ios::binary) << pText;
}
} // namespace

TEST(Settings, HostileTextsKeepTheDefaultsForWhatCannotBeUsed)
{
    const CSettings defaults;
    struct Case
    {
        const char* what;
        std::string text;
        bool good;
        int effects, music;
        bool fullscreen, record;
        std::string name;
    };
    const std::string huge = "effects-volume 10\n" + std::string(5000, '#') + "\n";
    const Case cases[] = {
        {"all set", "effects-volume 40\nmusic-volume 0\nfullscreen 1\nrecord 0\nname Ada Lovelace\n", true,
         40, 0, true, false, "Ada Lovelace"},
        {"empty", "", true, 100, 100, false, true, "Player"},
        {"unknown key kept out", "colour red\nmusic-volume 30\n", false, 100, 30, false, true, "Player"},
        {"out of range", "effects-volume 101\nmusic-volume -1\nfullscreen 2\n", false, 100, 100, false, true,
         "Player"},
        {"huge numbers", "effects-volume 99999999999999999999\n", false, 100, 100, false, true, "Player"},
        {"name with a control character", "name Bo\x01b\nrecord 0\n", false, 100, 100, false, false,
         "Player"},
        {"name too long", "name ABCDEFGHIJKLMNOPQ\n", false, 100, 100, false, true, "Player"},
        {"name of sixteen", "name ABCDEFGHIJKLMNOP\n", true, 100, 100, false, true, "ABCDEFGHIJKLMNOP"},
        {"name with spaces round it", "name  Al\n", false, 100, 100, false, true, "Player"},
        {"cut short", "music-volume 20\nfullscreen 1", false, 100, 20, false, true, "Player"},
        {"carriage returns", "music-volume 20\r\n", false, 100, 100, false, true, "Player"},
        {"binary",
         std::string("\x7f"
                     "ELF\0\0\x01\n\xff\xfe\n",
                     11),
         false, 100, 100, false, true, "Player"},
        {"past the size limit", huge, false, 100, 100, false, true, "Player"},
        {"no value", "record\n", false, 100, 100, false, true, "Player"},
    };
    for (const Case& c : cases)
    {
        CSettings read;
        std::string why;
        EXPECT_EQ(c.good, ParseSettings(c.text, read, why)) << c.what << ": " << why;
        EXPECT_EQ(c.good, why.empty()) << c.what;
        EXPECT_EQ(c.effects, read.effectsVolume) << c.what;
        EXPECT_EQ(c.music, read.musicVolume) << c.what;
        EXPECT_EQ(c.fullscreen, read.fullscreen) << c.what;
        EXPECT_EQ(c.record, read.record) << c.what;
        EXPECT_EQ(c.name, read.name) << c.what;
    }
    CSettings back;
    std::string why;
    CSettings set;
    set.effectsVolume = 5;
    set.name = "~x y!";
    set.window = "fit";
    ASSERT_TRUE(ParseSettings(FormatSettings(set), back, why)) << why;
    EXPECT_TRUE(back == set);
}

TEST(Settings, FilesAreReadWithoutHangingSaidOnceAndReplacedWhole)
{
    const std::string path = Folder() + "/settings";
    // Missing: the defaults, quietly.
    testing::internal::CaptureStderr();
    EXPECT_TRUE(LoadSettings(path) == CSettings());
    EXPECT_EQ("", testing::internal::GetCapturedStderr());

    struct Case
    {
        const char* what;
        std::function<void()> make;
    };
    const Case cases[] = {
        {"garbage", [&] { WriteAll(path, "\x01\x02garbage\nmusic-volume 7\n"); }},
        {"a folder", [&] { mkdir(path.c_str(), 0755); }},
        {"a FIFO", [&] { mkfifo(path.c_str(), 0644); }},
        {"huge", [&] { WriteAll(path, std::string(1 << 20, 'a')); }},
    };
    for (const Case& c : cases)
    {
        unlink(path.c_str());
        rmdir(path.c_str());
        c.make();
        testing::internal::CaptureStderr();
        const CSettings read = LoadSettings(path);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(1, std::count(said.begin(), said.end(), '\n')) << c.what << ": " << said;
        EXPECT_NE(std::string::npos, said.find(path)) << c.what;
        EXPECT_EQ(std::string(c.what) == "garbage" ? 7 : 100, read.musicVolume) << c.what;
    }
    // Reading never rewrites: the huge file is as it was.
    EXPECT_EQ(size_t(1) << 20, ReadAll(path).size());

    CSettings mine;
    mine.musicVolume = 35;
    mine.name = "Grace";
    std::string why;
    const std::string nested = Folder() + "/new/ampwarden/settings";
    ASSERT_TRUE(SaveSettings(nested, mine, why)) << why;
    EXPECT_TRUE(LoadSettings(nested) == mine);
    ASSERT_TRUE(SaveSettings(path, mine, why)) << why << ": replaces the huge file";
    EXPECT_EQ(FormatSettings(mine), ReadAll(path));
    EXPECT_EQ(-1, access((path + ".tmp" + std::to_string(getpid())).c_str(), F_OK))
        << "no temporary file left";
    EXPECT_FALSE(SaveSettings(Folder() + "/settings/inside", mine, why)) << "a file where the folder must be";
}

TEST(Settings, TheLastFiveAddressesJoinedNewestFirst)
{
    std::vector<std::string> hosts;
    for (const char* address : {"a:1", "b", "[::1]:9", "c", "d", "b", "e"})
        hosts = WithRecentHost(hosts, address);
    EXPECT_EQ((std::vector<std::string>{"e", "b", "d", "c", "[::1]:9"}), hosts);
    EXPECT_EQ((std::vector<std::string>{"x", "z"}),
              ParseRecentHosts("x\n\nbad host\n\x01\n" + std::string(65, 'y') + "\nz\nno end"));
}
