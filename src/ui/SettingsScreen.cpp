#include "ui/SettingsScreen.h"

#include "engine/GameEngine.h"
#include "media/SoundManager.h"
#include "ui/AppSettings.h"
#include "ui/MenuScreens.h"

namespace
{
CRect Row(int pIndex)
{
    using namespace ScreenLayout;
    return {LEFT, TOP + pIndex * PITCH, WIDTH, HEIGHT};
}
} // namespace

CSettingsScreen::CSettingsScreen() : CScreen("Settings")
{
    const CSettings& now = CAppSettings::Instance().Get();
    m_effects = Add(std::make_unique<CSlider>(Row(0), "Effects volume", now.effectsVolume));
    m_music = Add(std::make_unique<CSlider>(Row(1), "Music volume", now.musicVolume));
    m_fullscreen = Add(std::make_unique<CToggle>(Row(2), "Full screen", now.fullscreen));
    m_record = Add(std::make_unique<CToggle>(Row(3), "Record every match", now.record));
    m_name = Add(std::make_unique<CTextField>(Row(4), "Your name", CSettings::NAME_LIMIT, now.name));
    Add(std::make_unique<CButton>(Row(6), "Back", [this] { Back(); }));
    m_effects->m_onChange = [this](int)
    {
        Save();
        // Heard at the new volume.
        PlaySound("MenuClick");
    };
    // The menu's music plays on under the screen, so the change is heard as it is made.
    m_music->m_onChange = [this](int) { Save(); };
    m_fullscreen->m_onChange = [this](int) { Save(); };
    m_record->m_onChange = [this](int) { Save(); };
    // The name is taken once it is typed (Enter, or another row chosen), never halfway.
    m_name->m_onEnter = [this] { SaveName(); };
    m_name->m_onLeave = [this] { SaveName(); };
    SetStatus("Kept in " + CAppSettings::Instance().GetPath(), false);
}

void CSettingsScreen::Back()
{
    SaveName();
    CScreen::Back();
}

void CSettingsScreen::SaveName()
{
    const std::string& kept = CAppSettings::Instance().Get().name;
    if (m_name->GetText() == kept)
        return;
    if (!IsGoodPlayerName(m_name->GetText()))
    {
        m_name->SetText(kept);
        SetStatus("A name has 1 to 16 letters, digits or signs, no space at either end: still " + kept, true);
        return;
    }
    Save(m_name->GetText());
}

void CSettingsScreen::Save()
{
    Save(CAppSettings::Instance().Get().name);
}

void CSettingsScreen::Save(const std::string& pName)
{
    CSettings settings = CAppSettings::Instance().Get();
    settings.effectsVolume = m_effects->m_value;
    settings.musicVolume = m_music->m_value;
    settings.fullscreen = m_fullscreen->IsOn();
    settings.record = m_record->IsOn();
    settings.name = pName;
    std::string why;
    if (!CAppSettings::Instance().Change(CGameEngine::Instance(), settings, why))
        SetStatus("Not saved: " + why, true);
    else
        SetStatus("Saved in " + CAppSettings::Instance().GetPath(), false);
}
