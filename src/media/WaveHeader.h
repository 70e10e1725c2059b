#pragma once

#include <cstddef>
#include <cstdint>

// True for a RIFF WAVE file of plain PCM that the mixer converts safely: 8 or 16 bits, one or
// two channels, 8 to 192 kHz, a data chunk, and no chunk claiming more bytes than the file
// has. The mixer's converter divides by the rate and the channel count and runs out of filter
// slots for very low rates, and its reader allocates whatever a chunk claims.
bool IsPlayableWave(const unsigned char* pData, size_t pSize);

// What the header of a playable wave says of its samples.
struct WaveShape
{
    uint32_t rate = 0;
    unsigned blockAlign = 0; // bytes a frame
    uint32_t dataBytes = 0;
};
// IsPlayableWave that also gives the shape.
bool ReadPlayableWave(const unsigned char* pData, size_t pSize, WaveShape& pShape);
// The bytes the samples take once the mixer has converted them to the device's rate and
// pFrameBytes a frame: what a chunk keeps in memory.
size_t PlayedWaveBytes(const WaveShape& pShape, unsigned pRate, unsigned pFrameBytes);
