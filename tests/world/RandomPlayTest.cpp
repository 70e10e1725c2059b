// A restless player: thousands of random key presses, clicks and drags, debug keys included,
// against both computer sides. Whatever the input, the board must stay consistent.
#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "support/RandomPlay.h"
#include "world/GameWorld.h"

TEST(RandomPlayTest, RandomInputNeverBreaksTheBoard)
{
    for (unsigned seed : {11u, 12u, 13u})
    {
        SCOPED_TRACE(seed);
        PlayRandomly(seed, 30000);
        if (HasFatalFailure())
            break;
    }
    CGameEngine::Instance().RemoveOption("debug");
    TheWorld().ClearMatch();
}
