#include "replay/ViewerControls.h"

#include <GL/gl.h>
#include <SDL/SDL_keysym.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "replay/ReplayTimeline.h"
#include "world/GameWorld.h"

bool CViewerControls::IsWatching(const CGameWorld& pWorld) const
{
    return pWorld.m_demo;
}

CViewerControls& MenuDemoViewer(CGameWorld& pWorld)
{
    static CViewerControls viewer(pWorld);
    return viewer;
}

std::string CViewerControls::Clock(int pSteps, int pStepLength)
{
    const long long seconds = static_cast<long long>(pSteps) * pStepLength / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

std::string CViewerControls::Status(const CGameWorld& pWorld) const
{
    return Clock(pWorld.ClockSteps(), static_cast<int>(pWorld.m_stepLength));
}

int CViewerControls::StepsPerTick()
{
    if (!IsWatching(m_world))
        return 1;
    if (m_jumpTo > m_world.m_matchSteps)
        return std::min(JUMP_STEPS_PER_TICK, m_jumpTo - m_world.m_matchSteps);
    m_jumpTo = -1;
    return m_speed;
}

bool CViewerControls::BeforeStep(CGameWorld& pWorld)
{
    // A jump runs on through a pause, which holds again where it lands.
    return !IsWatching(pWorld) || !m_paused || m_jumpTo > pWorld.m_matchSteps;
}

bool CViewerControls::OnKey(CGameWorld& pWorld, int pSym, bool pPressed)
{
    if (!IsWatching(pWorld))
        return false;
    if (pSym == SDLK_SPACE || pSym == SDLK_p)
    {
        if (pPressed)
            m_paused = !m_paused;
        return true;
    }
    if (pSym >= SDLK_1 && pSym <= SDLK_4)
    {
        if (pPressed)
            m_speed = 1 << (pSym - SDLK_1);
        return true;
    }
    if (pSym == SDLK_n && Timeline() != nullptr)
    {
        if (pPressed)
            m_jumpTo = Timeline()->NextJump(std::max(m_jumpTo, pWorld.m_matchSteps),
                                            static_cast<int>(pWorld.m_stepLength));
        return true;
    }
    // The last tool key would pick a tool nobody can use here.
    return pSym == SDLK_5;
}

bool CViewerControls::OnMouseButton(CGameWorld& pWorld, int /*pButton*/, bool /*pPressed*/)
{
    return IsWatching(pWorld);
}

void CViewerControls::DrawOverlay(CGameWorld& pWorld)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (!IsWatching(pWorld) || font == nullptr)
        return;
    const CReplayTimeline* timeline = Timeline();
    const std::string keys = std::string("      Space pause   1-4 speed x1-x8   ") +
                             (timeline ? "N next mark   " : "") + m_escapeText;
    const std::string status = Status(pWorld);
    const std::string text = status + (m_paused ? "   Paused" : "   x" + std::to_string(m_speed)) + keys;
    // Flush with the board's right edge, clear of the energy bar beside it, on a plate of its
    // own so that nothing on the board shows through. Its left edge, and the time line's,
    // stand where the wider of "Paused" and "x8" puts them, so neither moves between the two.
    const float right = 0.5f * (static_cast<float>(pWorld.GetWindowWidth()) + pWorld.GetBoardWidth()) - 8.0f;
    const float widest =
        std::max(font->GetTextWidth((status + "   Paused" + keys).c_str()),
                 font->GetTextWidth((status + "   x" + std::to_string(MAX_SPEED) + keys).c_str()));
    const float left = right - widest;
    // Above the summary panel's top edge, the time line in a row of its own under the text.
    const float y = static_cast<float>(pWorld.GetWindowHeight() - 70);
    const float bottom = timeline ? y - 24.0f : y - 6.0f;
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.02f, 0.06f, 0.04f, 1.0f);
    glBegin(GL_QUADS);
    glVertex2f(left - 8.0f, bottom);
    glVertex2f(right + 4.0f, bottom);
    glVertex2f(right + 4.0f, y + static_cast<float>(font->GetLineHeight()));
    glVertex2f(left - 8.0f, y + static_cast<float>(font->GetLineHeight()));
    glEnd();
    glPushMatrix();
    glTranslatef(left, y, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    font->DrawText(text.c_str());
    glPopMatrix();
    if (timeline)
        timeline->Draw(left, right, y - 14.0f, pWorld.m_matchSteps, TimelineEnd());
}
