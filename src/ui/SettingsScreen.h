#pragma once

#include <string>
#include <vector>

#include "ui/Screen.h"

class CChoice;
class CSlider;
class CTextField;
class CToggle;

// Volumes, full screen, the window's size, recording and the player's name; every change is applied and
// saved.
class CSettingsScreen : public CScreen
{
  public:
    CSettingsScreen();

  private:
    void Save();
    CSlider* m_effects;
    CSlider* m_music;
    CToggle* m_fullscreen;
    CChoice* m_window;
    std::vector<std::string> m_windowSizes;
    CToggle* m_record;
    CTextField* m_name;
};
