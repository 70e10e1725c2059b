#include "engine/Vector2.h"

#include <cstdint>
#include <cstring>

float FastInvSqrt(float pX)
{
    float half = 0.5f * pX;
    std::uint32_t bits;
    std::memcpy(&bits, &pX, sizeof bits);
    bits = 0x5F3759DFu - (bits >> 1);
    float y;
    std::memcpy(&y, &bits, sizeof y);
    return y * (1.5f - half * y * y);
}
