// XML as the lobby's chat server could send it, through libstrophe's parser and the lobby's
// own readers: whatever they take stays within the bounds the lobby shows and acts on.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lobby/LobbyRoom.h"
#include "lobby/LobbyXml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    const std::string room = "lobby@conference.localhost";
    CLobbyElement element;
    std::string why;
    if (!ParseLobbyXml(std::string(reinterpret_cast<const char*>(pData), pSize), element, why))
        return 0;
    CLobbyPresence presence;
    if (ReadRoomPresence(element, room, presence, why))
    {
        if (presence.nick.empty() || presence.nick.size() > Lobby::MAX_NICK_BYTES ||
            (!presence.account.empty() && !IsLobbyAccount(presence.account)) ||
            (presence.advertises && (presence.account.empty() || !IsLobbyVersion(presence.ad.program) ||
                                     !IsLobbyVersion(presence.ad.rules) || presence.ad.since < 1000000000)))
            std::abort();
        CLobbyRoom lobby;
        for (int i = 0; i < 8; ++i)
        {
            presence.nick += "x";
            lobby.Apply(presence);
        }
        if (lobby.OpenMatches().size() > 1 ||
            lobby.Occupants().size() > CLobbyRoom::MAX_NICKS_PER_ACCOUNT + 0u)
            std::abort();
    }
    CLobbyChatLine line;
    if (ReadRoomChat(element, room, line, why) &&
        (line.text.empty() || line.text.size() > Net::MAX_CHAT_BYTES))
        std::abort();
    CLobbyJoin join;
    if (ReadJoin(element, join, why) && join.kind == CLobbyJoin::OFFER &&
        (join.port == 0 || join.host.empty()))
        std::abort();
    return 0;
}
