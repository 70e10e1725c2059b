#pragma once

#include <string>
#include <vector>

#include "ui/Screen.h"

class CChoice;
class CSlider;
class CTextField;
class CToggle;

// Volumes, full screen, the window's size, recording, the player's name and the lobby's server; every change
// is applied and saved, the names once they are typed.
class CSettingsScreen : public CScreen
{
  public:
    CSettingsScreen();
    void Back() override;

  private:
    // Saves every setting, the name as it was kept.
    void Save();
    void Save(const std::string& pName);
    // Saves the name typed, or puts the kept one back in the field when it is no name.
    void SaveName();
    // Saves the lobby server typed, or puts the kept one back when it is none.
    void SaveLobbyServer();
    CSlider* m_effects;
    CSlider* m_music;
    CToggle* m_fullscreen;
    CChoice* m_window;
    std::vector<std::string> m_windowSizes;
    CToggle* m_record;
    CTextField* m_name;
    CTextField* m_lobbyServer;
};
