#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "world/MatchHash.h"
#include "world/MatchObserver.h"
#include "world/WorldTestSupport.h"

namespace
{
// Keeps every command as it is applied, and the hash after every step.
class CCommandLog : public CMatchObserver
{
  public:
    void OnCommand(CGameWorld&, const CMatchCommand& pCommand) override { m_commands.push_back(pCommand); }
    void OnStepRun(CGameWorld& pWorld) override { m_hashes.push_back(HashMatchState(pWorld)); }
    void OnMatchStarted(CGameWorld&) override { ++m_starts; }
    std::vector<CMatchCommand> m_commands;
    std::vector<uint64_t> m_hashes;
    int m_starts = 0;
};

CMatchCommand Build(int pStep, int pTeam, int pTool, CVector2 pPoint, int pNode)
{
    CMatchCommand command;
    command.step = pStep;
    command.team = pTeam;
    command.tool = pTool;
    command.point = command.aim = pPoint;
    command.node = pNode;
    return command;
}

class CommandTest : public WorldTest
{
  protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        World().m_viewCentre = CVector2(472.0f, 315.0f);
        World().AddObserver(&m_record);
    }
    void TearDown() override
    {
        World().RemoveObserver(&m_record);
        World().m_playerCommandRoute = nullptr;
        WorldTest::TearDown();
    }
    // A board point as a click: board = (mx - 40, 699 - my).
    static void Click(float pX, float pY)
    {
        World().OnMouseButton(1, true, static_cast<int>(pX) + 40, 699 - static_cast<int>(pY));
        World().OnMouseButton(1, false, static_cast<int>(pX) + 40, 699 - static_cast<int>(pY));
    }
    CCommandLog m_record;
};
} // namespace

// What the mouse and keys did, handed in again as commands on the same seed, is the same match.
TEST_F(CommandTest, ThePlayersCommandsReplayedOnTheSameSeedGiveTheSameMatch)
{
    CGameWorld& w = World();
    CGameEngine::Instance().AddOption("debug");
    w.SetMatchSeed(4242);
    w.ClearMatch();
    w.NewMatch();
    m_record = CCommandLog();
    w.OnKey('1', 0, true);
    Click(240, 315); // an extender from the main node
    Steps(30);
    Click(245, 330); // refused: the spot is taken
    w.OnKey('c', 0, true);
    w.OnKey('5', 0, true);
    Click(158, 270); // an absorber below the main node
    w.OnMouseMove(240 + 40, 699 - 315);
    w.OnKey('d', 0, true); // the new extender dies
    Steps(200);
    Strings kinds;
    for (const CMatchCommand& command : m_record.m_commands)
        kinds.push_back(CommandKindName(command.kind));
    EXPECT_EQ(Strings({"build", "build", "energy", "build", "destroy"}), kinds);
    const CCommandLog live = m_record;
    EXPECT_EQ(1, w.GetTeam(1).GetBuilt(TOOL_ABSORBER));
    EXPECT_EQ(1, Count("sound:BuildFail"));

    // The same commands at the same steps, with no mouse at all.
    w.ClearMatch();
    w.NewMatch();
    m_record = CCommandLog();
    size_t next = 0;
    for (int step = 0; step < 230; ++step)
    {
        while (next < live.m_commands.size() && live.m_commands[next].step == step)
            ASSERT_TRUE(w.SubmitCommand(live.m_commands[next++]));
        w.RunMatchStep();
    }
    EXPECT_EQ(live.m_hashes, m_record.m_hashes);
    EXPECT_EQ(1, m_record.m_starts);
}

TEST_F(CommandTest, CommandsWaitForTheirStepAndRunInAFixedOrder)
{
    CGameWorld& w = World();
    const int main = w.MatchIdOf(w.GetTeam(1).GetMainNode());
    const int blueMain = w.MatchIdOf(w.GetTeam(2).GetMainNode());
    EXPECT_EQ(w.GetTeam(1).GetMainNode(), w.NodeOfMatchId(main));
    w.GetTeam(2).SetAI(false);
    // Handed in out of order: blue's before green's, a later step before an earlier one.
    ASSERT_TRUE(w.SubmitCommand(Build(3, 2, TOOL_EXTENDER, CVector2(700, 315), blueMain)));
    ASSERT_TRUE(w.SubmitCommand(Build(2, 1, TOOL_EXTENDER, CVector2(240, 315), main)));
    ASSERT_TRUE(w.SubmitCommand(Build(2, 2, TOOL_SHIELD, CVector2(700, 400), blueMain)));
    EXPECT_EQ(3u, w.GetPendingCommands().size());
    Steps(2);
    EXPECT_TRUE(m_record.m_commands.empty()) << "nothing before its step";
    Steps(1);
    ASSERT_EQ(2u, m_record.m_commands.size());
    EXPECT_EQ(1, m_record.m_commands[0].team);
    EXPECT_EQ(TOOL_SHIELD, m_record.m_commands[1].tool);
    Steps(1);
    ASSERT_EQ(3u, m_record.m_commands.size());
    EXPECT_EQ(CVector2(700, 315), w.m_nodes.back()->GetPosition());
    EXPECT_FALSE(w.SubmitCommand(Build(1, 1, TOOL_EXTENDER, CVector2(240, 250), main)))
        << "a step already run";

    // Nonsense changes nothing: no such side, tool or node, a node of an earlier match.
    const uint64_t before = HashMatchState(w);
    const size_t nodes = w.m_nodes.size();
    CMatchCommand odd[] = {Build(4, 7, TOOL_EXTENDER, CVector2(240, 250), main),
                           Build(4, 1, 9, CVector2(240, 250), main),
                           Build(4, 1, TOOL_EXTENDER, CVector2(240, 250), 0),
                           Build(4, 1, TOOL_EXTENDER, CVector2(240, 250), 99999),
                           Build(4, 1, TOOL_EXTENDER, CVector2(240, 250), -5)};
    odd[2].kind = 42;
    for (const CMatchCommand& command : odd)
        EXPECT_TRUE(w.SubmitCommand(command));
    EXPECT_EQ(nodes, w.m_nodes.size());
    EXPECT_EQ(before, HashMatchState(w));

    // A restart drops what was waiting, and the new match numbers its nodes from 1 again.
    ASSERT_TRUE(w.SubmitCommand(Build(50, 1, TOOL_EXTENDER, CVector2(240, 250), main)));
    CMatchCommand restart;
    restart.kind = CMD_RESTART;
    restart.step = w.m_matchSteps;
    ASSERT_TRUE(w.SubmitCommand(restart));
    EXPECT_TRUE(w.GetPendingCommands().empty());
    EXPECT_EQ(0, w.m_matchSteps);
    EXPECT_EQ(1, w.MatchIdOf(w.m_nodes.front()));
    EXPECT_EQ(nullptr, w.NodeOfMatchId(static_cast<int>(w.m_nodes.size()) + 1));
}

TEST_F(CommandTest, ARoutedPlayerLeavesTheBoardAlone)
{
    CGameWorld& w = World();
    std::vector<CMatchCommand> routed;
    w.m_playerCommandRoute = [&](const CMatchCommand& pCommand) { routed.push_back(pCommand); };
    Steps(5);
    const size_t nodes = w.m_nodes.size();
    w.OnKey('1', 0, true);
    Click(240, 315);
    ASSERT_EQ(1u, routed.size());
    EXPECT_EQ(5, routed[0].step);
    EXPECT_EQ(nodes, w.m_nodes.size());
    EXPECT_EQ(PLACE_IDLE, w.m_placeMode);
    EXPECT_EQ(0, Count("sound:BuildFail"));
}
