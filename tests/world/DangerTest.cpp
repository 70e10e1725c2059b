#include <SDL/SDL.h>

#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/MainNode.h"
#include "world/WorldTestSupport.h"

namespace
{
class DangerTest : public WorldTest
{
  protected:
    static CMainNode* Main(int pTeam) { return World().GetTeam(pTeam).GetMainNode(); }
    // A node of a side put straight on the board, powered by nothing.
    static CEntity* Put(CEntity* pNode, int pTeam, const CVector2& pAt)
    {
        pNode->SetPosition(pAt);
        pNode->SetTeam(pTeam);
        World().AddEntity(pNode);
        return pNode;
    }
};
} // namespace

// Green's emitter fires left at a blue node standing in front of green's own main node:
// no warning while that node stands, the warning as soon as the beam goes on past it.
TEST_F(DangerTest, OwnNodeWarningAppearsWhenTheFrontNodeFalls)
{
    World().GetTeam(1).SetAI(false);
    World().GetTeam(2).SetAI(false);
    World().GetTeam(1).AddEnergy(CTeam::ENERGY_MAX);
    const CVector2 mainAt = Main(1)->GetPosition();
    CEntity* emitter = World().BuildBeamEmitter(1, mainAt + CVector2(110.0f, 0.0f),
                                                mainAt + CVector2(-100.0f, 0.0f), Main(1));
    ASSERT_NE(nullptr, emitter);
    CEntity* front = Put(new CLoggingNode(&m_log, "front"), 2, mainAt + CVector2(50.0f, 0.0f));
    Steps(5);
    EXPECT_EQ(nullptr, CGameWorld::OwnNodeUnderFire(emitter));
    front->TakeDamage(front->GetHealth(), front->GetPosition(), DAMAGE_BEAM, emitter);
    // The fallen node leaves the board after the step; the beam strikes what stood behind it
    // in the next.
    Steps(2);
    EXPECT_EQ(Main(1), CGameWorld::OwnNodeUnderFire(emitter));
    // Blue's main is no node of green's: an emitter hitting it is no warning.
    EXPECT_EQ(nullptr, CGameWorld::OwnNodeUnderFire(Main(2)));
}

// An absorber under two beams heads for two beams' blast; under none, for none.
TEST_F(DangerTest, AbsorberShowsTheBlastItHeadsFor)
{
    World().GetTeam(1).SetAI(false);
    World().GetTeam(2).SetAI(false);
    World().GetTeam(1).AddEnergy(CTeam::ENERGY_MAX);
    World().GetTeam(2).AddEnergy(CTeam::ENERGY_MAX);
    const CVector2 mainAt = Main(2)->GetPosition();
    CEntity* absorber = World().BuildAbsorber(2, mainAt + CVector2(0.0f, 100.0f), Main(2));
    ASSERT_NE(nullptr, absorber);
    EXPECT_EQ(0.0f, World().BlastHeading(absorber));
    const CVector2 at = absorber->GetPosition();
    for (float dy : {-40.0f, 40.0f})
    {
        CBeamNode* beam = static_cast<CBeamNode*>(Put(new CBeamNode, 1, at + CVector2(-200.0f, dy)));
        beam->SetParent(Main(1));
        beam->SetAngle(dy > 0 ? -11.3099f : 11.3099f);
    }
    Steps(2);
    EXPECT_EQ(2.0f * CAbsorberNode::BLAST_PER_BEAM, World().BlastHeading(absorber));
}

// P holds the match: no step runs and no click builds until P again, though a tool may be
// chosen. Once a side has fallen the tool is gone, tool keys and clicks build nothing, and the
// first Escape goes to the menu.
TEST_F(DangerTest, HeldMatchAndDecidedBoardTakeNoBuilds)
{
    World().GetTeam(2).SetAI(false);
    World().GetTeam(1).AddEnergy(CTeam::ENERGY_MAX);
    const size_t nodes = World().GetNodes().size();
    auto clickBoard = [] // board (240, 315), inside green's reach
    {
        World().OnMouseMove(279, 384);
        World().OnMouseButton(SDL_BUTTON_LEFT, true, 279, 384);
        World().OnMouseButton(SDL_BUTTON_LEFT, false, 279, 384);
        Steps(2);
    };
    // Held, the tool keys still choose (for when the match goes on), and an emitter waiting
    // for its aim waits on.
    World().m_placeMode = PLACE_AIMING;
    World().OnKey(SDLK_p, 0, true);
    World().OnKey(SDLK_p, 0, true);
    EXPECT_EQ(PLACE_AIMING, World().m_placeMode);
    World().m_placeMode = PLACE_IDLE;
    World().OnKey(SDLK_p, 0, true);
    World().OnKey(SDLK_1, 0, true);
    EXPECT_EQ(TOOL_EXTENDER, World().m_selectedTool);
    const int steps = World().m_matchSteps;
    clickBoard();
    EXPECT_EQ(steps, World().m_matchSteps);
    EXPECT_EQ(nodes, World().GetNodes().size());
    World().OnKey(SDLK_p, 0, true);
    clickBoard();
    ASSERT_EQ(nodes + 1, World().GetNodes().size()) << "the same click builds once the match goes on";

    World().OnKey(SDLK_1, 0, true);
    Main(2)->TakeDamage(Main(2)->GetHealth(), CVector2(0.0f, 0.0f), DAMAGE_NONE, nullptr);
    Steps(1);
    ASSERT_TRUE(World().IsDecided());
    const size_t standing = World().GetNodes().size();
    EXPECT_EQ(TOOL_NONE, World().m_selectedTool);
    World().OnKey(SDLK_1, 0, true);
    EXPECT_EQ(TOOL_NONE, World().m_selectedTool);
    clickBoard();
    EXPECT_EQ(standing, World().GetNodes().size());
    World().OnKey(SDLK_ESCAPE, 0, true);
    EXPECT_EQ(STATE_MENU, World().m_state);
}

// "Insufficient energy" goes once the stock covers the chosen kind's cost shown beside it.
TEST_F(DangerTest, EnergyRefusalGoesWhenTheStockCatchesUp)
{
    World().GetTeam(2).SetAI(false);
    CTeam& green = World().GetTeam(1);
    green.AddEnergy(-green.GetEnergy());
    World().OnKey(SDLK_2, 0, true);
    World().OnMouseMove(279, 384);
    World().OnMouseButton(SDL_BUTTON_LEFT, true, 279, 384);
    World().OnMouseButton(SDL_BUTTON_LEFT, false, 279, 384);
    Steps(1);
    ASSERT_EQ("Insufficient energy", World().m_message);
    EXPECT_FALSE(World().IsMessageOutdated());
    green.AddEnergy(CGameWorld::ToolCost(TOOL_BEAM));
    EXPECT_TRUE(World().IsMessageOutdated());
}
