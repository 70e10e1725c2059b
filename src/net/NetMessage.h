#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "world/ChatText.h"
#include "world/MatchCommand.h"

// What two copies of the game say to each other over the network, and its byte layout:
// explicit little-endian fields, every length bounded. A received message is hostile until
// DecodeNetMessage has accepted it; nothing in it is ever run, printed as a format or used as a path.
namespace Net
{
// Raised whenever a message's layout or meaning changes; peers of different protocols refuse.
const uint16_t PROTOCOL_VERSION = 6;
// No message is longer; a bigger one is refused before it is looked at.
const size_t MAX_MESSAGE_BYTES = 1024;
const size_t MAX_TEXT_BYTES = 40;
// The player's name in a greeting, as the settings allow it.
const size_t MAX_NAME_BYTES = 16;
// Commands one turn may carry, and steps one turn may close at once.
const int MAX_TURN_COMMANDS = 32;
const int MAX_TURN_SPAN = 64;
// Steps a match may last (about 24 days), so that step arithmetic never overflows.
const int MAX_STEP = 1 << 27;
const int MAX_NODE_ID = 1 << 24;
const int MAX_DELAY = 60;
// Commands a returning side is sent to rebuild the match with: a 15-minute match in which both
// sides build every eighth step (far busier than people play) has 14,062.
const int MAX_CATCH_UP_COMMANDS = 20000;
// Commands in one message of the catch-up list.
const int MAX_HISTORY_COMMANDS = 28;
// A chat line: printable ASCII, at most this long.
const size_t MAX_CHAT_BYTES = Chat::MAX_BYTES;
// Observers one host lets watch at once; chat senders are the two sides, then the observers.
const int MAX_OBSERVERS = Chat::MAX_OBSERVERS;
const int CHAT_FROM_OBSERVER = Chat::FROM_OBSERVER; // observer N sends as CHAT_FROM_OBSERVER + N - 1
} // namespace Net

enum NetMessageType
{
    NET_HELLO = 1, // protocol, program version, data fingerprint, rules: both ways, first
    NET_PING = 2,  // the host measures the round trip
    NET_PONG = 3,
    NET_START = 4, // the host's seed, the input delay and the start date
    NET_TURN = 5,  // the sender's commands for the steps (through - span, through]
    NET_HASH = 6,  // the sender's state hash after `step` steps
    NET_PAUSE = 7, // paused (or resumed) by the sender
    NET_BYE = 8,   // the sender leaves, with a reason and the last step the match runs
    // A returning side: the side that stayed tells where the match stands (then NET_HISTORY
    // messages with every command so far); the returning side says it stands there too, with its hash.
    NET_CATCH_UP = 9,
    NET_HISTORY = 10,
    NET_READY = 11,
    // A chat line: the sender's step, who said it (1 green, 2 blue, then the observers), the text.
    NET_CHAT = 12,
    // The host to an observer it lets in: the observer's number, both players' names, whether
    // observers' lines reach the players. Then a catch-up, and turns of agreed commands.
    NET_WATCH = 13,
};

enum NetByeReason
{
    BYE_QUIT = 0,       // the player left
    BYE_REFUSED = 1,    // the handshake did not match
    BYE_BAD_INPUT = 2,  // a message from us broke the rules
    BYE_DESYNC = 3,     // the hashes differed
    BYE_FINISHED = 4,   // the match is decided
    BYE_CLAIMED = 5,    // the other side was silent too long; the sender claims the win
    BYE_NO_MATCH = 6,   // a seat was offered to a host with no match running
    BYE_WRONG_SEAT = 7, // a seat was offered with a token not the match's
    BYE_REASON_COUNT = 8,
};

struct CNetMessage
{
    int type = NET_HELLO;
    // NET_HELLO
    int protocol = 0;
    std::string version;
    std::string fingerprint;
    int rules = 1; // a greeting of protocol 2 and older names none: those builds play rules 1
    // NET_HELLO: the seat of a running match offered by a returning side, 0 for none (from a
    // host started again: the match it comes back to, by seed and date, never the token);
    // NET_START: the seat token, which both sides keep
    uint64_t seat = 0;
    // The player's name: last, and read only when sent, so that an older greeting still
    // reads and is refused for its version.
    std::string name;
    // NET_PING, NET_PONG
    uint32_t token = 0;
    // NET_START
    uint32_t seed = 0;
    int delay = 0;
    int64_t date = 0;
    // NET_TURN (every command's step lies in (through - span, through], span <= MAX_TURN_SPAN)
    int through = 0;
    int span = 1;
    std::vector<CMatchCommand> commands;
    // NET_HASH; NET_CATCH_UP and NET_READY: the step the match stands at and its hash
    int step = 0;
    uint64_t hash = 0;
    // NET_CATCH_UP (with seed, delay, date): the steps each side closed, the commands to come
    int hostThrough = 0;
    int joinerThrough = 0;
    int count = 0;
    // NET_PAUSE
    bool paused = false;
    // NET_BYE: for a leave or a claim, the last step both sides run (-1: none given)
    int reason = BYE_QUIT;
    int lastStep = -1;
    // NET_CHAT: the sender and the line; NET_WATCH: the observer's number, the players' names,
    // and (in `paused`) whether observers may talk to the players; NET_BYE to observers: the
    // side that left (0: none, the match was decided or broken off)
    int from = 0;
    std::string text;
    std::string greenName;
    std::string blueName;
};

std::vector<uint8_t> EncodeNetMessage(const CNetMessage& pMessage);
// False, with a short reason that names no received text, for anything malformed: short,
// long, an unknown type, a value out of range, bytes left over.
bool DecodeNetMessage(const uint8_t* pData, size_t pSize, CNetMessage& pOut, std::string& pWhy);
// A received text made safe to show: printable ASCII only, at most MAX_TEXT_BYTES.
std::string PrintableText(const std::string& pText);
