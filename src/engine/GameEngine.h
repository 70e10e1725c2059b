#pragma once

#include <set>
#include <string>

#include "engine/DisplayConfig.h"
#include "engine/FrameHook.h"
#include "engine/WindowContent.h"

struct SDL_Surface;
union SDL_Event;

// The platform under the game: owns SDL, the window and its GL context, the audio device,
// the icon and the command-line options, and runs the frame loop over the window's content
// (the program's world and screens, set by the program).
class CGameEngine
{
  public:
    static CGameEngine& Instance();

    void AddOption(const std::string& pName);
    bool HasOption(const std::string& pName) const;
    const std::set<std::string>& GetOptions() const { return m_options; }
    void RemoveOption(const std::string& pName);

    // Each step in order; false at the first failure, with GetLastError naming it.
    bool Initialise(const DisplayConfig& pConfig);
    void Run();
    // One pass of the frame loop: handle one pending event, else run a frame when active (and
    // with a window, sleep until the next step is due), else sleep until an event arrives.
    void RunPass();
    // Marks the loop running and starts the frame clock at the given tick count.
    void BeginLoop(unsigned pNow);
    void Shutdown();
    void Quit();
    void HandleEvent(const SDL_Event& pEvent);
    // Runs one frame with the given tick count (what Run does when no event is pending); the
    // picture is drawn again only when a step ran or an event came in since the last one.
    void RunFrame(unsigned pNow);

    const DisplayConfig& GetDisplayConfig() const { return m_config; }
    // Sets the window size and the rest without opening anything (headless use and tests).
    void Configure(const DisplayConfig& pConfig) { m_config = pConfig; }
    // What the loop runs and shows; not owned, null for nothing (events and frames then only
    // reach the frame hook).
    void SetContent(CWindowContent* pContent) { m_content = pContent; }
    CWindowContent* GetContent() const { return m_content; }
    bool IsRunning() const { return m_running; }
    bool IsActive() const { return m_active; }
    unsigned GetLastTicks() const { return m_lastTicks; }
    const std::string& GetLastError() const { return m_lastError; }
    // Runs beside the world every frame (a network session); not owned, null for none.
    void SetFrameHook(CFrameHook* pHook) { m_frameHook = pHook; }
    CFrameHook* GetFrameHook() const { return m_frameHook; }

    bool m_SDLInitialized = false;
    bool m_SDLMixerInitialized = false;
    bool m_IconInitialized = false;

  private:
    CGameEngine();
    bool InitAudio();
    bool LoadIcon();
    bool SetupVideo();
    bool LoadResources();
    bool Fail(const std::string& pWhy);
    unsigned TimeToNextStep() const;

    DisplayConfig m_config;
    SDL_Surface* m_screen = nullptr;
    SDL_Surface* m_icon = nullptr;
    unsigned m_videoFlags = 0;
    bool m_running = false;
    bool m_active = false;
    unsigned m_lastTicks = 0;
    bool m_redraw = true;
    CWindowContent* m_content = nullptr;
    std::set<std::string> m_options;
    std::string m_lastError;
    CFrameHook* m_frameHook = nullptr;
};

// Where the catalogue of sprites, sounds and fonts lives, relative to the data folder (the
// working directory once main has found it).
extern const char* const RESOURCE_CATALOGUE;
