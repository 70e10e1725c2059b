#pragma once

// The GL framebuffer the game draws into, asked of SDL before the window is made. The game,
// the window tests and the drawing benchmarks all ask for the same one.
void RequestGLWindowAttributes();
