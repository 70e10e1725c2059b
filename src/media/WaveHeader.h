#pragma once

#include <cstddef>

// True for a RIFF WAVE file of plain PCM that the mixer converts safely: 8 or 16 bits, one or
// two channels, 8 to 192 kHz, and a data chunk, no chunk claiming more bytes than the file has. The mixer's converter divides by the rate and
// the channel count and runs out of filter slots for very low rates, so a header claiming
// anything else would crash it.
bool IsPlayableWave(const unsigned char* pData, size_t pSize);
