#include <sys/stat.h>

#include <SDL/SDL.h>

#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "net/NetAddress.h"
#include "ui/AppSettings.h"
#include "ui/FriendScreen.h"
#include "ui/SettingsScreen.h"

namespace
{
SDL_Event Key(int pSym, int pText = 0)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = static_cast<SDLKey>(pSym);
    event.key.keysym.unicode = static_cast<Uint16>(pText);
    return event;
}
} // namespace

TEST(MenuInput, AddressesAreReadWithoutTheSpacesRoundThemAndPastesFiltered)
{
    struct Case
    {
        const char* typed;
        bool good;
        const char* address; // what is joined and remembered
        const char* problem;
    };
    const Case cases[] = {
        {"  192.0.2.7:99 \t", true, "192.0.2.7:99", ""},
        {" [::1] ", true, "[::1]", ""},
        {"", false, "", "Cannot join: no host named"},
        {"    ", false, "", "Cannot join: no host named"},
        {" host:x ", false, "host:x", "Cannot join host:x: the port must be a whole number from 1 to 65535"},
    };
    for (const Case& c : cases)
    {
        std::string address;
        std::string problem;
        CNetAddress read;
        EXPECT_EQ(c.good, ReadTypedAddress(c.typed, "join", address, read, problem)) << c.typed;
        EXPECT_EQ(c.address, address) << c.typed;
        EXPECT_EQ(c.problem, problem) << c.typed;
    }
    CTextField port(CRect{}, "Port", 5, "1");
    port.m_accepts = [](char c) { return c >= '0' && c <= '9'; };
    port.OnKey(SDLK_HOME, 0, 0);
    port.Insert("2\n3\tx\xc3\xa9 456789");
    EXPECT_EQ("23451", port.GetText()) << "digits only, at the cursor, up to the limit";
}

// Clearing the name to type another saves neither the halves nor an empty name.
TEST(MenuInput, TheNameIsSavedOnceTypedNeverHalfway)
{
    char folder[] = "/tmp/aw_name_test.XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    const std::string dir = std::string(folder) + "/ampwarden";
    mkdir(dir.c_str(), 0755);
    std::ofstream(dir + "/settings") << "record 0\nname Ada\n";
    setenv("XDG_CONFIG_HOME", folder, 1);
    CAppSettings& settings = CAppSettings::Instance();
    settings.Load();
    const std::string before = CGameEngine::Instance().GetWorld().m_playerName;
    CSettingsScreen screen;
    screen.Choose(4);
    const CTextField& field = *static_cast<CTextField*>(screen.GetWidget(4));
    struct Step
    {
        int sym, text;
        const char* field;
        const char* saved;
    };
    const Step steps[] = {
        {SDLK_BACKSPACE, 0, "Ad", "Ada"}, {SDLK_BACKSPACE, 0, "A", "Ada"}, {SDLK_BACKSPACE, 0, "", "Ada"},
        {SDLK_TAB, 0, "Ada", "Ada"},      {SDLK_UP, 0, "Ada", "Ada"},      {SDLK_END, 0, "Ada", "Ada"},
        {SDLK_BACKSPACE, 0, "Ad", "Ada"}, {SDLK_BACKSPACE, 0, "A", "Ada"}, {SDLK_BACKSPACE, 0, "", "Ada"},
        {SDLK_b, 'B', "B", "Ada"},        {SDLK_o, 'o', "Bo", "Ada"},      {SDLK_RETURN, 0, "Bo", "Bo"},
        {SDLK_BACKSPACE, 0, "B", "Bo"},   {SDLK_ESCAPE, 0, "B", "B"},
    };
    for (const Step& step : steps)
    {
        screen.OnEvent(Key(step.sym, step.text));
        EXPECT_EQ(step.field, field.GetText()) << step.sym;
        EXPECT_EQ(step.saved, settings.Get().name) << step.sym;
    }
    std::ifstream file(dir + "/settings");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(std::string::npos, text.find("\nname B\n")) << text;
    unsetenv("XDG_CONFIG_HOME");
    CGameEngine::Instance().GetWorld().m_playerName = before;
    (void)std::system(("rm -rf '" + std::string(folder) + "'").c_str());
}
