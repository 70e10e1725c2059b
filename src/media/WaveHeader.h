#pragma once

#include <cstddef>

// True for a RIFF WAVE file of plain PCM that the mixer converts safely: 8 or 16 bits, one or
// two channels, 8 to 192 kHz, a data chunk, and no chunk claiming more bytes than the file
// has. The mixer's converter divides by the rate and the channel count and runs out of filter
// slots for very low rates, and its reader allocates whatever a chunk claims.
bool IsPlayableWave(const unsigned char* pData, size_t pSize);
