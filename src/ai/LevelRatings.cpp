#include "ai/Levels.h"

namespace
{
// From the arena's ratings of every level against every other, 200 seeds a pairing, pooled
// with 400 more seeds between levels within two places of each other (see doc/tournaments.md), by
// level number.
const int RATINGS[LEVEL_COUNT] = {0,   484, 1639, 1568, 1867, -28,  517, 813,  1083,
                                  188, 315, 688,  819,  1069, 1374, 951, 1177, 1444};
} // namespace

int MeasuredRating(unsigned pLevel)
{
    return pLevel < LEVEL_COUNT ? RATINGS[pLevel] : 0;
}
