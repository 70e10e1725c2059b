#include "ui/AppSettings.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cstdio>

#include "engine/GameEngine.h"
#include "engine/Platform.h"
#include "engine/WindowSize.h"
#include "media/Audio.h"
#include "replay/ReplaySession.h"
#include "world/GameWorld.h"

namespace
{
const size_t RECENT_LIMIT = 1024;

int MixerVolume(int pPercent)
{
    return pPercent * MIX_MAX_VOLUME / CSettings::VOLUME_MAX;
}
} // namespace

CAppSettings& CAppSettings::Instance()
{
    static CAppSettings* settings = new CAppSettings;
    return *settings;
}

void CAppSettings::Load()
{
    m_path = SettingsPath();
    m_settings = LoadSettings(m_path);
    std::string text;
    std::string why;
    bool missing = false;
    if (ReadSmallFile(RecentHostsPath(), RECENT_LIMIT, text, missing, why))
        m_recentHosts = ParseRecentHosts(text);
}

void CAppSettings::Apply(CGameEngine& /*pEngine*/) const
{
    if (IsAudioOpen())
    {
        Mix_Volume(-1, MixerVolume(m_settings.effectsVolume));
        Mix_VolumeMusic(MixerVolume(m_settings.musicVolume));
    }
    CReplaySession::Instance().RecordFromSettings(TheWorld(), m_settings.record);
    TheWorld().m_playerName = m_settings.name;
}

bool CAppSettings::Change(CGameEngine& pEngine, const CSettings& pSettings, std::string& pWhy)
{
    const bool newSize = pSettings.window != m_settings.window;
    m_settings = pSettings;
    Apply(pEngine);
    // The window changes at once. Full screen is compared with the window itself, which
    // -fullscreen may have put in full screen already; the size only when it was changed, so
    // that a -geometry window keeps its size.
    SDL_Surface* window = SDL_GetVideoSurface();
    if (window && (newSize || ((window->flags & SDL_FULLSCREEN) != 0) != pSettings.fullscreen))
    {
        DisplayConfig wanted = pEngine.GetDisplayConfig();
        wanted.fullscreen = pSettings.fullscreen;
        if (newSize)
            ApplyWindowSetting(pSettings.window, wanted);
        if (!pEngine.ChangeWindow(wanted))
            std::fprintf(stderr, "ampwarden: %s\n", pEngine.GetLastError().c_str());
    }
    return SaveSettings(m_path, m_settings, pWhy);
}

bool CAppSettings::MarkGuideOffered(std::string& pWhy)
{
    m_settings.guideOffered = true;
    return SaveSettings(m_path, m_settings, pWhy);
}

void CAppSettings::AddRecentHost(const std::string& pAddress)
{
    m_recentHosts = WithRecentHost(m_recentHosts, pAddress);
    std::string text;
    for (const std::string& host : m_recentHosts)
        text += host + "\n";
    std::string why;
    if (!WriteWholeFile(RecentHostsPath(), text, why))
        std::fprintf(stderr, "ampwarden: cannot keep the last addresses: %s\n", Printable(why).c_str());
}
