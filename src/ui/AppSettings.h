#pragma once

#include <string>
#include <vector>

#include "ui/Settings.h"

class CGameEngine;

// The settings the program runs with: read at start, applied to the sound, the window and
// the recording, and saved whenever the player changes one.
class CAppSettings
{
  public:
    static CAppSettings& Instance();

    // Reads the settings file and the last addresses joined.
    void Load();
    const CSettings& Get() const { return m_settings; }
    // Applies what the running program can take at once: the volumes and the recording.
    void Apply(CGameEngine& pEngine) const;
    // Takes new settings, applies them and saves the file; false, with why, when it cannot
    // be written (the settings still hold for this run).
    bool Change(CGameEngine& pEngine, const CSettings& pSettings, std::string& pWhy);
    const std::string& GetPath() const { return m_path; }
    // Notes that the first-match guide was offered and saves it; false, with why, when the
    // file cannot be written (it is then offered again next run).
    bool MarkGuideOffered(std::string& pWhy);

    const std::vector<std::string>& GetRecentHosts() const { return m_recentHosts; }
    void AddRecentHost(const std::string& pAddress);

  private:
    CSettings m_settings;
    std::string m_path;
    std::vector<std::string> m_recentHosts;
};
