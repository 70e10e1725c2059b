#pragma once

union SDL_Event;

// What the engine's frame loop runs and shows: the program's world and the screens over it.
// The program sets it; the engine reaches the game only through these calls.
class CWindowContent
{
  public:
    virtual ~CWindowContent() = default;
    // Before the loop's first pass and after its last.
    virtual void BeginRun() = 0;
    virtual void EndRun() = 0;
    // Every frame, before the step; true when the picture changed.
    virtual bool OnFrame() = 0;
    // Advances the game by the milliseconds since the last frame; true when a step ran.
    virtual bool Step(unsigned pElapsed) = 0;
    virtual void Draw() = 0;
    // Milliseconds until the next step is due.
    virtual unsigned TimeToNextStep() const = 0;
    // Sees each event after the frame hook; true when it was used up.
    virtual bool OnEvent(const SDL_Event& pEvent) = 0;
    // The keys and the mouse that nothing before took.
    virtual void OnInput(const SDL_Event& pEvent) = 0;
};
