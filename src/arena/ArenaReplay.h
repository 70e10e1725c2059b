#pragma once

#include <string>
#include <vector>

// The arena's replay checks: "--verify FILE...", "--trace FILE" and "--dump-step S FILE",
// each optionally after "--catalogue FILE".
bool IsReplayRequest(const std::vector<std::string>& pArgs);

// The catalogue named, or the one the game itself would read from where the arena lies; empty
// after saying on stderr where it looked.
std::string ArenaCatalogue(const std::string& pNamed);

// Runs one; the exit status: 0 when every file agrees, 1 when one does not or cannot be read,
// 2 for bad arguments.
int RunReplayRequest(const std::vector<std::string>& pArgs);
