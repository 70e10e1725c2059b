#pragma once

#include <string>

// A lobby password the player chose to keep: one file per server and account in the state
// folder (never the settings file, never a replay), readable by the player alone (0600, in a
// folder of mode 0700), written whole or not at all.
std::string LobbyPasswordPath(const std::string& pFolder, const std::string& pServer,
                              const std::string& pAccount);
bool SaveLobbyPassword(const std::string& pPath, const std::string& pPassword, std::string& pWhy);
// False when there is none (or the file is not one this program wrote).
bool LoadLobbyPassword(const std::string& pPath, std::string& pPassword);
void ForgetLobbyPassword(const std::string& pPath);
