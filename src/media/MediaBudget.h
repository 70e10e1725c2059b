#pragma once

#include <cstddef>

// What decoded media may cost, whatever their files claim: a few bytes can describe an image,
// a glyph page or a sound of gigabytes. Each limit is many times what the game's own data
// needs (doc/data-and-limits.md gives both); past one the catalogue is refused, naming the file.
constexpr int ATLAS_SIDE_LIMIT = 4096;                  // the sprite atlas page, in texels
constexpr size_t SPRITE_BYTES_LIMIT = size_t(32) << 20; // all sprites decoded, as RGBA
constexpr int GLYPH_PAGE_SIDE_LIMIT = 2048;             // one font's glyph page, in texels
constexpr size_t GLYPH_BYTES_LIMIT = size_t(16) << 20;  // all glyph pages, one byte a texel
constexpr size_t SOUND_BYTES_LIMIT = size_t(32) << 20;  // all sound effects, as the mixer plays them
