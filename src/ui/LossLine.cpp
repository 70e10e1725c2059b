#include "ui/LossLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <GL/gl.h>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "world/GameWorld.h"
#include "world/RingBatch.h"
#include "world/ScreenDraw.h"

namespace
{
const char* const SINGULAR[] = {"extender", "beam emitter", "shield", "extractor",
                                "absorber", "main node",    "node"};
const char* const PLURAL[] = {"extenders", "beam emitters", "shields", "extractors",
                              "absorbers", "main nodes",    "nodes"};
const int NAMES = 7;
// At most this many causes are told in one line; the rest are summed up.
const int MAX_GROUPS = 2;
const int MAX_RINGS = 8;

int NameIndex(int pKind)
{
    return pKind >= 0 && pKind < NAMES - 1 ? pKind : NAMES - 1;
}

std::string CauseText(int pCause, int pTeam)
{
    const std::string enemy = pTeam == 1 ? "blue's" : "green's";
    switch (pCause)
    {
    case CMatchStats::CAUSE_ENEMY_BEAM:
        return " destroyed by " + enemy + " beam";
    case CMatchStats::CAUSE_OWN_BEAM:
        return " destroyed by your own beam";
    case CMatchStats::CAUSE_ENEMY_BLAST:
        return " destroyed by " + enemy + " absorber's blast";
    case CMatchStats::CAUSE_OWN_BLAST:
        return " destroyed by your own absorber's blast";
    case CMatchStats::CAUSE_GREY_BLAST:
        return " destroyed by a grey absorber's blast";
    case CMatchStats::CAUSE_CUT_OFF:
        return " cut off from power";
    default:
        return " removed";
    }
}

// "Extender", "2 shields", joined as "a, b and c".
std::string KindList(const int (&pCounts)[NAMES])
{
    std::vector<std::string> items;
    for (int i = 0; i < NAMES; ++i)
    {
        if (pCounts[i] == 1)
            items.push_back(SINGULAR[i]);
        else if (pCounts[i] > 1)
            items.push_back(std::to_string(pCounts[i]) + " " + PLURAL[i]);
    }
    std::string out;
    for (size_t i = 0; i < items.size(); ++i)
    {
        if (i > 0)
            out += i + 1 == items.size() ? " and " : ", ";
        out += items[i];
    }
    return out;
}

void DrawTextAt(CTextureFont* pFont, float pX, float pY, const char* pText)
{
    glPushMatrix();
    glTranslatef(pX, pY, 0.0f);
    pFont->DrawText(pText);
    glPopMatrix();
}

int StepsOf(const CGameWorld& pWorld, int pMs)
{
    return pMs / static_cast<int>(pWorld.m_stepLength);
}
} // namespace

std::string CLossLine::Describe(const std::vector<CMatchStats::Loss>& pLosses, int pTeam, int pFromStep)
{
    // One group per cause in the order first met; the nodes that fell with their main node
    // are one more group, told last.
    struct Group
    {
        int cause;
        int counts[NAMES];
    };
    std::vector<Group> groups;
    int fellWithMain = 0;
    for (const CMatchStats::Loss& loss : pLosses)
    {
        if (loss.team != pTeam || loss.step < pFromStep)
            continue;
        if (loss.mainFallen)
        {
            ++fellWithMain;
            continue;
        }
        Group* group = nullptr;
        for (Group& g : groups)
        {
            if (g.cause == loss.cause)
                group = &g;
        }
        if (group == nullptr)
        {
            groups.push_back({loss.cause, {}});
            group = &groups.back();
        }
        ++group->counts[NameIndex(loss.kind)];
    }
    std::string text;
    int told = 0;
    int untold = 0;
    for (const Group& g : groups)
    {
        if (told == MAX_GROUPS)
        {
            for (int count : g.counts)
                untold += count;
            continue;
        }
        if (!text.empty())
            text += "; ";
        text += KindList(g.counts) + CauseText(g.cause, pTeam);
        ++told;
    }
    if (untold > 0)
        text += "; " + std::to_string(untold) + " more lost";
    if (fellWithMain > 0)
    {
        if (!text.empty())
            text += "; ";
        text +=
            fellWithMain == 1 ? "1 node fell with it" : std::to_string(fellWithMain) + " nodes fell with it";
    }
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::vector<std::string> CLossLine::Log(const std::vector<CMatchStats::Loss>& pLosses, int pTeam,
                                        int pMomentSteps, int pStepLength, size_t pMax)
{
    // The steps each moment began at, as Current opens them.
    std::vector<int> starts;
    int from = -1;
    for (const CMatchStats::Loss& loss : pLosses)
    {
        if (loss.team != pTeam)
            continue;
        if (from < 0 || loss.step > from + pMomentSteps)
        {
            from = loss.step;
            starts.push_back(from);
        }
    }
    std::vector<std::string> lines;
    const size_t first = starts.size() > pMax ? starts.size() - pMax : 0;
    for (size_t i = first; i < starts.size(); ++i)
    {
        // Each moment alone: the losses from its start up to the next one's.
        std::vector<CMatchStats::Loss> moment;
        for (const CMatchStats::Loss& loss : pLosses)
        {
            if (loss.step >= starts[i] && (i + 1 == starts.size() || loss.step < starts[i + 1]))
                moment.push_back(loss);
        }
        const int seconds = starts[i] * pStepLength / 1000;
        char clock[16];
        std::snprintf(clock, sizeof clock, "%d:%02d  ", seconds / 60, seconds % 60);
        lines.push_back(clock + Describe(moment, pTeam, starts[i]));
    }
    return lines;
}

std::string CLossLine::MainFall(const std::vector<CMatchStats::Loss>& pLosses, int pTeam)
{
    for (const CMatchStats::Loss& loss : pLosses)
    {
        if (loss.team == pTeam && loss.kind == KIND_MAIN)
            return Describe(pLosses, pTeam, loss.step);
    }
    return std::string();
}

const std::string& CLossLine::Current(const CGameWorld& pWorld)
{
    const std::vector<CMatchStats::Loss>& losses = pWorld.m_matchStats.GetLosses();
    const int team = pWorld.m_playerTeam;
    const int now = pWorld.m_matchSteps;
    if (losses.size() < m_seen || now < m_lastStep)
    {
        // A new match.
        m_seen = 0;
        m_lastStep = -1;
        m_fromStep = -1;
        m_text.clear();
    }
    if (losses.size() != m_seen)
    {
        // A new loss of the player's opens a moment, or joins the one still open.
        for (size_t i = m_seen; i < losses.size(); ++i)
        {
            if (losses[i].team != team)
                continue;
            if (m_lastStep < 0 || losses[i].step > m_fromStep + StepsOf(pWorld, MOMENT_MS))
                m_fromStep = losses[i].step;
            m_lastStep = losses[i].step;
        }
        m_seen = losses.size();
        if (m_lastStep >= 0)
            m_text = Describe(losses, team, m_fromStep);
    }
    if (m_lastStep < 0 || now > m_lastStep + StepsOf(pWorld, SHOW_MS) || now < m_lastStep)
        m_text.clear();
    return m_text;
}

namespace
{
// A dark plate with lines of text over it, from pTop down; pCentre centres it, else its left
// edge is at pX.
void DrawPlate(CTextureFont* pFont, float pX, float pTop, bool pCentre,
               const std::vector<std::string>& pLines)
{
    float width = 0.0f;
    for (const std::string& line : pLines)
        width = std::max(width, pFont->GetTextWidth(line.c_str()));
    const float left = pCentre ? pX - 0.5f * width : pX;
    const float pitch = static_cast<float>(pFont->GetLineHeight()) + 2.0f;
    const float bottom = pTop - pitch * static_cast<float>(pLines.size());
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.0f, 0.0f, 0.0f, 0.75f);
    glBegin(GL_QUADS);
    ScreenDraw::Quad(left - 10.0f, left + width + 10.0f, bottom - 6.0f, pTop + 4.0f);
    glEnd();
    glColor4f(1.0f, 0.6f, 0.45f, 1.0f);
    float y = pTop - pitch + 4.0f;
    for (const std::string& line : pLines)
    {
        DrawTextAt(pFont, left, y, line.c_str());
        y -= pitch;
    }
}

// The window's row of the board's bottom edge.
float BoardBottom(const CGameWorld& pWorld)
{
    return 0.5f * (static_cast<float>(pWorld.GetWindowHeight()) - pWorld.GetBoardHeight());
}
} // namespace

void CLossLine::Draw(const CGameWorld& pWorld)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (pWorld.m_demo || font == nullptr)
        return;
    const std::string& text = Current(pWorld);
    if (text.empty() || pWorld.m_summaryOpen)
        return;
    // Along the board's bottom edge, below its lowest sites.
    const float pitch = static_cast<float>(font->GetLineHeight()) + 2.0f;
    DrawPlate(font, static_cast<float>(pWorld.GetWindowWidth() / 2), BoardBottom(pWorld) + 8.0f + pitch, true,
              {text});
}

void CLossLine::DrawLog(const CGameWorld& pWorld)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (pWorld.m_demo || font == nullptr)
        return;
    std::vector<std::string> lines =
        Log(pWorld.m_matchStats.GetLosses(), pWorld.m_playerTeam, StepsOf(pWorld, MOMENT_MS),
            static_cast<int>(pWorld.m_stepLength), LOG_LINES);
    if (lines.empty())
        lines.push_back("Nothing lost yet");
    lines.insert(lines.begin(), "Your losses (L hides this)");
    // On the board's left, above the loss line.
    const float pitch = static_cast<float>(font->GetLineHeight()) + 2.0f;
    DrawPlate(font, 50.0f, BoardBottom(pWorld) + 20.0f + pitch * static_cast<float>(lines.size() + 1), false,
              lines);
}

void CLossLine::DrawMarks(const CGameWorld& pWorld, CRingBatch& pRings) const
{
    if (pWorld.m_demo)
        return;
    const std::vector<CMatchStats::Loss>& losses = pWorld.m_matchStats.GetLosses();
    const int now = pWorld.m_matchSteps;
    const int span = StepsOf(pWorld, MARK_MS);
    // Newest last, so the scan stops at the first one too old; a few rings say enough.
    int rings = 0;
    for (size_t i = losses.size(); i-- > 0 && rings < MAX_RINGS;)
    {
        const CMatchStats::Loss& loss = losses[i];
        if (loss.step < now - span)
            break;
        if (loss.team != pWorld.m_playerTeam || loss.step > now)
            continue;
        // A ring that widens and fades where the node stood.
        const float age = static_cast<float>(now - loss.step) / static_cast<float>(span);
        const float radius = 12.0f + 18.0f * age;
        ++rings;
        pRings.Add(loss.at, radius - 3.0f, 3.0f, CColor(1.0f, 0.3f, 0.2f, 1.0f - age));
    }
}
