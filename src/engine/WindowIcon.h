#pragma once

#include <string>

struct SDL_Surface;

// Loads the window icon: a 32 by 32 BMP with a palette, whose top-left pixel's palette index
// becomes transparent. Null (with the reason in pError) when the file is missing or not such
// an image; the caller owns the surface.
SDL_Surface* LoadIconSurface(const std::string& pPath, std::string& pError);

// The flags the window is opened with.
unsigned VideoFlagsFor(bool pFullscreen);
