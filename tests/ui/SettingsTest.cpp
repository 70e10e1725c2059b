#include <SDL/SDL.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "ui/AppSettings.h"
#include "ui/Settings.h"
#include "ui/SettingsScreen.h"
#include "world/GameWorld.h"

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
        {"CR LF line ends, a byte-order mark", "\xef\xbb\xbfmusic-volume 20\r\nname Al Bo\r\n", true, 100, 20,
         false, true, "Al Bo"},
        {"a carriage return inside", "music-volume 2\r0\n", false, 100, 100, false, true, "Player"},
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

// A writer killed mid-write leaves its temporary file: the next load or save removes it, and
// leaves those of writers still running and files of other names.
TEST(Settings, TemporaryFilesOfDeadWritersAreRemovedOnLoadAndSave)
{
    const std::string path = Folder() + "/stale/settings";
    mkdir((Folder() + "/stale").c_str(), 0755);
    const pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    ASSERT_EQ(dead, waitpid(dead, nullptr, 0));
    std::string why;
    for (int save = 0; save < 2; ++save)
    {
        for (const std::string& end : {std::to_string(dead), std::to_string(getppid()), std::string("1x")})
            WriteAll(path + ".tmp" + end, "music-volume 1\n");
        EXPECT_TRUE(save ? SaveSettings(path, CSettings(), why) : LoadSettings(path) == CSettings());
        EXPECT_NE(0, access((path + ".tmp" + std::to_string(dead)).c_str(), F_OK)) << save;
        EXPECT_EQ(0, access((path + ".tmp" + std::to_string(getppid())).c_str(), F_OK)) << save;
        EXPECT_EQ(0, access((path + ".tmp1x").c_str(), F_OK)) << save;
    }
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

// Clearing the name to type another saves neither its halves nor an empty name: the name is
// taken once typed (Enter, another row, Escape), and one that is none gives the old one back.
TEST(Settings, TheNameIsSavedOnceTypedNeverHalfway)
{
    mkdir((Folder() + "/ampwarden").c_str(), 0755);
    WriteAll(Folder() + "/ampwarden/settings", "record 0\nname Ada\n");
    setenv("XDG_CONFIG_HOME", Folder().c_str(), 1);
    CAppSettings::Instance().Load();
    const std::string before = TheWorld().m_playerName;
    CSettingsScreen screen;
    screen.Choose(4);
    const CTextField& field = *static_cast<CTextField*>(screen.GetWidget(4));
    // Each key, with the field and the name saved after it.
    const std::tuple<int, int, const char*, const char*> steps[] = {
        {SDLK_BACKSPACE, 0, "Ad", "Ada"}, {SDLK_BACKSPACE, 0, "A", "Ada"}, {SDLK_BACKSPACE, 0, "", "Ada"},
        {SDLK_TAB, 0, "Ada", "Ada"},      {SDLK_UP, 0, "Ada", "Ada"},      {SDLK_BACKSPACE, 0, "Ad", "Ada"},
        {SDLK_BACKSPACE, 0, "A", "Ada"},  {SDLK_BACKSPACE, 0, "", "Ada"},  {SDLK_b, 'B', "B", "Ada"},
        {SDLK_o, 'o', "Bo", "Ada"},       {SDLK_RETURN, 0, "Bo", "Bo"},    {SDLK_BACKSPACE, 0, "B", "Bo"},
        {SDLK_ESCAPE, 0, "B", "B"},
    };
    for (const auto& [sym, text, shown, saved] : steps)
    {
        SDL_Event key{};
        key.type = SDL_KEYDOWN;
        key.key.keysym.sym = static_cast<SDLKey>(sym);
        key.key.keysym.unicode = static_cast<Uint16>(text);
        screen.OnEvent(key);
        EXPECT_EQ(shown, field.GetText()) << sym;
        EXPECT_EQ(saved, CAppSettings::Instance().Get().name) << sym;
    }
    EXPECT_NE(std::string::npos, ReadAll(Folder() + "/ampwarden/settings").find("\nname B\n"));
    unsetenv("XDG_CONFIG_HOME");
    TheWorld().m_playerName = before;
}
