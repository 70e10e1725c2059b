#pragma once

#include <string>
#include <vector>

// What the player sets on the Settings screen, kept between runs in a small text file.
struct CSettings
{
    static constexpr int VOLUME_MAX = 100;
    static constexpr size_t NAME_LIMIT = 16;

    int effectsVolume = VOLUME_MAX; // percent
    int musicVolume = VOLUME_MAX;
    bool fullscreen = false;
    // The window's size: "WxH", or "fit" for the largest that fits the screen.
    std::string window = "1024x768";
    bool record = true;
    std::string name = "Player";
    // The lobby's chat server, SERVER[:PORT] (the account and its password are not kept here).
    std::string lobbyServer = "127.0.0.1";
    // The first-match guide was offered once, on the first New Game, and is not offered again.
    bool guideOffered = false;

    bool operator==(const CSettings& pOther) const;
};

// A name the greeting, the screen and a replay header can carry: 1 to 16 printable ASCII
// characters, not starting or ending with a space, nor with two spaces in a row.
bool IsGoodPlayerName(const std::string& pName);

// A lobby server as the settings keep it: a host name or address, with a port or not; 1 to 64
// letters, digits, '.', '-', ':', '[' and ']'.
bool IsGoodLobbyServer(const std::string& pServer);

// Reads the settings text: every line "key value" (CR LF line ends and a UTF-8 byte-order
// mark are taken as well). Good values replace the defaults in pOut;
// an unknown key, a bad value, a line that is not text or a file past its size limit leaves
// the defaults for what it touches. False, with the first fault, when anything was left out.
bool ParseSettings(const std::string& pText, CSettings& pOut, std::string& pWhy);
std::string FormatSettings(const CSettings& pSettings);

// $XDG_CONFIG_HOME/ampwarden/settings, else ~/.config/ampwarden/settings; empty when neither
// variable says.
std::string SettingsPath();
// The last addresses joined live beside the other state: $XDG_STATE_HOME/ampwarden, else
// ~/.local/state/ampwarden.
std::string RecentHostsPath();
// The folder of the program's state (the last addresses, kept lobby passwords).
std::string StateFolder();

// Reads a regular file of at most pLimit bytes (without blocking on a FIFO). pMissing tells
// a file that is simply not there from one that cannot be read.
bool ReadSmallFile(const std::string& pPath, size_t pLimit, std::string& pText, bool& pMissing,
                   std::string& pWhy);
// Writes the whole text to a temporary file beside pPath and renames it over pPath, creating
// the folders first, so that a crash never leaves half a file.
bool WriteWholeFile(const std::string& pPath, const std::string& pText, std::string& pWhy);
// Removes the temporary files ("NAME.tmpPID") that writers of pPath killed mid-write left
// beside it; those of a process still running stay. Done on every write and on loading.
void RemoveStaleTemporaries(const std::string& pPath);

// Settings as read at start: a missing file gives the defaults quietly; any fault gives the
// defaults for what could not be used and one line on stderr naming the file.
CSettings LoadSettings(const std::string& pPath);
bool SaveSettings(const std::string& pPath, const CSettings& pSettings, std::string& pWhy);

// The last five HOST[:PORT] joined, newest first; unusable lines are dropped.
std::vector<std::string> ParseRecentHosts(const std::string& pText);
// pAddress moved (or added) to the front, at most five kept.
std::vector<std::string> WithRecentHost(std::vector<std::string> pHosts, const std::string& pAddress);
