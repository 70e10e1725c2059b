#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "lobby/LobbyPassword.h"
#include "lobby/LobbyRoom.h"
#include "lobby/LobbyXml.h"

namespace
{
const std::string ROOM = "lobby@conference.localhost";

// A room presence from NICK of ACCOUNT (full address), with EXTRA inside.
std::string Presence(const std::string& pNick, const std::string& pAddress, const std::string& pExtra)
{
    return "<presence from='" + ROOM + "/" + pNick +
           "'><x xmlns='http://jabber.org/protocol/muc#user'><item jid='" + pAddress +
           "' role='participant'/></x>" + pExtra + "</presence>";
}
std::string Ad(const std::string& pProgram, const std::string& pSince)
{
    return "<match xmlns='urn:ampwarden:lobby:1' program='" + pProgram + "' rules='0123abcd' since='" +
           pSince + "'/>";
}

CLobbyPresence Read(const std::string& pXml, bool pValid = true)
{
    CLobbyElement element;
    CLobbyPresence presence;
    std::string why;
    const bool read = ParseLobbyXml(pXml, element, why) && ReadRoomPresence(element, ROOM, presence, why);
    EXPECT_EQ(pValid, read) << pXml << ": " << why;
    return presence;
}
} // namespace

TEST(LobbyPayloadTest, PresencesAndAdvertisementsAreReadWithinBounds)
{
    const CLobbyPresence good =
        Read(Presence("alice", "alice@localhost/ampwarden-1", Ad("1.01", "1765000000")));
    EXPECT_EQ("alice", good.nick);
    EXPECT_EQ("alice@localhost", good.account);
    EXPECT_EQ("alice@localhost/ampwarden-1", good.address);
    EXPECT_TRUE(good.advertises);
    EXPECT_EQ("1.01", good.ad.program);
    EXPECT_EQ(1765000000, good.ad.since);

    // An advertisement that is refused leaves the occupant, with why.
    const struct
    {
        std::string extra;
        std::string why;
    } refused[] = {
        {Ad("", "1765000000"), "no readable program version"},
        {Ad("1.01 beta", "1765000000"), "no readable program version"},
        {Ad(std::string(41, '1'), "1765000000"), "no readable program version"},
        {Ad("1.01", "17"), "no readable waiting time"},
        {Ad("1.01", "-1765000000"), "no readable waiting time"},
        {Ad("1.01", "99999999999999999999"), "no readable waiting time"},
    };
    for (const auto& r : refused)
    {
        const CLobbyPresence presence = Read(Presence("eve", "eve@localhost/x", r.extra));
        EXPECT_FALSE(presence.advertises) << r.extra;
        EXPECT_EQ(r.why, presence.adRefused) << r.extra;
    }
    // A room that hides accounts: its matches cannot be joined by account, so none is taken.
    EXPECT_FALSE(
        Read("<presence from='" + ROOM + "/bob'>" + Ad("1.01", "1765000000") + "</presence>").advertises);

    // Not from the room, of another type, or past the copy's bounds: not taken at all.
    Read("<presence from='other@conference.localhost/bob'/>", false);
    Read("<presence from='" + ROOM + "'/>", false);
    Read("<presence type='subscribe' from='" + ROOM + "/bob'/>", false);
    Read(Presence("bob", "bob@localhost/x", Ad(std::string(10240, 'A'), "1765000000")), false);
    std::string deep = "<a>";
    for (int i = 0; i < 8; ++i)
        deep = "<a>" + deep + "</a>";
    Read(Presence("bob", "bob@localhost/x", deep + "</a>"), false);
    // A nickname is cleaned and cut; an account that is no account is dropped.
    EXPECT_EQ(std::string(Lobby::MAX_NICK_BYTES, 'n'),
              Read(Presence(std::string(60, 'n'), "n@l/x", "")).nick);
    EXPECT_EQ("", Read(Presence("bob", "bob@local&lt;host&gt;/x", "")).account);
    EXPECT_EQ("", Read(Presence("bob", "@localhost/x", "")).account);
}

TEST(LobbyPayloadTest, JoinsChatAndTheRoomsBounds)
{
    CLobbyJoin join;
    std::string why;
    join.kind = CLobbyJoin::OFFER;
    join.host = "::1";
    join.port = 24680;
    CLobbyJoin back;
    ASSERT_TRUE(ReadJoin(JoinElement(join), back, why)) << why;
    EXPECT_EQ("::1", back.host);
    EXPECT_EQ(24680, back.port);
    const struct
    {
        std::string xml;
        std::string why;
    } offers[] = {
        {"<offer xmlns='urn:ampwarden:lobby:1' host='127.0.0.1' port='70000'/>",
         "an offer with no port from 1 to 65535"},
        {"<offer xmlns='urn:ampwarden:lobby:1' host='127.0.0.1' port='0'/>",
         "an offer with no port from 1 to 65535"},
        {"<offer xmlns='urn:ampwarden:lobby:1' host='beef' port='5'/>", "an offer with no numeric address"},
        {"<offer xmlns='urn:ampwarden:lobby:1' host='example.org' port='5'/>",
         "an offer with no numeric address"},
        {"<join xmlns='urn:ampwarden:lobby:1' program='1.01'/>", "a join without readable versions"},
        {"<offer host='127.0.0.1' port='5'/>", "not the game's"},
    };
    for (const auto& o : offers)
    {
        CLobbyElement element;
        ASSERT_TRUE(ParseLobbyXml(o.xml, element, why)) << o.xml;
        EXPECT_FALSE(ReadJoin(element, back, why)) << o.xml;
        EXPECT_EQ(o.why, why) << o.xml;
    }

    CLobbyElement message;
    CLobbyChatLine line;
    ASSERT_TRUE(ParseLobbyXml("<message type='groupchat' from='" + ROOM +
                                  "/bob'><body>  hi\tthere  caf&#233; </body>"
                                  "<delay xmlns='urn:xmpp:delay'/></message>",
                              message, why));
    ASSERT_TRUE(ReadRoomChat(message, ROOM, line, why)) << why;
    EXPECT_EQ("hithere caf", line.text);
    EXPECT_TRUE(line.history);

    // One open match per account (the latest nickname's), a few nicknames per account, chat
    // at the match chat's rate per account, whatever the nickname.
    CLobbyRoom room;
    CLobbyPresence ad = Read(Presence("oscar", "oscar@localhost/1", Ad("1.01", "1765000000")));
    for (int i = 0; i < CLobbyRoom::MAX_NICKS_PER_ACCOUNT + 3; ++i)
    {
        ad.nick = "oscar" + std::to_string(i);
        EXPECT_EQ(i < CLobbyRoom::MAX_NICKS_PER_ACCOUNT, room.Apply(ad));
    }
    EXPECT_EQ(1u, room.OpenMatches().size());
    EXPECT_EQ("oscar3", room.MatchOf("oscar@localhost")->nick);
    EXPECT_EQ(nullptr, room.MatchOf("oscar3"));
    int heard = 0;
    for (int i = 0; i < 20; ++i)
        heard += room.Hear("oscar" + std::to_string(i % 4), 1000 + i);
    EXPECT_EQ(Chat::BURST, heard);
    ad.nick = "oscar3";
    ad.leaving = true;
    room.Apply(ad);
    EXPECT_EQ(0u, room.OpenMatches().size());
}

TEST(LobbyPayloadTest, APasswordIsKeptForThePlayerAlone)
{
    char folder[] = "/tmp/aw_lobbypw.XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string path =
        LobbyPasswordPath(std::string(folder) + "/state", "lobby.example.org", "../alice");
    EXPECT_EQ(std::string(folder) + "/state/lobby/lobby.example.org-.._alice.password", path);
    std::string why;
    std::string back;
    EXPECT_FALSE(SaveLobbyPassword(path, "two\nlines", why));
    ASSERT_TRUE(SaveLobbyPassword(path, "s3cret pass", why)) << why;
    struct stat info;
    ASSERT_EQ(0, stat(path.c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
    ASSERT_EQ(0, stat((std::string(folder) + "/state/lobby").c_str(), &info));
    EXPECT_EQ(0700u, info.st_mode & 0777);
    ASSERT_TRUE(LoadLobbyPassword(path, back));
    EXPECT_EQ("s3cret pass", back);
    ForgetLobbyPassword(path);
    EXPECT_FALSE(LoadLobbyPassword(path, back));
    rmdir((std::string(folder) + "/state/lobby").c_str());
    rmdir((std::string(folder) + "/state").c_str());
    rmdir(folder);
}
