#pragma once

// The largest texture side a page may have: what OpenGL allows (GL_MAX_TEXTURE_SIZE, needs a
// context), unless a smaller limit was set, which lets tests overflow a page with small images.
int GetMaxTextureSide();
// A limit of 0 or less goes back to what OpenGL allows.
void SetMaxTextureSideLimit(int pSide);
