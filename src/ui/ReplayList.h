#pragma once

#include <string>
#include <vector>

#include "replay/ReplayReader.h"

// One replay file as the Replays screen lists it, read from its header and its last line
// only, so that a folder of a thousand lists at once.
struct CReplayEntry
{
    std::string path;
    std::string date;     // "2026-12-07 17:08:15", the header's (else the file's time)
    std::string sides[2]; // green's and blue's: "Player", or "Computer (Hard)"
    bool human = false;   // a side was played by a person
    int steps = -1;       // the match's length; -1 when not known
    std::string result;   // "Green won", "Blue won", "Tie", "Undecided", "Cut short"
    bool playable = false;
    std::string why; // why it cannot be played, or why it cannot be read at all
    bool readable = false;
};

// Reads one file's head and tail against what this build can play.
CReplayEntry ReadReplayEntry(const std::string& pPath, const CReplayExpect& pExpect);

// Every "*.replay" file of the folder, newest first; a file that cannot be read is listed
// with its reason.
std::vector<CReplayEntry> ListReplays(const std::string& pFolder, const CReplayExpect& pExpect);

enum ReplayOrder
{
    ORDER_NEWEST,
    ORDER_LONGEST,
};
// The entries to show: sorted, and only those a person played in when pMine.
std::vector<CReplayEntry> ArrangeReplays(std::vector<CReplayEntry> pEntries, ReplayOrder pOrder, bool pMine);

// "m:ss" for a length in steps, "?" when it is not known.
std::string FormatLength(int pSteps);
// One line of the list.
std::string DescribeReplay(const CReplayEntry& pEntry);
