#include <cmath>

#include <GL/gl.h>

#include "ai/AIPlayer.h"
#include "media/EffectBatch.h"
#include "media/Sprite.h"
#include "media/TextureManager.h"
#include "nodes/EntityRegistry.h"
#include "world/GameWorld.h"
#include "world/ScreenDraw.h"
#include "world/ScreenMath.h"

using ScreenDraw::Quad;

namespace
{
void ApplyRgb(const CColor& pColour, float pScale, float pAdd)
{
    glColor4f(pColour.r * pScale + pAdd, pColour.g * pScale + pAdd, pColour.b * pScale + pAdd, pColour.a);
}

// The placement preview's direction mark while aiming: an arrow head towards the mouse and
// a dotted line behind it, red where a beam emitter would stand too close to its target.
void DrawAimMark(const CVector2& pToMouse, float pRadius, bool pBeamEmitter)
{
    float distance = pToMouse.Length();
    // Nothing to point at with the mouse right on the placement point.
    if (distance <= 0.0f)
        return;
    CVector2 d = pToMouse / distance;
    CVector2 n(d.y, -d.x);
    CVector2 tip = d * (pRadius + 23.0f);
    CVector2 base = d * (pRadius + 3.0f);

    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_TRIANGLES);
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
    glVertex2f(tip.x, tip.y);
    glVertex2f(base.x + 4.0f * n.x, base.y + 4.0f * n.y);
    glVertex2f(base.x - 4.0f * n.x, base.y - 4.0f * n.y);
    for (const ScreenMath::AimDot& dot : ScreenMath::AimDots(pRadius, distance, pBeamEmitter))
    {
        if (dot.danger)
            glColor4f(1.0f, 0.0f, 0.0f, 0.7f);
        else
            glColor4f(1.0f, 1.0f, 1.0f, 0.4f);
        CVector2 c = d * dot.distance;
        ScreenDraw::QuadAsTriangles(c.x - 1.5f, c.x + 1.5f, c.y - 1.5f, c.y + 1.5f);
    }
    glEnd();
}

// Health and energy flow of the node under the mouse, just above it.
void DrawReadout(const CGameWorld& pWorld, const CEntity* pNode)
{
    const CColor colour = pWorld.GetTeam(pNode->GetTeam()).GetColour();
    const float radius = pNode->GetRadius();
    const float w = static_cast<float>(ScreenMath::ReadoutBarWidth(radius));
    const float fill = pNode->GetHealthFraction() * w;

    glPushMatrix();
    glTranslatef(pNode->GetPosition().x, pNode->GetPosition().y + ScreenMath::ReadoutBarLift(radius), 0.0f);

    // Health: a bright frame, the bar in the team colour, the missing share darkened.
    glBegin(GL_QUADS);
    ApplyRgb(colour, 0.4f, 0.6f);
    Quad(-w / 2 - 1.0f, w / 2 + 1.0f, -1.0f, 6.0f);
    pWorld.ApplyTeamColour(pNode->GetTeam());
    Quad(-w / 2, w / 2, 0.0f, 5.0f);
    ApplyRgb(colour, 0.4f, 0.0f);
    Quad(-w / 2 + fill, w / 2, 0.0f, 5.0f);
    glEnd();

    // Energy flow: one arrow per displayed point, pointing right for income.
    const int flow = pNode->GetEnergyFlow();
    const int k = ScreenMath::ReadoutArrowCount(flow);
    if (k != 0)
    {
        const float s = flow > 0 ? 1.0f : -1.0f;
        const float bw = static_cast<float>(ScreenMath::ReadoutFlowBoxWidth(k));
        const float x0 = (1 - k) * 8 * 0.5f + s;
        glBegin(GL_QUADS);
        glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
        Quad(-bw / 2, bw / 2, 11.0f, 25.0f);
        ApplyRgb(colour, 0.8f, 0.0f);
        Quad(-bw / 2, bw / 2, 25.0f, 26.0f);
        Quad(-bw / 2, bw / 2, 10.0f, 11.0f);
        Quad(-bw / 2 - 1.0f, -bw / 2, 11.0f, 25.0f);
        Quad(bw / 2, bw / 2 + 1.0f, 11.0f, 25.0f);
        glEnd();

        glBegin(GL_TRIANGLES);
        pWorld.ApplyTeamColour(pNode->GetTeam());
        for (int i = 0; i < k; ++i)
        {
            float x = 8.0f * i + x0;
            if (flow > 0)
            {
                glVertex2f(x - 3.0f, 13.0f);
                glVertex2f(x - 3.0f, 23.0f);
                glVertex2f(x + 2.0f, 18.0f);
            }
            else
            {
                glVertex2f(x + 3.0f, 12.0f);
                glVertex2f(x - 3.0f, 18.0f);
                glVertex2f(x + 3.0f, 24.0f);
            }
        }
        glEnd();
    }
    glPopMatrix();
}
} // namespace

void CGameWorld::ApplyTeamColour(int pTeam) const
{
    GetTeam(pTeam).ApplyColour();
}

void CGameWorld::DrawRing(float pInner, float pWidth)
{
    static CVector2 unit[33];
    static bool filled = false;
    if (!filled)
    {
        for (int k = 0; k <= 32; ++k)
        {
            double a = 2.0 * M_PI * k / 32.0;
            unit[k] = CVector2(static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)));
        }
        filled = true;
    }
    float outer = pInner + pWidth;
    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_TRIANGLE_STRIP);
    for (int k = 0; k <= 32; ++k)
    {
        glVertex2f(pInner * unit[k].x, pInner * unit[k].y);
        glVertex2f(outer * unit[k].x, outer * unit[k].y);
    }
    glEnd();
}

void CGameWorld::DrawBoard()
{
    static CSprite* gear = CTextureManager::GetInstance()->GetSprite("Gear");

    const int w = GetWindowWidth();
    const int h = GetWindowHeight();
    glPushMatrix();
    glTranslatef(static_cast<float>(w / 2) - m_zoom * m_viewCentre.x,
                 static_cast<float>(h / 2) - m_zoom * m_viewCentre.y, 0.0f);
    glScalef(m_zoom, m_zoom, 0.0f);

    // Two faint gears turning against each other behind the two halves of the board. Black
    // at 3% only darkens what is below, so the blend needs no share of the gear's colour; and
    // only the octagon round the gear is drawn, not the clear corners of its image.
    if (gear != nullptr)
    {
        glColor4f(0.0f, 0.0f, 0.0f, 0.03f);
        glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_ALPHA);
        glPushMatrix();
        glTranslatef(m_boardWidth / 6.0f, m_boardHeight / 2.0f, 0.0f);
        glRotatef(m_spinAngle, 0.0f, 0.0f, 1.0f);
        gear->DrawCenteredRound(2.6f);
        glPopMatrix();
        glPushMatrix();
        glTranslatef(5.0f * m_boardWidth / 6.0f, m_boardHeight / 2.0f, 0.0f);
        glRotatef(11.25f - m_spinAngle, 0.0f, 0.0f, 1.0f);
        gear->DrawCenteredRound(2.6f);
        glPopMatrix();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }

    // Power reach matters only while something is to be placed.
    CEntity* source = m_placeSourceId != 0 ? GetEntity(m_placeSourceId) : nullptr;
    if (m_selectedTool != TOOL_NONE)
    {
        // The discs are opaque: blending them would give the same pixels at a read per pixel.
        glDisable(GL_BLEND);
        if (m_placeMode == PLACE_SOURCE_CHOSEN)
        {
            if (source != nullptr)
                source->DrawRange();
        }
        else
        {
            for (CEntity* e : m_nodes)
            {
                if (e->GetTeam() == m_playerTeam)
                    e->DrawRange();
            }
        }
        glEnable(GL_BLEND);
        if (m_placeMode != PLACE_SOURCE_CHOSEN)
            DrawFullRanges();
    }

    // Links under every node, effects over them. The links are opaque too.
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_BLEND);
    for (CEntity* e : m_nodes)
        e->DrawPowerLink();
    glEnable(GL_BLEND);
    for (CEntity* e : m_nodes)
        e->Draw();
    DrawEffects(m_effects);
    DrawGuides();
    glBindTexture(GL_TEXTURE_2D, 0);

    if (m_selectedTool >= TOOL_EXTENDER && m_selectedTool < TOOL_NONE)
    {
        float r = ToolRadius(m_selectedTool);
        CVector2 at = m_mouseBoard;
        if (m_placeMode == PLACE_AIMING)
        {
            at = m_placePoint;
            glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
        }
        else
        {
            bool valid = IsFree(at, r) && FindPowerSource(m_playerTeam, at, true) != nullptr &&
                         (m_selectedTool != TOOL_EXTRACTOR || FindResourceAt(at, r) != nullptr);
            if (valid)
                glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
            else
                glColor4f(1.0f, 0.0f, 0.0f, 0.5f);
        }
        glPushMatrix();
        glTranslatef(at.x, at.y, 0.0f);
        DrawRing(r - 3.0f, 3.0f);
        if (m_placeMode == PLACE_AIMING)
            DrawAimMark(m_mouseBoard - at, r, m_selectedTool == TOOL_BEAM);
        glPopMatrix();
    }

    // A line from the mouse back to the chosen source, shading into the source's colour.
    if (m_placeMode == PLACE_SOURCE_CHOSEN && source != nullptr)
    {
        glBindTexture(GL_TEXTURE_2D, 0);
        glLineWidth(1.5f);
        glBegin(GL_LINES);
        glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
        glVertex2f(m_mouseBoard.x, m_mouseBoard.y);
        ApplyTeamColour(source->GetTeam());
        glVertex2f(source->GetPosition().x, source->GetPosition().y);
        glEnd();
        glLineWidth(1.0f);
    }

    glBindTexture(GL_TEXTURE_2D, 0);
    if (m_debug && m_overlayMode != 0)
    {
        CAIPlayer* ai = GetTeam(m_playerTeam).GetAI();
        if (ai != nullptr)
            ai->DrawOverlay(m_overlayMode);
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    if (CEntity* e = FindOverlap(m_mouseBoard, 1.0f))
        DrawReadout(*this, e);

    // A dark margin hides whatever reaches past the board's edge; it and the edge line are
    // opaque, so they need no blending.
    glDisable(GL_BLEND);
    glColor3f(0.0f, 0.17f, 0.085f);
    glBegin(GL_QUADS);
    Quad(-100.0f, 0.0f, -100.0f, m_boardHeight + 100.0f);
    Quad(m_boardWidth, m_boardWidth + 100.0f, -100.0f, m_boardHeight + 100.0f);
    Quad(-100.0f, m_boardWidth + 100.0f, -100.0f, 0.0f);
    Quad(-100.0f, m_boardWidth + 100.0f, m_boardHeight, m_boardHeight + 100.0f);
    glEnd();

    glColor4f(0.1f, 0.3f, 0.2f, 1.0f);
    glLineWidth(2.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(m_boardWidth, 0.0f);
    glVertex2f(m_boardWidth, m_boardHeight);
    glVertex2f(0.0f, m_boardHeight);
    glEnd();
    glLineWidth(1.0f);
    glEnable(GL_BLEND);

    glPopMatrix();
}
