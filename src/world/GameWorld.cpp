#include "world/GameWorld.h"

#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "media/Graphic.h"
#include "nodes/EntityRegistry.h"

CGameWorld& TheWorld()
{
    static CGameWorld* world = new CGameWorld(&CGameEngine::Instance());
    return *world;
}

CGameWorld::CGameWorld(CGameEngine* pEngine) : m_GameEngine(pEngine)
{
    AW_ASSERT(m_GameEngine);
    // The message timer starts empty: there is nothing to show yet.
    m_messageTimer.SetValue(0);
}

CGameWorld::~CGameWorld()
{
    ClearMatch();
}

CTeam& CGameWorld::GetTeam(int pTeam)
{
    AW_ASSERT(pTeam < CTeam::MAX_TIDS);
    AW_ASSERT(pTeam >= 0);
    return m_teams[pTeam];
}

const CTeam& CGameWorld::GetTeam(int pTeam) const
{
    AW_ASSERT(pTeam < CTeam::MAX_TIDS);
    AW_ASSERT(pTeam >= 0);
    return m_teams[pTeam];
}

void CGameWorld::AddEntity(CEntity* pNode)
{
    // Every node has its id from the start, so commands can name any of them.
    GetEntityId(pNode);
    m_nodes.push_back(pNode);
    m_index.Invalidate();
    ApplyDemoKeepAlive();
}

void CGameWorld::AddGraphic(CSprite* pSprite, const CVector2& pPosition, float pAngle, const CColor& pColour,
                            int pLifetime, const CVector2& pVelocity)
{
    if (!m_keepEffects)
        return;
    m_effects.push_back(new CGraphic(pSprite, pPosition, pAngle, pColour, pLifetime, pVelocity));
}

CVector2 CGameWorld::ScreenToBoard(int pX, int pY) const
{
    // SDL's y grows downwards; the board's grows upwards. The halves are whole pixels.
    int halfW = GetWindowWidth() / 2;
    int halfH = GetWindowHeight() / 2;
    return CVector2(static_cast<float>(pX - halfW) / m_zoom + m_viewCentre.x,
                    static_cast<float>(halfH - pY) / m_zoom + m_viewCentre.y);
}

int CGameWorld::GetWindowWidth() const
{
    AW_ASSERT(m_GameEngine);
    return m_GameEngine->GetDisplayConfig().width;
}

int CGameWorld::GetWindowHeight() const
{
    AW_ASSERT(m_GameEngine);
    return m_GameEngine->GetDisplayConfig().height;
}
