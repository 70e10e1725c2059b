#include <gtest/gtest.h>

#include <algorithm>

#include "engine/FramePacer.h"
#include "engine/GameEngine.h"
#include "world/GameWorld.h"

namespace
{

// A frame's work plus its wait ends when the next step is due or the period is over, whichever
// comes first, and never later: long frames are not stretched, and the period leaves room for
// some oversleep under one world step.
TEST(FramePacerTest, SleepsUntilTheStepIsDueButNotPastThePeriod)
{
    const unsigned step = TheWorld().m_stepLength;
    EXPECT_LE(FRAME_PERIOD_MS + 3, step) << "a few ms of oversleep must still fit in a step";

    const unsigned starts[] = {0u, 1000u, 0xFFFFFFFAu}; // the last wraps round during the frame
    for (unsigned start : starts)
        for (unsigned toStep : {0u, 5u, step})
            for (unsigned work : {0u, 1u, 4u, 7u, FRAME_PERIOD_MS, FRAME_PERIOD_MS + 9, 500u})
            {
                const unsigned wait = FrameWait(start, start + work, toStep);
                EXPECT_EQ(work + wait, std::max(work, std::min(toStep, FRAME_PERIOD_MS)))
                    << start << " " << toStep << " " << work;
            }
}

} // namespace
