#pragma once

union SDL_Event;

// Something that runs beside the world in the engine's frame loop (a network session): it
// sees each event first, gets a call every frame whatever the world's state, and draws over
// the world's picture.
class CFrameHook
{
  public:
    virtual ~CFrameHook() = default;
    // True when the event was used up here and the world must not see it.
    virtual bool OnEvent(const SDL_Event& /*pEvent*/) { return false; }
    // Before the world's update; true when the picture changed.
    virtual bool OnFrame() { return false; }
    virtual void DrawOver() {}
};
