#pragma once

#include <cstdint>
#include <string>

// The program's version, as the menu and the package show it.
const char* ProgramVersion();

// The rules: what the simulation computes. Two builds of the same rules play every match alike,
// whatever their program versions, so replays and network peers compare the rules. A change to
// what any match computes, at any level, alters the recorded matches' fingerprint (the decision
// test pins it), and each new fingerprint is appended here, which makes the next rules version.
constexpr uint64_t RULES_FINGERPRINTS[] = {
    0xfbfa1b79af801e3cull, // rules 1 (every level's match), also those of replays that name no rules
};
constexpr int RULES_VERSION = static_cast<int>(sizeof RULES_FINGERPRINTS / sizeof RULES_FINGERPRINTS[0]);

// The commit the build was made from (12 hex digits, then "-modified" when its tracked files
// had been changed), or "" for a build outside git.
const char* BuildCommit();
// This build as messages that set two builds side by side name it, e.g.
// "rules 1 (1.01, commit 0123456789ab)"; pRules stands in for this build's own where given.
std::string ThisBuild(int pRules = RULES_VERSION);

// A fingerprint of the data the simulation depends on (the resource catalogue: the sprites it
// names decide which effects are thrown, and effects draw random numbers): 16 hex digits, or
// an empty string when the catalogue cannot be read.
std::string DataFingerprint(const char* pCatalogue);
