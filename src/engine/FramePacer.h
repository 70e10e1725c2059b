#pragma once

// Between frames the loop gives the processor back. A frame that finishes early sleeps until
// the world's next step is due, but never past a short frame period: the period stays well
// under the world's 16 ms step, so even a sleep that oversleeps by a few milliseconds never
// makes a frame longer than a step, and the world (at most one step per frame) keeps its speed.
constexpr unsigned FRAME_PERIOD_MS = 12;

// Milliseconds to sleep after a frame that began at tick pFrameStart, when it is now pNow and
// the next step was pToNextStep ms away at the frame's start (unsigned tick differences, so the
// counter may wrap); 0 once the step is due or the period is used up.
unsigned FrameWait(unsigned pFrameStart, unsigned pNow, unsigned pToNextStep,
                   unsigned pPeriod = FRAME_PERIOD_MS);
