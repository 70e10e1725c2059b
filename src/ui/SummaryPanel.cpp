// The match summary as the player sees it: the summary key's hint, a watched match's banner,
// and the panel with the figures of both sides and the graphs over the whole match.
#include "ui/SummaryPanel.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include <GL/gl.h>

#include "engine/GameEngine.h"
#include "media/FontManager.h"
#include "media/TextFit.h"
#include "media/TextureFont.h"
#include "ui/LossLine.h"
#include "world/GameWorld.h"
#include "world/ScreenDraw.h"
#include "world/ScreenMath.h"

using ScreenDraw::Quad;

namespace
{
// Open, from under the tool icons and the viewer's legend down to the energy bar.
const float PANEL_HALF_WIDTH = 470.0f;
const float PANEL_BOTTOM = 58.0f;
const float PANEL_TOP_MARGIN = 94.0f;
const float BANNER_HALF_HEIGHT = 40.0f;
// The figures' columns, from the panel's left edge.
const float LABEL_X = 16.0f;
const float GREEN_X = 250.0f;
const float BLUE_X = 345.0f;
// The graphs' plots, from the panel's left edge and right edge.
const float PLOT_LEFT = 470.0f;
const float PLOT_RIGHT_MARGIN = 20.0f;
const float PLOT_HEIGHT = 130.0f;
const float PLOT_SPACING = 44.0f;

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

// In the HUD's points, whole.
void FormatPoints(char* pOut, size_t pSize, long long pUnits)
{
    std::snprintf(pOut, pSize, "%lld", pUnits / ScreenMath::ENERGY_POINT);
}

// A side as the summary names it: the player's name where the match gives one, else its colour.
const char* SideLabel(const CGameWorld& pWorld, int pTeam)
{
    const std::string& name = pWorld.m_sideNames[pTeam];
    return !name.empty() ? name.c_str() : pTeam == 1 ? "Green" : "Blue";
}

// The result in words: the winning side of a match nobody plays, else the player's own.
std::string ResultText(const CGameWorld& pWorld)
{
    if (pWorld.m_result == RESULT_TIE)
        return "Both sides fell: a tie";
    if (pWorld.m_result == RESULT_UNDECIDED)
        return "Undecided";
    const int winner = pWorld.m_result == RESULT_WIN ? 1 : 2;
    if (pWorld.m_demo)
        return std::string(SideLabel(pWorld, winner)) + " wins";
    return winner == pWorld.m_playerTeam ? "You win" : "You lose";
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

void CSummaryPanel::Draw(const CGameWorld& pWorld)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("MainFont");
    static CTextureFont* small = CFontManager::GetInstance()->GetFont("HelpFont");
    if (!pWorld.ShowsResult() || font == nullptr || small == nullptr)
        return;

    const float w = static_cast<float>(pWorld.GetWindowWidth());
    const float h = static_cast<float>(pWorld.GetWindowHeight());
    const float cx = static_cast<float>(pWorld.GetWindowWidth() / 2);
    const float cy = static_cast<float>(pWorld.GetWindowHeight() / 2);
    const bool ended = pWorld.m_result != RESULT_UNDECIDED || pWorld.m_matchOver;

    // Nobody plays a watched match, so its banner names the side that won.
    if (pWorld.m_demo && ended)
    {
        char banner[64];
        int winner = 0;
        if (pWorld.m_result == RESULT_WIN)
            winner = 1;
        else if (pWorld.m_result == RESULT_LOSE)
            winner = 2;
        if (winner != 0)
            std::snprintf(banner, sizeof banner, "%s wins", SideLabel(pWorld, winner));
        else if (pWorld.m_result == RESULT_TIE)
            std::snprintf(banner, sizeof banner, "Both sides fell: a tie");
        else
        {
            // A replay cut short ends anywhere, not only at the cap: minutes and seconds.
            const int seconds =
                pWorld.m_matchStats.GetLastStep() * static_cast<int>(pWorld.m_stepLength) / 1000;
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

    if (!pWorld.m_summaryOpen)
    {
        glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
        DrawTextAt(small, w - 150.0f, h - 22.0f, "S: match summary");
        if (ended)
            DrawEndHint(font, cx, cy - BANNER_HALF_HEIGHT - 30.0f);
        return;
    }

    // The panel's pixels in the window, which shows the layout scaled; drawn afresh where it
    // does not fit.
    const int layoutLeft = pWorld.GetWindowWidth() / 2 - static_cast<int>(PANEL_HALF_WIDTH);
    const int layoutTop = pWorld.GetWindowHeight() - static_cast<int>(PANEL_TOP_MARGIN);
    const CViewTransform::PixelRect pixels = CGameEngine::Instance().GetView().GetTransform().CoverPixels(
        static_cast<float>(layoutLeft), PANEL_BOTTOM,
        static_cast<float>(layoutLeft) + 2.0f * PANEL_HALF_WIDTH, static_cast<float>(layoutTop));
    const int left = pixels.x;
    const int bottom = pixels.y;
    const int width = pixels.w;
    const int height = pixels.h;
    if (layoutLeft < 0 || height <= 0 || width <= 0)
    {
        DrawPanel(pWorld);
        return;
    }
    const Key key = KeyOf(pWorld);
    if (!m_cached || !(key == m_key))
    {
        DrawPanel(pWorld);
        int side = 1;
        while (side < width || side < height)
            side *= 2;
        GLint largest = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
        if (side > largest)
            return;
        if (m_texture == 0 || side > m_textureSide)
        {
            if (m_texture == 0)
            {
                GLuint texture = 0;
                glGenTextures(1, &texture);
                m_texture = texture;
            }
            glBindTexture(GL_TEXTURE_2D, m_texture);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
            m_textureSide = side;
        }
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, left, bottom, width, height);
        glBindTexture(GL_TEXTURE_2D, 0);
        m_key = key;
        m_cached = true;
        return;
    }
    const float u = static_cast<float>(width) / static_cast<float>(m_textureSide);
    const float v = static_cast<float>(height) / static_cast<float>(m_textureSide);
    const float x0 = pixels.left;
    const float y0 = pixels.bottom;
    const float x1 = pixels.right;
    const float y1 = pixels.top;
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x0, y0);
    glTexCoord2f(u, 0.0f);
    glVertex2f(x1, y0);
    glTexCoord2f(u, v);
    glVertex2f(x1, y1);
    glTexCoord2f(0.0f, v);
    glVertex2f(x0, y1);
    glEnd();
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, 0);
}

float CSummaryPanel::EnergyPlotTop()
{
    return static_cast<float>(CTeam::ENERGY_MAX / ScreenMath::ENERGY_POINT);
}

CSummaryPanel::Key CSummaryPanel::KeyOf(const CGameWorld& pWorld)
{
    Key key;
    key.match = pWorld.m_matchSerial;
    // The copy is of window pixels: a resized window needs a new one.
    key.width = CGameEngine::Instance().GetView().GetTransform().GetWindowWidth();
    key.height = CGameEngine::Instance().GetView().GetTransform().GetWindowHeight();
    key.ended = pWorld.m_result != RESULT_UNDECIDED || pWorld.m_matchOver;
    key.samples = static_cast<int>(pWorld.m_matchStats.GetSamples().size());
    key.lastStep = key.ended ? pWorld.m_matchStats.GetLastStep() : -1;
    key.result = pWorld.m_result;
    key.playerTeam = pWorld.m_playerTeam;
    key.notice = pWorld.m_notice;
    return key;
}

void CSummaryPanel::DrawPanel(const CGameWorld& pWorld)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("MainFont");
    static CTextureFont* small = CFontManager::GetInstance()->GetFont("HelpFont");
    if (font == nullptr || small == nullptr)
        return;
    const float h = static_cast<float>(pWorld.GetWindowHeight());
    const float cx = static_cast<float>(pWorld.GetWindowWidth() / 2);
    const bool ended = pWorld.m_result != RESULT_UNDECIDED || pWorld.m_matchOver;
    const CMatchStats& stats = pWorld.m_matchStats;
    // Opaque, from under the top row of icons down to the energy bar: the banner's words
    // move into the title.
    const float left = cx - PANEL_HALF_WIDTH;
    const float right = cx + PANEL_HALF_WIDTH;
    const float top = h - PANEL_TOP_MARGIN;
    glBindTexture(GL_TEXTURE_2D, 0);
    glBegin(GL_QUADS);
    glColor4f(0.02f, 0.06f, 0.04f, 1.0f);
    Quad(left, right, PANEL_BOTTOM, top);
    glColor4f(1.0f, 1.0f, 1.0f, 0.6f);
    Quad(left, right, top - 2.0f, top);
    Quad(left, right, PANEL_BOTTOM, PANEL_BOTTOM + 2.0f);
    Quad(left, left + 2.0f, PANEL_BOTTOM, top);
    Quad(right - 2.0f, right, PANEL_BOTTOM, top);
    glEnd();

    // The title: the result, and how long the match ran, or runs so far.
    const int seconds = stats.GetLastStep() * stats.GetStepLength() / 1000;
    char text[160];
    if (ended)
        std::snprintf(text, sizeof text, "%s.  Match summary, %d:%02d", ResultText(pWorld).c_str(),
                      seconds / 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "Match so far, %d:%02d", seconds / 60, seconds % 60);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    float y = top - 28.0f;
    DrawTextAt(font, left + LABEL_X, y, text);
    // What the keys do now.
    const char* const keys = ended ? "Escape: menu    S hides it" : "S hides it";
    DrawTextAt(small, right - 16.0f - small->GetTextWidth(keys), y, keys);

    // The figures, a row each, both sides side by side.
    const float row = static_cast<float>(small->GetLineHeight()) + 2.0f;
    // What destroyed each fallen main node, as the loss line told it at that moment.
    for (int team = 1; team <= 2 && ended; ++team)
    {
        const std::string fall = CLossLine::MainFall(stats.GetLosses(), team);
        if (fall.empty())
            continue;
        y -= row;
        SideTextColour(team);
        const std::string line = std::string(SideLabel(pWorld, team)) + ": " + fall;
        DrawTextAt(small, left + LABEL_X, y, line.c_str());
    }
    y -= row + 8.0f;
    auto heading = [&](const char* pLabel)
    {
        glColor4f(1.0f, 1.0f, 1.0f, 0.75f);
        DrawTextAt(small, left + LABEL_X, y, pLabel);
        for (int team = 1; team <= 2; ++team)
        {
            SideTextColour(team);
            DrawTextAt(small, left + (team == 1 ? GREEN_X : BLUE_X), y, SideLabel(pWorld, team));
        }
    };
    char green[32];
    char blue[32];
    auto figureRow = [&](const char* pLabel, const char* pGreen, const char* pBlue)
    {
        y -= row;
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        DrawTextAt(small, left + LABEL_X, y, pLabel);
        DrawTextAt(small, left + GREEN_X, y, pGreen);
        DrawTextAt(small, left + BLUE_X, y, pBlue);
    };
    auto countRow = [&](const char* pLabel, int pGreen, int pBlue)
    {
        std::snprintf(green, sizeof green, "%d", pGreen);
        std::snprintf(blue, sizeof blue, "%d", pBlue);
        figureRow(pLabel, green, blue);
    };
    auto pointsRow = [&](const char* pLabel, long long pGreen, long long pBlue)
    {
        FormatPoints(green, sizeof green, pGreen);
        FormatPoints(blue, sizeof blue, pBlue);
        figureRow(pLabel, green, blue);
    };

    heading("Built / lost");
    for (int kind = 0; kind < CMatchStats::KINDS - 1; ++kind)
    {
        std::snprintf(green, sizeof green, "%d / %d", stats.GetBuilt(1, kind), stats.GetLost(1, kind));
        std::snprintf(blue, sizeof blue, "%d / %d", stats.GetBuilt(2, kind), stats.GetLost(2, kind));
        figureRow(KIND_LABELS[kind], green, blue);
    }
    countRow("Largest network", stats.GetLargestNetwork(1), stats.GetLargestNetwork(2));

    // Why the nodes were lost: the enemy's doing apart from the side's own, and the nodes
    // that simply stood when the main node fell.
    y -= row + 6.0f;
    heading("Nodes lost");
    auto lossesBy = [&](int pTeam, std::initializer_list<int> pCauses)
    {
        int n = 0;
        for (int cause : pCauses)
            n += stats.GetLossesBy(pTeam, cause);
        return n;
    };
    const std::initializer_list<int> enemy = {CMatchStats::CAUSE_ENEMY_BEAM, CMatchStats::CAUSE_ENEMY_BLAST};
    const std::initializer_list<int> own = {CMatchStats::CAUSE_OWN_BEAM, CMatchStats::CAUSE_OWN_BLAST,
                                            CMatchStats::CAUSE_GREY_BLAST, CMatchStats::CAUSE_OTHER};
    countRow("destroyed by the enemy", lossesBy(1, enemy), lossesBy(2, enemy));
    countRow("destroyed by own fire", lossesBy(1, own), lossesBy(2, own));
    countRow("cut off from power", stats.GetLossesBy(1, CMatchStats::CAUSE_CUT_OFF),
             stats.GetLossesBy(2, CMatchStats::CAUSE_CUT_OFF));
    countRow("standing when main fell", stats.GetStandingAtFall(1), stats.GetStandingAtFall(2));

    // What did the damage, in the energy's points (a main node holds 200).
    y -= row + 6.0f;
    heading("Damage taken, points");
    const struct
    {
        const char* label;
        int cause;
    } damageRows[] = {{"enemy beams", CMatchStats::CAUSE_ENEMY_BEAM},
                      {"enemy absorbers' blasts", CMatchStats::CAUSE_ENEMY_BLAST},
                      {"own beams", CMatchStats::CAUSE_OWN_BEAM},
                      {"own absorbers' blasts", CMatchStats::CAUSE_OWN_BLAST},
                      {"grey absorbers' blasts", CMatchStats::CAUSE_GREY_BLAST},
                      {"decay after losing power", CMatchStats::CAUSE_CUT_OFF}};
    for (const auto& d : damageRows)
        pointsRow(d.label, stats.GetDamage(1, d.cause), stats.GetDamage(2, d.cause));

    y -= row + 6.0f;
    heading("Energy, points");
    pointsRow("earned by extractors", stats.GetEarned(1, CMatchStats::EARN_EXTRACTORS),
              stats.GetEarned(2, CMatchStats::EARN_EXTRACTORS));
    pointsRow("earned by absorbers", stats.GetEarned(1, CMatchStats::EARN_ABSORBERS),
              stats.GetEarned(2, CMatchStats::EARN_ABSORBERS));
    pointsRow("spent on building", stats.GetSpent(1, CMatchStats::SPEND_BUILDING),
              stats.GetSpent(2, CMatchStats::SPEND_BUILDING));
    pointsRow("spent on running", stats.GetSpent(1, CMatchStats::SPEND_RUNNING),
              stats.GetSpent(2, CMatchStats::SPEND_RUNNING));

    // The notice that stands over the match (a replay gone out of sync), under the figures,
    // clear of the graphs and their time axis.
    if (!pWorld.m_notice.empty())
    {
        const std::vector<std::string> lines =
            FitText(pWorld.m_notice, PLOT_LEFT - LABEL_X - 30.0f, 4,
                    [](const std::string& pLine) { return small->GetTextWidth(pLine.c_str()); });
        glColor4f(1.0f, 0.55f, 0.35f, 1.0f);
        y -= row + 6.0f;
        for (const std::string& line : lines)
        {
            DrawTextAt(small, left + LABEL_X, y, line.c_str());
            y -= row;
        }
    }

    // The graphs, on one time axis: the main nodes' health, the energy stock, the nodes standing.
    const std::vector<CMatchStats::Sample>& samples = stats.GetSamples();
    if (samples.empty())
        return;
    int maxNodes = 1;
    for (const CMatchStats::Sample& sample : samples)
        maxNodes = std::max({maxNodes, sample.nodes[0], sample.nodes[1]});
    const float matchSeconds =
        std::max(1.0f, static_cast<float>(stats.GetLastStep() * stats.GetStepLength()) / 1000.0f);
    const ScreenMath::AxisScale timeAxis = ScreenMath::NiceAxis(matchSeconds / 60.0f, 8);
    const float point = static_cast<float>(ScreenMath::ENERGY_POINT);
    const ScreenMath::AxisScale nodesAxis = ScreenMath::NiceAxis(static_cast<float>(maxNodes), 5);
    const float plotRight = right - PLOT_RIGHT_MARGIN;
    const float plotSeconds = timeAxis.top * 60.0f;
    const float plotLeft = left + PLOT_LEFT;
    const float healthTop = top - 66.0f;
    const Plot healthPlot = {plotLeft, plotRight, healthTop - PLOT_HEIGHT, healthTop, plotSeconds, 100.0f};
    const float energyTop = healthPlot.bottom - PLOT_SPACING;
    const Plot energyPlot = {plotLeft,  plotRight,   energyTop - PLOT_HEIGHT,
                             energyTop, plotSeconds, EnergyPlotTop() * point};
    const float nodesTop = energyPlot.bottom - PLOT_SPACING;
    const Plot nodesPlot = {plotLeft, plotRight,   nodesTop - PLOT_HEIGHT,
                            nodesTop, plotSeconds, nodesAxis.top};

    glBindTexture(GL_TEXTURE_2D, 0);
    for (const Plot* plot : {&healthPlot, &energyPlot, &nodesPlot})
        DrawPlotFrame(*plot, timeAxis.step * 60.0f);
    glLineWidth(2.0f);
    DrawSeries(healthPlot, samples, stats.GetStepLength(),
               [](const CMatchStats::Sample& pS, int pSide) { return pS.mainHealth[pSide] / 10.0f; });
    DrawSeries(energyPlot, samples, stats.GetStepLength(),
               [](const CMatchStats::Sample& pS, int pSide) { return pS.energy[pSide]; });
    DrawSeries(nodesPlot, samples, stats.GetStepLength(),
               [](const CMatchStats::Sample& pS, int pSide) { return pS.nodes[pSide]; });
    glLineWidth(1.0f);

    glColor4f(1.0f, 1.0f, 1.0f, 0.9f);
    DrawTextAt(small, healthPlot.left, healthPlot.top + 6.0f, "Main node health (top 100%)");
    std::snprintf(text, sizeof text, "Energy stock (top %g points)", EnergyPlotTop());
    DrawTextAt(small, energyPlot.left, energyPlot.top + 6.0f, text);
    std::snprintf(text, sizeof text, "Nodes standing (top %g)", nodesAxis.top);
    DrawTextAt(small, nodesPlot.left, nodesPlot.top + 6.0f, text);
    // The time axis in minutes under the lowest plot.
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
