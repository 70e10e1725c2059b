#pragma once

#include "engine/ViewTransform.h"

struct DisplayConfig;
struct SDL_Surface;
union SDL_Event;

// The game's window on the display: opens it at the size the configuration asks for, follows
// the player resizing it, and shows the layout in it scaled to fit (see CViewTransform). The
// mouse comes in through ToLayout, so everything past it works in layout pixels.
class CWindowView
{
  public:
    CWindowView();

    // The display's own size; read once SDL runs and before the first window opens, when it is
    // still the desktop's.
    void ReadDisplaySize();
    int GetDisplayWidth() const { return m_displayWidth; }
    int GetDisplayHeight() const { return m_displayHeight; }

    // Opens (or changes) the window for the configuration: resizable when windowed, at the
    // display's own resolution in full screen, so that no mode change upsets the desktop.
    // Null, with SDL's reason in SDL_GetError, when it cannot.
    SDL_Surface* Open(const DisplayConfig& pConfig);
    // The player resized the window to this size.
    SDL_Surface* Resize(int pWidth, int pHeight, const DisplayConfig& pConfig);

    // Paints the bars beside the picture black; the picture itself is clipped to its place.
    void ClearBars() const;
    // A mouse event's position (and motion) in layout pixels; other events as they are.
    SDL_Event ToLayout(const SDL_Event& pEvent) const;
    const CViewTransform& GetTransform() const { return m_transform; }

  private:
    SDL_Surface* SetMode(int pWidth, int pHeight, const DisplayConfig& pConfig);
    // Viewport, projection and clipping for the window's size, and text and sprites rasterised
    // and filtered for the scale.
    void Apply();

    CViewTransform m_transform;
    int m_displayWidth = 0;
    int m_displayHeight = 0;
};
