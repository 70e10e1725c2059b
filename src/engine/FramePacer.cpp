#include "engine/FramePacer.h"

#include <algorithm>

unsigned FrameWait(unsigned pFrameStart, unsigned pNow, unsigned pToNextStep, unsigned pPeriod)
{
    const unsigned until = std::min(pToNextStep, pPeriod);
    const unsigned used = pNow - pFrameStart;
    return used < until ? until - used : 0;
}
