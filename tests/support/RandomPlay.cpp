#include "support/RandomPlay.h"

#include <random>

#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "nodes/EntityRegistry.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

// Tool keys and harmless ones come often; the keys that pause, restart, switch sides or hand
// the player's side to the computer come rarely, so that matches grow before they are upset.
static const int COMMON_KEYS[] = {'1', '2', '3', '4', '5', 'c', 'o', 'x', ' '};
static const int RARE_KEYS[] = {27, 9, 'r', 'a', 'd', 'l'};

static void ExpectConsistentBoard(CGameWorld& pWorld, int pStep)
{
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
    {
        const CTeam& team = pWorld.GetTeam(id);
        ASSERT_GE(team.GetEnergy(), 0) << "step " << pStep;
        ASSERT_LE(team.GetEnergy(), team.GetEnergyMax()) << "step " << pStep;
    }
    for (CEntity* node : pWorld.GetNodes())
    {
        ASSERT_GE(node->GetTeam(), 0) << "step " << pStep;
        ASSERT_LT(node->GetTeam(), CTeam::MAX_TIDS) << "step " << pStep;
        // Dead nodes leave within their step: after a step every node is alive and findable.
        ASSERT_TRUE(node->IsAlive()) << "step " << pStep;
        ASSERT_EQ(node, GetEntity(GetEntityId(node))) << "step " << pStep;
        ASSERT_GE(node->GetHealth(), 0) << "step " << pStep;
        ASSERT_LE(node->GetHealth(), node->GetHealthMax()) << "step " << pStep;
        if (CEntity* parent = node->GetParent())
        {
            ASSERT_EQ(parent->GetTeam(), node->GetTeam()) << "a node powered across sides, step " << pStep;
        }
    }
}

void PlayRandomly(unsigned pSeed, int pSteps, const std::function<void()>& pEachStep)
{
    CGameEngine& engine = CGameEngine::Instance();
    engine.Configure(DisplayConfig::Default());
    engine.AddOption("debug");
    RandomTable::GetInstance().FillFromSeed(pSeed);
    CGameWorld& world = TheWorld();
    world.ClearMatch();
    world.m_demo = false;
    world.NewMatch();
    world.m_state = STATE_MATCH;

    std::mt19937 input(pSeed);
    const int width = engine.GetDisplayConfig().width;
    const int height = engine.GetDisplayConfig().height;
    bool pressed = false;
    for (int step = 0; step < pSteps; ++step)
    {
        switch (input() % 8)
        {
        case 0:
        case 1:
            world.OnMouseMove(static_cast<int>(input() % width), static_cast<int>(input() % height));
            break;
        case 2:
        case 3:
        {
            // Presses and releases of the left button, mostly near the green side's network.
            int x = 120 + static_cast<int>(input() % 500);
            int y = 150 + static_cast<int>(input() % 470);
            world.OnMouseMove(x, y);
            pressed = !pressed;
            world.OnMouseButton(1, pressed, x, y);
            break;
        }
        case 4:
            world.OnMouseButton(input() % 2 ? 3 : 2, input() % 2 == 0, static_cast<int>(input() % width),
                                static_cast<int>(input() % height));
            break;
        case 5:
        {
            int key = input() % 150 == 0
                          ? RARE_KEYS[input() % (sizeof RARE_KEYS / sizeof RARE_KEYS[0])]
                          : COMMON_KEYS[input() % (sizeof COMMON_KEYS / sizeof COMMON_KEYS[0])];
            world.OnKey(key, 0, true);
            world.OnKey(key, 0, false);
            break;
        }
        default:
            break;
        }
        // A pause goes back to a match: resume when possible, else start one at a random level.
        if (world.m_state == STATE_MENU)
        {
            if (world.m_resumable && input() % 2)
                world.ResumeMatch();
            else
            {
                world.m_difficultyHover = 2 + static_cast<int>(input() % 4);
                world.MenuSelect();
                world.m_difficultyHover = -1;
            }
        }
        world.Update(16);
        if (pEachStep)
            pEachStep();
        ExpectConsistentBoard(world, step);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}
