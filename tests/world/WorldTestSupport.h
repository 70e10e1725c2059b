#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ai/AIPlayer.h"
#include "engine/GameEngine.h"
#include "media/SoundManager.h"
#include "nodes/EntityRegistry.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

// What happened, in order: sounds ("sound:Id"), opponent calls ("Call@team"), and whatever
// test doubles add.
using EventLog = std::vector<std::string>;
typedef std::vector<std::string> Strings;

// A stand-in node: logs its BeginStep, Update and destruction, and can be told to die or to
// append another node during its update.
class CLoggingNode : public CEntity
{
  public:
    CLoggingNode(EventLog* pLog, const std::string& pName, float pRadius = 8.0f) : m_log(pLog), m_name(pName)
    {
        m_radius = pRadius;
    }
    ~CLoggingNode() override { m_log->push_back("delete:" + m_name); }

    void Draw() override {}
    void BeginStep() override
    {
        m_log->push_back("begin:" + m_name);
        CEntity::BeginStep();
    }
    void Update(int pDt) override
    {
        m_log->push_back("update:" + m_name);
        m_lastDt = pDt;
        if (m_dieInUpdate)
            Kill();
        if (m_spawnInUpdate)
        {
            CEntity* spawned = m_spawnInUpdate();
            m_spawnInUpdate = nullptr;
            TheWorld().AddEntity(spawned);
        }
    }
    void MarkMainNode() { m_mainNode = true; }

    EventLog* m_log;
    std::string m_name;
    int m_lastDt = 0;
    bool m_dieInUpdate = false;
    std::function<CEntity*()> m_spawnInUpdate;
};

// The engine's own world on a fresh board, in a match, with sounds and opponent calls logged.
class WorldTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CGameEngine& engine = CGameEngine::Instance();
        engine.Configure(DisplayConfig::Default());
        engine.RemoveOption("debug");
        engine.RemoveOption("nointro");
        RandomTable::GetInstance().FillFromSeed(777);
        CGameWorld& world = World();
        world.ClearMatch();
        world.m_demo = false;
        world.m_demoUntilDecided = false;
        world.m_showsResult = false;
        world.m_capSteps = 0;
        world.m_hasMatchSeed = false;
        world.m_demoLevels[0] = 2;
        world.m_demoLevels[1] = 100;
        world.m_keepEffects = true;
        world.m_greenWins = 0;
        world.m_blueWins = 0;
        world.m_menuHover = -1;
        world.m_difficultyHover = -1;
        world.m_difficultyListOpen = false;
        world.m_lastMenuRow = 0;
        world.m_hoveredTool = TOOL_NONE;
        world.NewMatch();
        world.m_state = STATE_MATCH;
        SetSoundObserver([this](const std::string& pId) { m_log.push_back("sound:" + pId); });
        SetAIObserver([this](const char* pCall, const CAIPlayer* pPlayer, CEntity*)
                      { m_log.push_back(std::string(pCall) + "@" + std::to_string(TeamOf(pPlayer))); });
    }

    void TearDown() override
    {
        SetSoundObserver(nullptr);
        SetAIObserver(nullptr);
        CGameEngine::Instance().RemoveOption("debug");
        CGameEngine::Instance().RemoveOption("nointro");
        World().m_demo = false;
        World().m_demoUntilDecided = false;
        World().m_hasMatchSeed = false;
        World().ClearMatch();
    }

    static CGameWorld& World() { return TheWorld(); }

    static int TeamOf(const CAIPlayer* pPlayer)
    {
        for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        {
            if (World().GetTeam(id).GetAI() == pPlayer)
                return id;
        }
        return -1;
    }

    // Runs whole steps, one Update call each.
    static void Steps(int pCount)
    {
        for (int i = 0; i < pCount; ++i)
            World().Update(World().m_stepLength);
    }

    int Count(const std::string& pEvent) const
    {
        return static_cast<int>(std::count(m_log.begin(), m_log.end(), pEvent));
    }

    std::vector<std::string> Only(const std::string& pPrefix) const
    {
        std::vector<std::string> out;
        for (const std::string& e : m_log)
        {
            if (e.compare(0, pPrefix.size(), pPrefix) == 0)
                out.push_back(e);
        }
        return out;
    }

    EventLog m_log;
};
