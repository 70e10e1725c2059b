#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <GL/gl.h>

#include "ai/Levels.h"
#include "media/FontManager.h"
#include "media/Sprite.h"
#include "media/TextureFont.h"
#include "media/TextureManager.h"
#include "nodes/AbsorberNode.h"
#include "nodes/BeamNode.h"
#include "nodes/ExtractorNode.h"
#include "nodes/ForkNode.h"
#include "nodes/MainNode.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"
#include "world/MatchOverlay.h"
#include "world/ScreenDraw.h"
#include "world/ScreenMath.h"

using ScreenDraw::Quad;

namespace
{
const int ICON_SPACING = 67;
// Arrows a team's flow row holds: 16 run 141 pixels from the centre, short of the figures at
// either side in the smallest window.
const int MAX_FLOW_ARROWS = 16;

struct HelpText
{
    float width;
    const char* text;
};

// Costs in energy points of 250,000 units, as the figures by the energy bar count them.
static_assert(CForkNode::BASE_COST == 12 * ScreenMath::ENERGY_POINT && CForkNode::POWER_RANGE == 100.0f &&
                  CForkNode::MAX_POWERED == 3,
              "the extender's panel quotes its cost, reach and load");
static_assert(CBeamNode::BASE_COST == 60 * ScreenMath::ENERGY_POINT &&
                  CBeamNode::SELF_DAMAGE_DISTANCE == 68.0f,
              "the beam emitter's panel quotes its cost and danger distance");
static_assert(CShieldNode::BASE_COST == 12 * ScreenMath::ENERGY_POINT &&
                  CShieldNode::BLOCK_HALF_ANGLE == 1.0f,
              "the shield's panel quotes its cost and its arc");
static_assert(CExtractorNode::BASE_COST == 40 * ScreenMath::ENERGY_POINT,
              "the extractor's panel quotes its cost");
static_assert(CAbsorberNode::BASE_COST == 40 * ScreenMath::ENERGY_POINT,
              "the absorber's panel quotes its cost");

const HelpText HELP[5] = {
    {305.0f,
     "Extender, cost 12\n\nExpands the territory where\nyou can build your nodes: reach\n"
     "100 pixels. The extender can\npower a maximum of 3 other\nnodes. When the extender is first\nbuilt, "
     "it is vulnerable to damage\nfor a short time."},
    {282.0f, "Beam Emitter, cost 60\n\nFires a deadly laser beam at\nthe first node on its line,\nfriend or "
             "foe. If that node is\ncloser than 68 pixels, the\nemitter is damaged too.\n\n-2 Energy Flow"},
    {282.0f,
     "Shield, cost 12\n\nBlocks beams with an energy\nshield. If facing the beam\n(within "
     "57 degrees), no\ndamage is taken. Stops when\nthe energy stock is empty.\n\n-1 Energy Flow when "
     "inactive\n-2 Energy Flow per beam"},
    {308.0f, "Extractor, cost 40\n\nExtracts energy from resource\nsites: build it on one.\n\n+4 "
             "Energy Flow"},
    {325.0f, "Absorber, cost 40\n\nBlocks beams by absorbing their\ndamage. This causes the "
             "absorber\nto damage everything around it,\n30 pixels out for each beam.\n\n-1 Energy Flow when "
             "inactive\n+2 Energy Flow per beam"},
};

// A level's name; any number past the table plays as Hard does.
const char* LevelTitle(unsigned pLevel)
{
    return pLevel < LEVEL_COUNT ? LEVELS[pLevel].name : LEVELS[LEVEL_HARD].name;
}

void DrawTextAt(CTextureFont* pFont, float pX, float pY, const char* pText)
{
    glPushMatrix();
    glTranslatef(pX, pY, 0.0f);
    pFont->DrawText(pText);
    glPopMatrix();
}

// The veil's fan over an icon whose kind is cooling down, centred on (x, y), as separate
// triangles inside a GL_TRIANGLES batch so the veils of all icons draw as one.
void CooldownWipeTriangles(float pX, float pY, float pFraction)
{
    const std::vector<CVector2> fan = ScreenMath::CooldownWipeFan(pFraction);
    for (size_t i = 1; i + 1 < fan.size(); ++i)
    {
        glVertex2f(pX + fan[0].x, pY + fan[0].y);
        glVertex2f(pX + fan[i].x, pY + fan[i].y);
        glVertex2f(pX + fan[i + 1].x, pY + fan[i + 1].y);
    }
}

// The player's energy stock along the bottom, with what the selected kind would cost.
void DrawEnergyBar(const CGameWorld& pWorld)
{
    const int w = pWorld.GetWindowWidth();
    const float len = static_cast<float>(w - 40);
    const CTeam& team = pWorld.GetTeam(pWorld.m_playerTeam);
    const int tool = pWorld.m_selectedTool;
    int cost = 0;
    if (tool >= TOOL_EXTENDER && tool < TOOL_NONE)
        cost = CGameWorld::ToolCost(tool);
    const ScreenMath::EnergyBarSpans bar = ScreenMath::EnergyBar(team.GetEnergy(), team.GetEnergyMax(), cost);
    const float fillEnd = 20.0f + len * bar.fill;

    // The frame and the trough are opaque: drawn without blending, and the frame only where
    // the trough does not cover it.
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_BLEND);
    glBegin(GL_QUADS);
    glColor3f(0.8f, 0.8f, 0.8f);
    Quad(19.0f, len + 21.0f, 19.0f, 20.0f);
    Quad(19.0f, len + 21.0f, 45.0f, 46.0f);
    Quad(19.0f, 20.0f, 20.0f, 45.0f);
    Quad(len + 20.0f, len + 21.0f, 20.0f, 45.0f);
    glColor3f(0.0f, 0.2f, 0.1f);
    Quad(20.0f, len + 20.0f, 20.0f, 45.0f);
    glEnd();
    glEnable(GL_BLEND);

    glBegin(GL_QUADS);
    team.ApplyColour();
    Quad(20.0f, fillEnd, 20.0f, 45.0f);
    // A sheen brightening towards the fill's upper edge.
    glColor4f(1.0f, 1.0f, 1.0f, 0.0f);
    glVertex2f(20.0f, 20.0f);
    glVertex2f(fillEnd, 20.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.3f);
    glVertex2f(fillEnd, 45.0f);
    glVertex2f(20.0f, 45.0f);
    // What the selected kind would cost: the spent share white, or the shortfall red.
    if (bar.mark == ScreenMath::EnergyBarSpans::SHORTFALL)
    {
        glColor4f(1.0f, 0.0f, 0.0f, 0.6f);
        Quad(20.0f + len * bar.markFrom, 20.0f + len * bar.markTo, 20.0f, 45.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 0.6f);
        Quad(20.0f, fillEnd, 20.0f, 45.0f);
    }
    else if (bar.mark == ScreenMath::EnergyBarSpans::SPEND)
    {
        glColor4f(1.0f, 1.0f, 1.0f, 0.6f);
        Quad(20.0f + len * bar.markFrom, 20.0f + len * bar.markTo, 20.0f, 45.0f);
    }
    glEnd();
}
} // namespace

void CGameWorld::DrawHud()
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("MainFont");
    static CSprite* icons[5] = {CTextureManager::GetInstance()->GetSprite("Fork_Icon"),
                                CTextureManager::GetInstance()->GetSprite("Beamgun_Icon"),
                                CTextureManager::GetInstance()->GetSprite("Shield_Icon"),
                                CTextureManager::GetInstance()->GetSprite("Extr_Icon"),
                                CTextureManager::GetInstance()->GetSprite("Abs_Icon")};
    static CSprite* banners[3] = {CTextureManager::GetInstance()->GetSprite("Win_Text"),
                                  CTextureManager::GetInstance()->GetSprite("Lose_Text"),
                                  CTextureManager::GetInstance()->GetSprite("Tie_Text")};

    const int w = GetWindowWidth();
    const int h = GetWindowHeight();

    DrawEnergyBar(*this);

    DrawTeamFlow(w / 2, 42, m_playerTeam);
    DrawTeamFlow(w / 2, -5, m_playerTeam == 1 ? 2 : 1);
    DrawHudFigures();

    if (font != nullptr)
    {
        if (!m_demo && !IsMessageOutdated())
        {
            // Opaque for the first second, then fading out over the last one and a half.
            float alpha = std::min(1.0f, m_messageTimer.GetFraction(1500));
            // In the band above the board, between the tool icons and the hints, where it
            // covers no node.
            float x = static_cast<float>(w / 2) - 0.5f * font->GetTextWidth(m_message.c_str());
            int y = h - 64;
            glColor4f(1.0f, 1.0f, 1.0f, alpha);
            DrawTextAt(font, x, static_cast<float>(y), m_message.c_str());
        }
        else if (m_demo)
        {
            // A watched match is titled with the levels it sets against each other.
            std::string title = "Demo";
            if (m_demoUntilDecided)
                title = std::string("Green ") + LevelTitle(m_demoLevels[0]) + "  vs  Blue " +
                        LevelTitle(m_demoLevels[1]);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            DrawTextAt(font, static_cast<float>(w / 2) - 0.5f * font->GetTextWidth(title.c_str()),
                       static_cast<float>(h - 45), title.c_str());
        }
        if (m_debug)
        {
            // The step and the state hash, to compare a match with the same one played elsewhere.
            char label[64];
            std::snprintf(label, sizeof label, "Step %d  Hash %016llx", m_matchSteps,
                          static_cast<unsigned long long>(HashMatchState(*this)));
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            // Right of the tool icons, where nothing else is drawn.
            DrawTextAt(font, 100.0f + 5 * ICON_SPACING - 15.0f, static_cast<float>(h - 25), label);
        }
        if (m_overlayMode != 0)
        {
            char label[32];
            std::snprintf(label, sizeof label, "AI Overlay %d", m_overlayMode);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            DrawTextAt(font, static_cast<float>(w / 2), static_cast<float>(h - 50), label);
        }
    }

    if (!m_demo)
    {
        // Each veil stays inside its own icon, so all icons first and then all veils draw
        // the same as icon and veil in turn, in two batches instead of ten.
        const CTeam& team = GetTeam(m_playerTeam);
        const float y = static_cast<float>(h - 35);
        for (int i = 0; i < 5; ++i)
        {
            if (i == m_selectedTool)
                glColor3f(0.7f, 0.7f, 0.7f);
            else
                glColor3f(1.0f, 1.0f, 1.0f);
            if (icons[i] != nullptr)
                icons[i]->DrawAt(100.0f + ICON_SPACING * i, y);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < 5; ++i)
            CooldownWipeTriangles(100.0f + ICON_SPACING * i, y, team.GetCooldownFraction(i));
        glEnd();
        // The seconds still to wait, over the veil.
        static CTextureFont* small = CFontManager::GetInstance()->GetFont("HelpFont");
        for (int i = 0; i < 5 && small != nullptr; ++i)
        {
            const int seconds = team.GetCooldownLeftSeconds(i);
            if (seconds <= 0)
                continue;
            char label[16];
            std::snprintf(label, sizeof label, "%d s", seconds);
            const float x = 100.0f + ICON_SPACING * i - 0.5f * small->GetTextWidth(label);
            glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
            DrawTextAt(small, x + 1.0f, y - 6.0f, label);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            DrawTextAt(small, x, y - 5.0f, label);
        }
    }

    // The two main nodes' health, green on the left and blue on the right.
    for (int t = 1; t <= 2; ++t)
    {
        glPushMatrix();
        glTranslatef(t == 1 ? 20.0f : static_cast<float>(w - 20), 70.0f, 0.0f);
        const CMainNode* main = GetTeam(t).GetMainNode();
        if (main != nullptr)
        {
            float blue = t == 1 ? 0.7f : 1.0f;
            float green = t == 1 ? 1.0f : 0.7f;
            DrawBar(0.7f, green, blue, 624.0f, main->GetHealthFraction());
        }
        else
        {
            DrawBar(1.0f, 1.0f, 1.0f, 624.0f, 0.0f);
        }
        glPopMatrix();
    }

    // The result is green's; whoever plays blue sees it the other way round.
    int banner = m_result;
    if (m_playerTeam == 2 && m_result <= RESULT_LOSE)
        banner = m_result == RESULT_WIN ? RESULT_LOSE : RESULT_WIN;
    if (banner >= RESULT_WIN && banner < RESULT_UNDECIDED && !m_demo && banners[banner] != nullptr)
    {
        glPushMatrix();
        glTranslatef(static_cast<float>(w / 2), static_cast<float>(h / 2), 0.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        banners[banner]->DrawCentered();
        glPopMatrix();
    }

    if (!m_demo && m_hoveredTool >= TOOL_EXTENDER && m_hoveredTool < TOOL_NONE)
    {
        const HelpText& help = HELP[m_hoveredTool];
        DrawHelpPanel(static_cast<float>(ICON_SPACING * m_hoveredTool + 33), static_cast<float>(h - 80),
                      help.width, help.text, 1.0f);
    }

    if (m_overlay)
        m_overlay->DrawOverHud(*this);
}

bool CGameWorld::IsMessageOutdated() const
{
    return m_message == "Insufficient energy" && m_selectedTool >= TOOL_EXTENDER &&
           m_selectedTool < TOOL_NONE && GetTeam(m_playerTeam).GetEnergy() >= ToolCost(m_selectedTool);
}

void CGameWorld::DrawTeamFlow(int pX, int pY, int pTeam)
{
    const int flow = GetTeamFlow(pTeam);
    // The row stays in its box, clear of the net flow and cost figures beside it; the figure
    // tells a flow beyond it.
    const int n = std::min(ScreenMath::TeamFlowArrowCount(flow), MAX_FLOW_ARROWS);
    const float x = static_cast<float>(pX);
    const float y = static_cast<float>(pY);

    glBindTexture(GL_TEXTURE_2D, 0);
    ApplyTeamColour(pTeam);
    glBegin(GL_TRIANGLES);
    ScreenDraw::QuadAsTriangles(x - 3.0f, x + 3.0f, y + 12.0f, y + 18.0f);
    for (int i = 0; i < n; ++i)
    {
        if (flow >= 0)
        {
            glVertex2f(x + 8 * i + 7, y + 9);
            glVertex2f(x + 8 * i + 7, y + 21);
            glVertex2f(x + 8 * i + 13, y + 15);
        }
        else
        {
            glVertex2f(x - 8 * i - 7, y + 10);
            glVertex2f(x - 8 * i - 7, y + 20);
            glVertex2f(x - 8 * i - 12, y + 15);
        }
    }
    glEnd();
}

void CGameWorld::DrawBar(float pR, float pG, float pB, float pHeight, float pFraction)
{
    static CSprite* tick = CTextureManager::GetInstance()->GetSprite("Bar_Tick");
    static CSprite* mid = CTextureManager::GetInstance()->GetSprite("Bar_Mid");
    static CSprite* end = CTextureManager::GetInstance()->GetSprite("Bar_End");
    if (tick == nullptr || mid == nullptr || end == nullptr)
        return;

    glColor4f(1.0f, 1.0f, 1.0f, 0.3f);
    end->DrawRect(-12.0f, 12.0f, 0.0f, -6.0f);
    mid->DrawRect(-12.0f, 12.0f, 0.0f, pHeight);
    end->DrawRect(-12.0f, 12.0f, pHeight, pHeight + 6.0f);

    glColor4f(pR, pG, pB, 1.0f);
    const int ticks = ScreenMath::BarTickCount(pHeight, pFraction);
    for (int i = 0; i < ticks; ++i)
        tick->DrawRect(-9.0f, 9.0f, 8.0f * i, 8.0f * i + 7.0f);
}

void CGameWorld::DrawHelpPanel(float pX, float pY, float pWidth, const char* pText, float pAlpha)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (font == nullptr)
        return;

    const int lineHeight = font->GetLineHeight();
    const float height = static_cast<float>(ScreenMath::HelpPanelHeight(pText, lineHeight));
    const float top = static_cast<float>(lineHeight + 3);
    const float w = pWidth;

    glPushMatrix();
    glTranslatef(pX + 8.0f, pY - top, 0.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_QUADS);
    glColor4f(0.0f, 0.0f, 0.0f, pAlpha * 0.5f);
    Quad(-8.0f, w - 8.0f, top - height, top);
    glColor4f(1.0f, 1.0f, 1.0f, pAlpha + 0.5f);
    Quad(-8.0f, -5.0f, top - height, top);
    Quad(w - 11.0f, w - 8.0f, top - height, top);
    Quad(-5.0f, w - 11.0f, top - 3.0f, top);
    Quad(-5.0f, w - 11.0f, top - height, top - height + 3.0f);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    font->DrawText(pText);
    glPopMatrix();
}
