#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "world/MatchCommand.h"

class CGameWorld;

// A replay is plain text, one record a line, so that two can be read and diffed: a header
// with what the simulation needs to play the match again, then the commands at their steps,
// a checkpoint (the state hash) every CHECK_EVERY steps, and an end line.
namespace ReplayFormat
{
// Version 2 names the rules after the program; a version 1 file names none and was recorded
// by rules 1. Version 3's end line folds its step into the hash (see EndLineHash).
constexpr int VERSION = 3;
constexpr int CHECK_EVERY = 64;
// Longer lines, or larger files, are not replays this program wrote.
constexpr size_t LINE_LIMIT = 200;
constexpr size_t FILE_LIMIT = size_t(32) << 20;
// A day of play; a step beyond it is a made-up number, not a match.
constexpr int STEP_LIMIT = 24 * 60 * 60 * 1000 / 16;
// What a computer side's level may be: the four menu levels, or the opponent's own default.
constexpr unsigned DEFAULT_LEVEL = 100;
// A player's name: printable, single spaces, at most this long.
constexpr size_t NAME_LIMIT = 16;
} // namespace ReplayFormat

// Who plays a side, and at what level when it is the computer.
struct CReplaySide
{
    bool computer = false;
    unsigned level = 0;
    // The name a human side's player went by, empty when none was given.
    std::string name;
};

// What the simulation needs to start the match again. Which side the local player sat on is
// left out on purpose: both machines of a network match write the same file.
struct CReplayHeader
{
    int version = ReplayFormat::VERSION;
    std::string program;
    int rules = 1;
    std::string commit; // "" when the recording build did not know it
    std::string data;
    unsigned seed = 0;
    std::string date;
    CReplaySide sides[2]; // green, blue
    bool demo = false;
    bool watched = false;
};

struct CReplay
{
    struct Command
    {
        int line;
        CMatchCommand command;
    };
    struct Check
    {
        int line;
        int step;
        uint64_t hash;
    };
    CReplayHeader header;
    std::vector<Command> commands;
    std::vector<Check> checks;
    // A replay whose recording was cut short has no end line; it plays to the last step its
    // complete lines name.
    bool ended = false;
    int endLine = 0;
    int endStep = 0;
    std::string winner = "none";
    uint64_t endHash = 0;
    // What the players and observers said, at the step it was written; no part of the match.
    struct Chat
    {
        int step;
        int from; // 1 green, 2 blue, then the observers (see ChatSenderTag)
        std::string text;
    };
    std::vector<Chat> chats;
};

// The header of the match the world has just started, with the given date.
CReplayHeader HeaderOfMatch(const CGameWorld& pWorld, const std::string& pDate);
// "green", "blue", "tie" or "none" for the world's result, as the board decided it (a side's
// main node fell), not as a network opponent's leaving did.
const char* WinnerOfMatch(const CGameWorld& pWorld);

std::string FormatHeader(const CReplayHeader& pHeader);
// The build that recorded the replay, e.g. "rules 1 (1.01, commit 0123456789ab)".
std::string RecordedBy(const CReplayHeader& pHeader);
std::string FormatCommand(int pStep, const CMatchCommand& pCommand);
std::string FormatCheck(int pStep, uint64_t pHash);
std::string FormatEnd(int pStep, const char* pWinner, uint64_t pHash);
// The hash an end line of the format version carries for the board's state hash at the step.
// From version 3 the step is folded in: a board that stands still hashes alike at every step,
// and an undecided match's end line could otherwise be moved to any later step unnoticed.
uint64_t EndLineHash(int pVersion, uint64_t pStateHash, int pStep);
// "chat STEP SENDER TEXT": the text as CleanChatText leaves it (empty: no line).
std::string FormatChat(int pStep, int pFrom, const std::string& pText);

// Whether a command can be written and read back: a known kind other than a restart (which
// ends the file instead), a real side and tool, a place on the board, a node id in range.
// Empty when it can, else why not.
std::string WhyNotRecordable(const CMatchCommand& pCommand);

const char* TeamName(int pTeam);
const char* ToolName(int pTool);
