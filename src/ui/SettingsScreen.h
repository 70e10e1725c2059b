#pragma once

#include "ui/Screen.h"

class CSlider;
class CTextField;
class CToggle;

// Volumes, full screen, recording and the player's name; every change is applied and saved.
class CSettingsScreen : public CScreen
{
  public:
    CSettingsScreen();

  private:
    void Save();
    CSlider* m_effects;
    CSlider* m_music;
    CToggle* m_fullscreen;
    CToggle* m_record;
    CTextField* m_name;
};
