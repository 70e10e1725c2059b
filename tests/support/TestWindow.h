#pragma once

// A real SDL window with an OpenGL context for tests that draw or upload textures.
// Opened once per test process (1024 by 768, orthographic projection with the origin at the
// bottom-left, one unit per pixel, as the game sets it up). Needs an X display.
bool OpenTestWindow();

struct TestPixel
{
    int r, g, b, a;
};

// Reads one pixel of the back buffer in drawing coordinates (origin bottom-left).
TestPixel ReadTestPixel(int pX, int pY);
// Clears to the given colour with the game's usual blending state.
void ClearTestWindow(float pR, float pG, float pB);

// Loads the game's own sprites and fonts from its catalogue (sounds are not needed to draw),
// unless they are loaded already: the screens keep the sprite and font pointers they looked
// up, so the media must not be reloaded under them within one test process.
bool LoadGameMedia();
