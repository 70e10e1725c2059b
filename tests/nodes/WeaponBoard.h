#pragma once

#include <gtest/gtest.h>

#include "engine/GameEngine.h"
#include "media/Graphic.h"
#include "nodes/Entity.h"
#include "nodes/NodeMedia.h"
#include "nodes/RandomTable.h"
#include "world/GameWorld.h"

// A plain node for the weapons to aim at and to draw power from: no behaviour of its own
// beyond the base, so every change to it comes from the weapon under test.
class CTargetNode : public CEntity
{
  public:
    explicit CTargetNode(float pRadius = 10.0f) { m_radius = pRadius; }
    void Draw() override {}
    void SetWorth(float pWorth) { m_worth = pWorth; }
};

// The engine's world, emptied before and after each test, with the teams at a known stock.
class CWeaponBoard : public ::testing::Test
{
  protected:
    CGameWorld& m_world = TheWorld();

    void SetUp() override
    {
        CGameEngine::Instance().Configure(DisplayConfig::Default());
        RandomTable::GetInstance().FillFromSeed(20240611);
        ForgetNodeSprites();
        ClearBoard();
        for (int t = 0; t < CTeam::MAX_TIDS; ++t)
            m_world.GetTeam(t).Init(t);
    }

    void TearDown() override
    {
        SetNodeGraphicObserver(nullptr);
        ClearBoard();
        ForgetNodeSprites();
    }

    void ClearBoard()
    {
        m_world.ClearMatch();
        for (CEntity* e : m_world.m_nodes)
            delete e;
        m_world.m_nodes.clear();
        for (CGraphic* g : m_world.m_effects)
            delete g;
        m_world.m_effects.clear();
    }

    void SetEnergy(int pTeam, int pValue)
    {
        CTeam& team = m_world.GetTeam(pTeam);
        team.AddEnergy(-team.GetEnergyMax());
        team.AddEnergy(pValue);
    }
    int Energy(int pTeam) { return m_world.GetTeam(pTeam).GetEnergy(); }

    // Appends a node of a team at a point, powered by pParent when one is given.
    template <class T> T* Place(T* pNode, int pTeam, CVector2 pAt, CEntity* pParent = nullptr)
    {
        pNode->SetPosition(pAt);
        pNode->SetTeam(pTeam);
        if (pParent)
        {
            pNode->SetParent(pParent);
            pParent->AddPowered(pNode);
        }
        m_world.AddEntity(pNode);
        return pNode;
    }
    CTargetNode* Target(int pTeam, CVector2 pAt, float pRadius = 10.0f)
    {
        return Place(new CTargetNode(pRadius), pTeam, pAt);
    }

    // The node passes of one match step: every record cleared, then every update, both
    // from the last node to the first.
    void Step(int pDt = 16)
    {
        std::vector<CEntity*>& nodes = m_world.m_nodes;
        for (size_t i = nodes.size(); i-- > 0;)
            nodes[i]->BeginStep();
        for (size_t i = nodes.size(); i-- > 0;)
            nodes[i]->Update(pDt);
    }
    void Steps(int pCount)
    {
        for (int i = 0; i < pCount; ++i)
            Step();
    }
};
