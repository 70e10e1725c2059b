#pragma once

#include "ui/Screen.h"

class CSlider;
class CTextField;
class CToggle;

// Volumes, full screen, recording and the player's name; every change is applied and saved,
// the name once it is typed.
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
    CSlider* m_effects;
    CSlider* m_music;
    CToggle* m_fullscreen;
    CToggle* m_record;
    CTextField* m_name;
};
