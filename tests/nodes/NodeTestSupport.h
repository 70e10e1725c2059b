#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "media/Graphic.h"
#include "media/SoundManager.h"
#include "media/Sprite.h"
#include "nodes/Entity.h"
#include "nodes/NodeMedia.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

// A plain entity for exercising the base behaviour; counts its own deaths.
class CProbeEntity : public CEntity
{
  public:
    explicit CProbeEntity(int pHealthMax = 10000000, float pRadius = 8.0f)
    {
        m_health.Reset(pHealthMax);
        m_radius = pRadius;
    }
    void Draw() override {}
    void OnDeath() override
    {
        ++m_deaths;
        CEntity::OnDeath();
    }
    void SetHealthValue(int pValue) { m_health.SetValue(pValue); }
    void SetFlow(int pFlow) { m_energyFlow = pFlow; }

    int m_deaths = 0;
};

// Headless board: nodes go onto the engine's world, sounds and node effects are recorded,
// and a stand-in sprite serves for the sparks (and for any id a test adds).
class NodeBoardTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        ClearBoard();
        RandomTable::GetInstance().FillFromSeed(20240611);
        ForgetNodeSprites();
        UseSprite("Spark");
        SetSoundObserver([this](const std::string& pId) { m_sounds.push_back(pId); });
        SetNodeGraphicObserver([this](const NodeGraphic& pGraphic) { m_graphics.push_back(pGraphic); });
    }

    void TearDown() override
    {
        SetNodeGraphicObserver(nullptr);
        SetSoundObserver(nullptr);
        ForgetNodeSprites();
        OverrideNodeSprite("Spark", nullptr);
        ClearBoard();
        ForgetNodeSprites();
    }

    static CGameWorld& World() { return TheWorld(); }

    template <class T> T* Place(T* pNode, float pX, float pY, int pTeam = 1, CEntity* pParent = nullptr)
    {
        pNode->SetPosition(CVector2(pX, pY));
        pNode->SetTeam(pTeam);
        if (pParent)
        {
            pNode->SetParent(pParent);
            pParent->AddPowered(pNode);
        }
        World().AddEntity(pNode);
        return pNode;
    }

    static void UseSprite(const std::string& pId) { OverrideNodeSprite(pId, &StandInSprite()); }
    static CSprite* StandIn() { return &StandInSprite(); }

    // Sets the team's stock to zero so that income reads directly.
    static void EmptyStock(int pTeam)
    {
        CTeam& team = World().GetTeam(pTeam);
        team.AddEnergy(-team.GetEnergy());
    }

    int CountSounds(const std::string& pId) const
    {
        int n = 0;
        for (const std::string& s : m_sounds)
            n += s == pId ? 1 : 0;
        return n;
    }

    std::vector<std::string> m_sounds;
    std::vector<NodeGraphic> m_graphics;

  private:
    static CSprite& StandInSprite()
    {
        static CSprite sprite(0.0f, 0.0f, 8.0f, 8.0f, 0, 64.0f, 64.0f);
        return sprite;
    }

    static void ClearBoard()
    {
        CGameWorld& world = World();
        std::vector<CEntity*> nodes;
        nodes.swap(world.m_nodes);
        for (CEntity* node : nodes)
            delete node;
        for (CGraphic* effect : world.m_effects)
            delete effect;
        world.m_effects.clear();
    }
};
