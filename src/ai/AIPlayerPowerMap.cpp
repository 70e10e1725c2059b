#include <GL/gl.h>
#include <cmath>

#include "ai/AIPlayer.h"
#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "nodes/ForkNode.h"
#include "world/GameWorld.h"

namespace
{
// Distance from a point to the edge of a provider's reach; zero or negative inside it.
float ReachGap(const CVector2& pPoint, const CEntity* pProvider)
{
    return (pPoint - pProvider->GetPosition()).Length() - pProvider->GetPowerRange();
}

void FillQuad(const CVector2& pCentre, float pHalf)
{
    glVertex2f(pCentre.x - pHalf, pCentre.y - pHalf);
    glVertex2f(pCentre.x + pHalf, pCentre.y - pHalf);
    glVertex2f(pCentre.x + pHalf, pCentre.y + pHalf);
    glVertex2f(pCentre.x - pHalf, pCentre.y + pHalf);
}

} // namespace

void CAIPlayer::InitPowerMap()
{
    AW_ASSERT(!m_powerMap);
    // One cell per extender radius: fine enough to place an extender by the map alone.
    m_powerCellSize = CForkNode::RADIUS;
    const CGameWorld& world = TheWorld();
    m_powerMapWidth = static_cast<int>(world.GetBoardWidth() / m_powerCellSize);
    m_powerMapHeight = static_cast<int>(world.GetBoardHeight() / m_powerCellSize);
    m_powerMap = new PowerCell[static_cast<size_t>(m_powerMapWidth) * m_powerMapHeight]();
}

PowerCell& CAIPlayer::CellAt(int pX, int pY)
{
    AW_ASSERT(m_powerMap);
    AW_ASSERT(pX >= 0);
    AW_ASSERT(pY >= 0);
    AW_ASSERT(pX < m_powerMapWidth);
    AW_ASSERT(pY < m_powerMapHeight);
    return m_powerMap[pY * m_powerMapWidth + pX];
}

PowerCell& CAIPlayer::CellAtPoint(const CVector2& pPoint)
{
    // Truncation toward zero: column 0 spans -4 < x < 12, every other column 8 pixels.
    const int x = static_cast<int>((pPoint.x - m_powerCellSize) / m_powerCellSize + 0.5f);
    const int y = static_cast<int>((pPoint.y - m_powerCellSize) / m_powerCellSize + 0.5f);
    if (x < 0 || y < 0 || x >= m_powerMapWidth || y >= m_powerMapHeight)
    {
        // Off the grid: an empty cell, wiped on every use so a caller's write cannot stick.
        static PowerCell outside;
        outside = PowerCell();
        return outside;
    }
    return CellAt(x, y);
}

CVector2 CAIPlayer::CellCentre(int pX, int pY) const
{
    return CVector2(pX * m_powerCellSize + m_powerCellSize, pY * m_powerCellSize + m_powerCellSize);
}

int CAIPlayer::Hops(const PowerCell& pCell)
{
    return static_cast<int>(std::ceil(pCell.value / CForkNode::POWER_RANGE));
}

void CAIPlayer::StampProvider(CEntity* pNode)
{
    AW_ASSERT(pNode);
    // Cells emptied since the last refill are settled first: a stamp takes any empty cell
    // outright, and would claim them even where another open provider reaches nearer.
    RebuildPowerMap();
    for (int x = 0; x < m_powerMapWidth; ++x)
    {
        for (int y = 0; y < m_powerMapHeight; ++y)
        {
            PowerCell& cell = CellAt(x, y);
            const float d = ReachGap(CellCentre(x, y), pNode);
            // A tie keeps the provider stamped first.
            if (!cell.node || d < cell.value)
            {
                cell.value = d;
                cell.node = pNode;
            }
        }
    }
}

void CAIPlayer::ClearProvider(CEntity* pNode)
{
    AW_ASSERT(pNode);
    m_powerMapDirty = true;
    const int count = m_powerMapWidth * m_powerMapHeight;
    for (int i = 0; i < count; ++i)
    {
        if (m_powerMap[i].node == pNode)
            m_powerMap[i] = PowerCell();
    }
}

void CAIPlayer::RebuildPowerMap()
{
    if (!m_powerMapDirty)
        return;
    for (int x = 0; x < m_powerMapWidth; ++x)
    {
        for (int y = 0; y < m_powerMapHeight; ++y)
        {
            PowerCell& cell = CellAt(x, y);
            // Cells that kept their provider are still right.
            if (cell.node)
                continue;
            const CVector2 centre = CellCentre(x, y);
            for (CEntity* pwrNode : m_openProviders)
            {
                AW_ASSERT(pwrNode);
                const float d = ReachGap(centre, pwrNode);
                if (!cell.node || d < cell.value)
                {
                    cell.value = d;
                    cell.node = pwrNode;
                }
            }
        }
    }
    m_powerMapDirty = false;
}

void CAIPlayer::RemoveOpenProvider(CEntity* pNode)
{
    AW_ASSERT(pNode);
    for (size_t i = 0; i < m_openProviders.size(); ++i)
    {
        if (m_openProviders[i] == pNode)
        {
            m_openProviders[i] = m_openProviders.back();
            m_openProviders.pop_back();
            ClearProvider(pNode);
            return;
        }
    }
}

void CAIPlayer::DrawOverlay(int pMode)
{
    if (pMode == 0)
        return;
    glBindTexture(GL_TEXTURE_2D, 0);
    if (pMode == 1)
    {
        glColor4f(1.0f, 1.0f, 1.0f, 0.1f);
        glBegin(GL_QUADS);
        for (const CVector2& point : m_candidatePoints)
            FillQuad(point, 2.0f);
        glEnd();
    }
    else if (pMode == 2)
    {
        // Inside the reach the hop count is zero or negative: tiny or mirrored squares.
        glColor4f(1.0f, 1.0f, 1.0f, 0.2f);
        glBegin(GL_QUADS);
        for (int x = 0; x < m_powerMapWidth; ++x)
        {
            for (int y = 0; y < m_powerMapHeight; ++y)
            {
                const PowerCell& cell = CellAt(x, y);
                if (cell.node)
                    FillQuad(CellCentre(x, y), Hops(cell) * 0.5f);
            }
        }
        glEnd();
    }
}
