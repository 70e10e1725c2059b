#include "ai/Levels.h"

namespace
{
// From the arena's table of every level against every other (see the README), by level number;
// Bold's from its own matches against Keen, Normal and Hard, with their ratings held.
const int RATINGS[LEVEL_COUNT] = {0,   465, 1546, 1527, 1802, -52,  434, 755,  993,
                                  156, 271, 604,  757,  996,  1284, 860, 1110, 1400};
} // namespace

int MeasuredRating(unsigned pLevel)
{
    return pLevel < LEVEL_COUNT ? RATINGS[pLevel] : 0;
}
