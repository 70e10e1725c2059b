#include <SDL/SDL_keysym.h>

#include <gtest/gtest.h>

#include "net/NetAddress.h"
#include "ui/FriendScreen.h"

TEST(FriendScreen, AddressesAreReadWithoutTheSpacesRoundThemAndPastesFiltered)
{
    // Typed, the address joined and remembered, the line shown when it is none.
    const char* const cases[][3] = {
        {"  192.0.2.7:99 \t", "192.0.2.7:99", ""},
        {" [::1] ", "[::1]", ""},
        {"    ", "", "Cannot join: no host named"},
        {" host:x ", "host:x", "Cannot join host:x: the port must be a whole number from 1 to 65535"},
    };
    for (const auto& c : cases)
    {
        std::string address;
        std::string problem;
        CNetAddress read;
        EXPECT_EQ(c[2][0] == '\0', ReadTypedAddress(c[0], "join", address, read, problem)) << c[0];
        EXPECT_EQ(c[1], address) << c[0];
        EXPECT_EQ(c[2], problem) << c[0];
    }
    CTextField port(CRect{}, "Port", 5, "1");
    port.m_accepts = [](char c) { return c >= '0' && c <= '9'; };
    port.OnKey(SDLK_HOME, 0, 0);
    port.Insert("2\n3\tx\xc3\xa9 456789");
    EXPECT_EQ("23451", port.GetText()) << "digits only, at the cursor, up to the limit";
}
