// The numbers round the energy bar and the side bars, and the warnings a player needs before
// the network runs dry. Energy is written in points of 250,000 units, the help panels' unit.
#include <cstdio>

#include <GL/gl.h>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "nodes/MainNode.h"
#include "nodes/ShieldNode.h"
#include "world/GameWorld.h"
#include "world/ScreenMath.h"

namespace
{
// Seconds of stock left at which the player is warned that shields and emitters will stop.
const float LOW_ENERGY_SECONDS = 8.0f;

const char* const KIND_NAMES[TOOL_NONE] = {"Extender", "Beam emitter", "Shield", "Extractor", "Absorber"};

// Every figure stands on the dark margin or background, so plain text reads well; drawn
// without a matrix change, all of them go to the renderer as one batch.
void DrawTextIn(CTextureFont* pFont, float pX, float pY, const char* pText, const CColor& pColour)
{
    pColour.Apply();
    pFont->DrawTextAt(pX, pY, pText);
}

const CColor TEXT_COLOUR(1.0f, 1.0f, 1.0f, 1.0f);
const CColor SHORT_COLOUR(1.0f, 0.45f, 0.4f, 1.0f);
const CColor WARNING_COLOUR(1.0f, 0.6f, 0.2f, 1.0f);

// The warning for the player's side, or nullptr: shields already down for want of energy, or
// the stock about to run out at the present flow.
const char* EnergyWarning(const CGameWorld& pWorld, char* pOut, size_t pSize)
{
    const int team = pWorld.m_playerTeam;
    for (CEntity* e : pWorld.GetNodes())
    {
        const CShieldNode* shield = dynamic_cast<const CShieldNode*>(e);
        if (shield != nullptr && shield->GetTeam() == team && shield->IsConnected() && !shield->IsActive())
            return "Out of energy: your shields are down";
    }
    const float seconds =
        ScreenMath::SecondsUntilEmpty(pWorld.GetTeam(team).GetEnergy(), pWorld.GetTeamFlow(team));
    if (seconds < 0.0f || seconds > LOW_ENERGY_SECONDS)
        return nullptr;
    std::snprintf(pOut, pSize, "Energy runs out in %d s: then shields and emitters stop",
                  static_cast<int>(seconds + 0.5f));
    return pOut;
}
} // namespace

void CGameWorld::DrawHudFigures()
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (font == nullptr)
        return;
    const float w = static_cast<float>(GetWindowWidth());
    const float h = static_cast<float>(GetWindowHeight());
    const CTeam& team = GetTeam(m_playerTeam);
    char text[96];

    // The summary panel reaches down over the strip above the bar.
    if (!(ShowsResult() && m_summaryOpen))
    {
        // Over the bar's right end: the stock, and left of it the net flow.
        std::snprintf(text, sizeof text, "Energy %d / %d", ScreenMath::EnergyPoints(team.GetEnergy()),
                      ScreenMath::EnergyPoints(team.GetEnergyMax()));
        const float energyX = w - 28.0f - font->GetTextWidth(text);
        DrawTextIn(font, energyX, 52.0f, text, TEXT_COLOUR);
        std::snprintf(text, sizeof text, "Net flow %+.1f a second",
                      ScreenMath::FlowPoints(GetTeamFlow(m_playerTeam)));
        DrawTextIn(font, energyX - 30.0f - font->GetTextWidth(text), 52.0f, text, TEXT_COLOUR);

        // The chosen kind's cost over the bar's left end, and what is missing to pay it.
        if (!m_demo && m_selectedTool >= TOOL_EXTENDER && m_selectedTool < TOOL_NONE)
        {
            const int cost = ToolCost(m_selectedTool);
            const int shortfall = ScreenMath::ShortfallPoints(team.GetEnergy(), cost);
            std::snprintf(text, sizeof text, "%s costs %d", KIND_NAMES[m_selectedTool],
                          ScreenMath::EnergyPoints(cost));
            DrawTextIn(font, 45.0f, 52.0f, text, TEXT_COLOUR);
            if (shortfall > 0)
            {
                const float x = 45.0f + font->GetTextWidth(text);
                std::snprintf(text, sizeof text, ", short by %d", shortfall);
                DrawTextIn(font, x, 52.0f, text, SHORT_COLOUR);
            }
        }
    }
    char warning[96];
    if (!m_demo)
    {
        if (const char* line = EnergyWarning(*this, warning, sizeof warning))
            DrawTextIn(font, 22.0f, 4.0f, line, WARNING_COLOUR);
    }

    DrawTextIn(font, w - 150.0f, h - 40.0f, "F1: help", TEXT_COLOUR);

    // Over each side bar: whose main node's health it is.
    for (int t = 1; t <= 2; ++t)
    {
        // The side's player, by name, at the top beside the bar: the network's names, or the
        // player's own against the computer.
        const std::string name = SideName(t);
        if (!name.empty())
            DrawTextIn(font, t == 1 ? 420.0f : w - 200.0f - font->GetTextWidth(name.c_str()), h - 40.0f,
                       name.c_str(), t == 1 ? CColor(0.7f, 1.0f, 0.7f) : CColor(0.7f, 0.7f, 1.0f));
        const CMainNode* main = GetTeam(t).GetMainNode();
        std::snprintf(text, sizeof text, "%d%%",
                      ScreenMath::HealthPercent(main ? main->GetHealthFraction() : 0.0f));
        const float x = t == 1 ? 20.0f : w - 20.0f;
        // The bars' own tints, so the label says whose it is.
        const CColor tint = t == 1 ? CColor(0.7f, 1.0f, 0.7f) : CColor(0.7f, 0.7f, 1.0f);
        DrawTextIn(font, x - 0.5f * font->GetTextWidth("Main"), h - 48.0f, "Main", tint);
        DrawTextIn(font, x - 0.5f * font->GetTextWidth(text), h - 63.0f, text, tint);
    }
}
