#include <gtest/gtest.h>

#include "lobby/LobbyServices.h"
#include "lobby/LobbyXml.h"

namespace
{
// What the reader takes from one answer with the services given: "stun A:P turn A:P USER", or
// "refused".
std::string Taken(const std::string& pServices, const std::string& pType = "result")
{
    CLobbyElement answer;
    CLobbyServices services;
    std::string why;
    if (!ParseLobbyXml("<iq type='" + pType + "' id='aw-services'><services xmlns='urn:xmpp:extdisco:2'>" +
                           pServices + "</services></iq>",
                       answer, why) ||
        !ReadServices(answer, services, why))
        return "refused";
    return "stun " + services.stunHost + ":" + std::to_string(services.stunPort) + " turn " +
           services.turnHost + ":" + std::to_string(services.turnPort) + " " + services.turnUser;
}
} // namespace

TEST(LobbyServicesTest, TakesTheFirstUsableStunAndTurnServer)
{
    const std::string stun = "<service type='stun' transport='udp' host='203.0.113.10' port='3478'/>";
    const std::string turn = "<service type='turn' transport='udp' host='2001:db8::1' port='3479' "
                             "username='99:ann' password='p+w='/>";
    EXPECT_EQ(Taken(stun + turn), "stun 203.0.113.10:3478 turn 2001:db8::1:3479 99:ann");
    // Names (never looked up on the server's word), TCP, bad ports and credentials are passed over.
    EXPECT_EQ(
        Taken(
            "<service type='turn' host='turn.example.org' port='3478' username='a' password='b'/>"
            "<service type='turn' transport='tcp' host='203.0.113.9' port='3478' username='a' password='b'/>"
            "<service type='turn' host='203.0.113.8' port='70000' username='a' password='b'/>"
            "<service type='turn' host='203.0.113.7' port='3478' username='a b' password='b'/>"
            "<service type='turn' host='203.0.113.6' port='3478' username='a'/>" +
            stun),
        "stun 203.0.113.10:3478 turn :0 ");
    EXPECT_EQ(Taken("<service type='turn' host='203.0.113.7' port='3478' username='" + std::string(300, 'u') +
                    "' password='b'/>"),
              "refused");
    EXPECT_EQ(Taken(stun + turn, "error"), "refused");
    EXPECT_EQ(Taken(""), "refused");
}
