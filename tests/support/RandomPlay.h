#pragma once

#include <functional>

// Plays the engine's world in a match for the given number of steps with random keys, clicks
// and drags from a seeded generator (debug keys included, both sides also played by the
// computer now and then), checking after every step that the board is consistent. The
// optional callback runs after each step (for example to draw the frame). Fails the running
// test on the first inconsistency.
void PlayRandomly(unsigned pSeed, int pSteps, const std::function<void()>& pEachStep = nullptr);
