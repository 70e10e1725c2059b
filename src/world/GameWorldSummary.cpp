// The end of a match as the player sees it: the summary's bookkeeping after each step, the
// end of a capped match, a watched match's banner, and the summary panel with its graph.
#include <algorithm>
#include <cstdio>

#include <GL/gl.h>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "world/GameWorld.h"
#include "world/ScreenDraw.h"
#include "world/ScreenMath.h"

using ScreenDraw::Quad;

namespace
{
// The panel sits under the result banner (400 by 80, centred), clear of the energy bar.
const float PANEL_HALF_WIDTH = 440.0f;
const float PANEL_BOTTOM = 58.0f;
const float BANNER_HALF_HEIGHT = 40.0f;
const float PANEL_GAP = 8.0f;
// The figures' columns, from the panel's left edge.
const float LABEL_X = 16.0f;
const float GREEN_X = 236.0f;
const float BLUE_X = 326.0f;
// The graphs' plots, from the panel's left edge and right edge.
const float PLOT_LEFT = 470.0f;
const float PLOT_RIGHT_MARGIN = 20.0f;
const float PLOT_HEIGHT = 78.0f;

const char* const KIND_LABELS[CMatchStats::KINDS - 1] = {"Extenders", "Beam emitters", "Shields",
                                                         "Extractors", "Absorbers"};

void DrawTextAt(CTextureFont* pFont, float pX, float pY, const char* pText)
{
    glPushMatrix();
    glTranslatef(pX, pY, 0.0f);
    pFont->DrawText(pText);
    glPopMatrix();
}

// The text's colour for a side: the health bars' light tints, legible on the dark panel.
void SideTextColour(int pTeam)
{
    if (pTeam == 1)
        glColor4f(0.7f, 1.0f, 0.7f, 1.0f);
    else
        glColor4f(0.7f, 0.7f, 1.0f, 1.0f);
}

// After the end, under the banner: what the keys do now.
void DrawEndHint(CTextureFont* pFont, float pCentreX, float pBaseline)
{
    const char* const hint = "Escape: back to the menu      S: match summary";
    const float half = 0.5f * pFont->GetTextWidth(hint);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glBegin(GL_QUADS);
    Quad(pCentreX - half - 10.0f, pCentreX + half + 10.0f, pBaseline - 8.0f, pBaseline + 20.0f);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawTextAt(pFont, pCentreX - half, pBaseline, hint);
}

void FormatMillions(char* pOut, size_t pSize, long long pEnergy)
{
    std::snprintf(pOut, pSize, "%.1f", static_cast<double>(pEnergy) / 1e6);
}

// One plot: both sides' series of a sample field over the whole match, in the team colours,
// with a light frame, a line per time tick and the scale's top written at the left.
struct Plot
{
    float left, right, bottom, top;
    float seconds;  // the time axis' end
    float maxValue; // the value axis' end
};

template <class F>
void DrawSeries(const Plot& pPlot, const std::vector<CMatchStats::Sample>& pSamples, int pStepLength,
                F&& pValue)
{
    const float xScale = (pPlot.right - pPlot.left) / pPlot.seconds;
    const float yScale = (pPlot.top - pPlot.bottom) / pPlot.maxValue;
    for (int side = 0; side < 2; ++side)
    {
        CTeam::ColourOf(side + 1).Apply();
        glBegin(GL_LINE_STRIP);
        for (const CMatchStats::Sample& s : pSamples)
        {
            const float t = static_cast<float>(s.step) * static_cast<float>(pStepLength) / 1000.0f;
            const float v = std::max(0.0f, static_cast<float>(pValue(s, side)));
            glVertex2f(pPlot.left + t * xScale, pPlot.bottom + v * yScale);
        }
        glEnd();
    }
}

void DrawPlotFrame(const Plot& pPlot, float pTickSeconds)
{
    glColor4f(1.0f, 1.0f, 1.0f, 0.25f);
    glBegin(GL_LINES);
    for (float t = pTickSeconds; t < pPlot.seconds; t += pTickSeconds)
    {
        const float x = pPlot.left + t * (pPlot.right - pPlot.left) / pPlot.seconds;
        glVertex2f(x, pPlot.bottom);
        glVertex2f(x, pPlot.top);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
    glVertex2f(pPlot.left, pPlot.bottom);
    glVertex2f(pPlot.right, pPlot.bottom);
    glVertex2f(pPlot.left, pPlot.bottom);
    glVertex2f(pPlot.left, pPlot.top);
    glEnd();
}
} // namespace

// --- bookkeeping ---

void CGameWorld::FinishMatchStep()
{
    if (m_capSteps > 0 && m_matchSteps >= m_capSteps && m_result == RESULT_UNDECIDED)
        m_matchOver = true;
    const bool counting = !m_matchStats.HasEnded();
    m_matchStats.EndStep(m_matchSteps, GetTeam(1).GetEnergy(), GetTeam(2).GetEnergy(),
                         m_result != RESULT_UNDECIDED || m_matchOver);
    if (!counting || !m_matchStats.HasEnded())
        return;
    // A match stopped undecided runs no more steps, so it cannot be resumed either.
    if (m_matchOver)
        m_resumable = false;
    if (ShowsResult())
        m_summaryOpen = true;
}

void CGameWorld::EndMatchUndecided()
{
    if (m_result != RESULT_UNDECIDED || m_matchOver)
        return;
    m_matchOver = true;
    FinishMatchStep();
}

// --- drawing ---

void CGameWorld::DrawMatchSummary()
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("MainFont");
    static CTextureFont* small = CFontManager::GetInstance()->GetFont("HelpFont");
    if (!ShowsResult() || font == nullptr || small == nullptr)
        return;

    const float w = static_cast<float>(GetWindowWidth());
    const float h = static_cast<float>(GetWindowHeight());
    const float cx = static_cast<float>(GetWindowWidth() / 2);
    const float cy = static_cast<float>(GetWindowHeight() / 2);
    const bool ended = m_result != RESULT_UNDECIDED || m_matchOver;

    // Nobody plays a watched match, so its banner names the side that won.
    if (m_demo && ended)
    {
        char banner[64];
        int winner = 0;
        if (m_result == RESULT_WIN)
            winner = 1;
        else if (m_result == RESULT_LOSE)
            winner = 2;
        if (winner != 0)
            std::snprintf(banner, sizeof banner, "%s wins",
                          !m_sideNames[winner].empty() ? m_sideNames[winner].c_str()
                          : winner == 1                ? "Green"
                                                       : "Blue");
        else if (m_result == RESULT_TIE)
            std::snprintf(banner, sizeof banner, "Both sides fell: a tie");
        else
        {
            // A replay cut short ends anywhere, not only at the cap: minutes and seconds.
            const int seconds = m_matchStats.GetLastStep() * static_cast<int>(m_stepLength) / 1000;
            std::snprintf(banner, sizeof banner, "Undecided after %d:%02d", seconds / 60, seconds % 60);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor4f(0.0f, 0.0f, 0.0f, 0.75f);
        glBegin(GL_QUADS);
        Quad(cx - 200.0f, cx + 200.0f, cy - 30.0f, cy + 30.0f);
        glEnd();
        if (winner != 0)
            SideTextColour(winner);
        else
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        DrawTextAt(font, cx - 0.5f * font->GetTextWidth(banner), cy - 7.0f, banner);
    }

    if (!m_summaryOpen)
    {
        glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
        DrawTextAt(small, w - 150.0f, h - 22.0f, "S: match summary");
        if (ended)
            DrawEndHint(font, cx, cy - BANNER_HALF_HEIGHT - 30.0f);
        return;
    }

    const CMatchStats& stats = m_matchStats;
    const float left = cx - PANEL_HALF_WIDTH;
    const float right = cx + PANEL_HALF_WIDTH;
    const float top = cy - BANNER_HALF_HEIGHT - PANEL_GAP;
    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_QUADS);
    glColor4f(0.0f, 0.0f, 0.0f, 0.85f);
    Quad(left, right, PANEL_BOTTOM, top);
    glColor4f(1.0f, 1.0f, 1.0f, 0.6f);
    Quad(left, right, top - 2.0f, top);
    Quad(left, right, PANEL_BOTTOM, PANEL_BOTTOM + 2.0f);
    Quad(left, left + 2.0f, PANEL_BOTTOM, top);
    Quad(right - 2.0f, right, PANEL_BOTTOM, top);
    glEnd();

    // The title: how long the match ran, or runs so far.
    const int seconds = stats.GetLastStep() * stats.GetStepLength() / 1000;
    char text[96];
    std::snprintf(text, sizeof text, "%s %d:%02d", stats.HasEnded() ? "Match summary," : "Match so far,",
                  seconds / 60, seconds % 60);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    float y = top - 26.0f;
    DrawTextAt(font, left + LABEL_X, y, text);
    // The panel's first line stands under the banner: it says what the keys do now.
    const char* const keys = ended ? "Escape: menu    S hides it" : "S hides it";
    DrawTextAt(small, right - 16.0f - small->GetTextWidth(keys), y, keys);

    // The figures, a row each, both sides side by side.
    const float row = static_cast<float>(small->GetLineHeight()) + 2.0f;
    y -= row + 6.0f;
    glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
    DrawTextAt(small, left + LABEL_X, y, "Built / lost");
    for (int team = 1; team <= 2; ++team)
    {
        SideTextColour(team);
        const std::string& name = m_sideNames[team];
        DrawTextAt(small, left + (team == 1 ? GREEN_X : BLUE_X), y,
                   !name.empty() ? name.c_str()
                   : team == 1   ? "Green"
                                 : "Blue");
    }
    auto figureRow = [&](const char* pLabel, const char* pGreen, const char* pBlue)
    {
        y -= row;
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        DrawTextAt(small, left + LABEL_X, y, pLabel);
        DrawTextAt(small, left + GREEN_X, y, pGreen);
        DrawTextAt(small, left + BLUE_X, y, pBlue);
    };
    char green[32];
    char blue[32];
    for (int kind = 0; kind < CMatchStats::KINDS - 1; ++kind)
    {
        std::snprintf(green, sizeof green, "%d / %d", stats.GetBuilt(1, kind), stats.GetLost(1, kind));
        std::snprintf(blue, sizeof blue, "%d / %d", stats.GetBuilt(2, kind), stats.GetLost(2, kind));
        figureRow(KIND_LABELS[kind], green, blue);
    }
    std::snprintf(green, sizeof green, "%d", stats.GetLargestNetwork(1));
    std::snprintf(blue, sizeof blue, "%d", stats.GetLargestNetwork(2));
    figureRow("Largest network", green, blue);
    y -= 6.0f;
    glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
    y -= row;
    DrawTextAt(small, left + LABEL_X, y, "Energy, millions");
    struct EnergyRow
    {
        const char* label;
        bool earned;
        int index;
    };
    const EnergyRow energyRows[] = {{"earned by extractors", true, CMatchStats::EARN_EXTRACTORS},
                                    {"earned by absorbers", true, CMatchStats::EARN_ABSORBERS},
                                    {"spent on building", false, CMatchStats::SPEND_BUILDING},
                                    {"spent on running", false, CMatchStats::SPEND_RUNNING}};
    for (const EnergyRow& e : energyRows)
    {
        FormatMillions(green, sizeof green,
                       e.earned ? stats.GetEarned(1, e.index) : stats.GetSpent(1, e.index));
        FormatMillions(blue, sizeof blue,
                       e.earned ? stats.GetEarned(2, e.index) : stats.GetSpent(2, e.index));
        figureRow(e.label, green, blue);
    }

    // The graphs: the energy stock above, the nodes standing below, on one time axis.
    const std::vector<CMatchStats::Sample>& samples = stats.GetSamples();
    if (samples.empty())
        return;
    int maxEnergy = 1;
    int maxNodes = 1;
    for (const CMatchStats::Sample& s : samples)
    {
        maxEnergy = std::max({maxEnergy, s.energy[0], s.energy[1]});
        maxNodes = std::max({maxNodes, s.nodes[0], s.nodes[1]});
    }
    const float matchSeconds =
        std::max(1.0f, static_cast<float>(stats.GetLastStep() * stats.GetStepLength()) / 1000.0f);
    const ScreenMath::AxisScale timeAxis = ScreenMath::NiceAxis(matchSeconds / 60.0f, 8);
    // Three steps put a full stock's 30 million at the top.
    const ScreenMath::AxisScale energyAxis = ScreenMath::NiceAxis(static_cast<float>(maxEnergy) / 1e6f, 3);
    const ScreenMath::AxisScale nodesAxis = ScreenMath::NiceAxis(static_cast<float>(maxNodes), 5);
    const float plotRight = right - PLOT_RIGHT_MARGIN;
    const float energyTop = top - 44.0f;
    const Plot energyPlot = {left + PLOT_LEFT,        plotRight,
                             energyTop - PLOT_HEIGHT, energyTop,
                             timeAxis.top * 60.0f,    energyAxis.top * 1e6f};
    const float nodesTop = energyPlot.bottom - 30.0f;
    const Plot nodesPlot = {left + PLOT_LEFT, plotRight,          nodesTop - PLOT_HEIGHT,
                            nodesTop,         energyPlot.seconds, nodesAxis.top};

    glBindTexture(GL_TEXTURE_2D, 0);
    DrawPlotFrame(energyPlot, timeAxis.step * 60.0f);
    DrawPlotFrame(nodesPlot, timeAxis.step * 60.0f);
    glLineWidth(2.0f);
    DrawSeries(energyPlot, samples, stats.GetStepLength(),
               [](const CMatchStats::Sample& pS, int pSide) { return pS.energy[pSide]; });
    DrawSeries(nodesPlot, samples, stats.GetStepLength(),
               [](const CMatchStats::Sample& pS, int pSide) { return pS.nodes[pSide]; });
    glLineWidth(1.0f);

    glColor4f(1.0f, 1.0f, 1.0f, 0.9f);
    std::snprintf(text, sizeof text, "Energy stock (top %g million)", energyAxis.top);
    DrawTextAt(small, energyPlot.left, energyPlot.top + 6.0f, text);
    std::snprintf(text, sizeof text, "Nodes standing (top %g)", nodesAxis.top);
    DrawTextAt(small, nodesPlot.left, nodesPlot.top + 6.0f, text);
    // The time axis in minutes under the lower plot.
    const float labelY = nodesPlot.bottom - static_cast<float>(small->GetLineHeight());
    for (int i = 0; i * timeAxis.step <= timeAxis.top + 1e-4f; ++i)
    {
        std::snprintf(text, sizeof text, "%g", i * timeAxis.step);
        const float x = nodesPlot.left +
                        i * timeAxis.step * 60.0f * (nodesPlot.right - nodesPlot.left) / nodesPlot.seconds;
        DrawTextAt(small, x - 0.5f * small->GetTextWidth(text), labelY, text);
    }
    DrawTextAt(small, nodesPlot.left - 40.0f, labelY, "min");
}
