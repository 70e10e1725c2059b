#pragma once

#include <string>

// Where the game's data (the catalogue, the media it names and the window icon) is read from.
// The catalogue's paths are relative to that folder, so the game makes it its working directory.

struct DataFolderSearch
{
    std::string found;  // the first place holding the catalogue; empty when none does
    std::string looked; // every place tried, in order, for the message when none does
};

// The program's own file, wherever it was started from; empty where the system cannot say.
std::string ProgramPath();

// The installed data folder for a program at pProgramPath: <prefix>/games/ampwarden reads
// <prefix>/share/games/ampwarden, whatever the prefix.
std::string InstalledDataFolder(const std::string& pProgramPath);

// Tries the working directory, then pEnvData (the AMPWARDEN_DATA setting; null when unset),
// then the installed folder beside pProgramPath (skipped when empty).
DataFolderSearch FindDataFolder(const std::string& pWorkDir, const char* pEnvData,
                                const std::string& pProgramPath);

// Finds the data from this process's own working directory, environment and program file
// and changes into it. False with a one-line reason naming every place tried.
bool EnterDataFolder(std::string& pWhy);
