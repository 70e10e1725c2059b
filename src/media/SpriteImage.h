#pragma once

#include <cstddef>
#include <string>

#include "media/ImageHeader.h"

struct SDL_Surface;

// Checks a sprite file without decoding it: its format, sides that a sprite can have, and a
// file long enough for the pixels its header claims. False, with the reason in pWhy, otherwise.
bool CheckSpriteHeader(const unsigned char* pData, size_t pSize, const char* pPath, ImageHeader& pHeader,
                       std::string& pWhy);

// Why a sprite of this header cannot join an atlas page of at most pMaxSide texels a side,
// checked before it is decoded; empty when it can. One wider or taller than the page can never
// be placed, and the sprites wait decoded until all are read: pDecoded adds up their RGBA bytes.
std::string SpriteOverBudget(const ImageHeader& pHeader, int pMaxSide, size_t& pDecoded);

// Decodes one sprite image from the bytes of its file: PNG, or the BMP and TGA (known by the
// name in pPath) that tools and tests write. Other formats are refused rather than handed to
// the image library's less used decoders, and so are images whose header claims a size no
// sprite has or pixels the file cannot hold (CheckSpriteHeader). Null, with the reason in pWhy, when the
// image cannot be decoded; the library's own warnings are kept off standard error.
SDL_Surface* DecodeSpriteImage(const unsigned char* pData, size_t pSize, const char* pPath,
                               std::string& pWhy);

// The farthest any texel that is not fully clear reaches from the image's centre, measured to
// its far corner. An image without alpha counts as content throughout.
float ContentRadius(SDL_Surface* pImage);
