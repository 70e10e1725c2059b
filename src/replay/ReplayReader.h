#pragma once

#include <string>

#include "replay/ReplayFormat.h"

// What a replay must have been recorded with to play the same here: these rules and the
// fingerprint of this data. Zero rules or an empty fingerprint is not checked (the fuzzer's
// inputs); the program version is only named, since builds of the same rules play alike.
struct CReplayExpect
{
    int rules = 0;
    std::string data;
};

// These rules and the fingerprint of the catalogue at the path.
CReplayExpect ExpectedHere(const char* pCatalogue);

// Reads and checks a replay's text: every field, every number's range, the order of the
// steps. An incomplete last line (a recording cut short) is left out. False, with
// "line N: why", at the first fault.
bool ParseReplay(const std::string& pText, const CReplayExpect& pExpect, CReplay& pOut, std::string& pWhy);

// The same for a file, which must be a regular one (opened without blocking, so a FIFO never
// hangs) of at most ReplayFormat::FILE_LIMIT bytes.
bool LoadReplay(const std::string& pPath, const CReplayExpect& pExpect, CReplay& pOut, std::string& pWhy);
