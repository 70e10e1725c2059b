#pragma once

#include <gtest/gtest.h>

#include <string>

#include "arena/ArenaMatch.h"
#include "engine/GameEngine.h"
#include "nodes/NodeMedia.h"

// Tests that play whole headless matches, one parameter a test: the engine set up and every
// sprite known as a stand-in before each, forgotten after it.
template <class Param> class CArenaMatchTest : public ::testing::TestWithParam<Param>
{
  protected:
    void SetUp() override
    {
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        std::string error;
        ASSERT_TRUE(LoadStandInSprites("Data/resources.xml", error)) << error;
    }
    void TearDown() override { ForgetNodeSprites(); }

    static ArenaMatchSetup Match(unsigned pSeed, unsigned pGreen, unsigned pBlue, int pCapSteps)
    {
        ArenaMatchSetup setup;
        setup.seed = pSeed;
        setup.greenLevel = pGreen;
        setup.blueLevel = pBlue;
        setup.capSteps = pCapSteps;
        return setup;
    }
};
