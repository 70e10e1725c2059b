#pragma once

#include <cstddef>
#include <string>

struct SDL_Surface;

// Decodes one sprite image from the bytes of its file: PNG, or the BMP and TGA (known by the
// name in pPath) that tools and tests write. Other formats are refused rather than handed to
// the image library's less used decoders, and so are images whose header claims a size no
// sprite has. Null, with the reason in pWhy, when the image cannot be decoded; the library's
// own warnings are kept off standard error.
SDL_Surface* DecodeSpriteImage(const unsigned char* pData, size_t pSize, const char* pPath,
                               std::string& pWhy);

// The farthest any texel that is not fully clear reaches from the image's centre, measured to
// its far corner. An image without alpha counts as content throughout.
float ContentRadius(SDL_Surface* pImage);
