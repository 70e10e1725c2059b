#pragma once

#include <string>

// The program's version, as the menu and the package show it. Replays and network peers
// compare it: matches are only the same where the rules are.
const char* ProgramVersion();

// A fingerprint of the data the simulation depends on (the resource catalogue: the sprites it
// names decide which effects are thrown, and effects draw random numbers): 16 hex digits, or
// an empty string when the catalogue cannot be read.
std::string DataFingerprint(const char* pCatalogue);
