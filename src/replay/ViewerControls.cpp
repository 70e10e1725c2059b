#include "replay/ViewerControls.h"

#include <GL/gl.h>
#include <SDL/SDL_keysym.h>

#include <cstdio>
#include <string>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "world/GameWorld.h"

bool CViewerControls::IsWatching(const CGameWorld& pWorld) const
{
    return pWorld.m_demoUntilDecided;
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
    return Clock(pWorld.m_matchSteps, static_cast<int>(pWorld.m_stepLength));
}

int CViewerControls::StepsPerTick()
{
    return IsWatching(m_world) ? m_speed : 1;
}

bool CViewerControls::BeforeStep(CGameWorld& pWorld)
{
    return !IsWatching(pWorld) || !m_paused;
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
    std::string text = Status(pWorld) + (m_paused ? "   Paused" : "   x" + std::to_string(m_speed)) +
                       "      Space pause   1-4 speed x1 x2 x4 x8   " + m_escapeText;
    // Flush with the board's right edge, clear of the energy bar beside it, on a plate of its
    // own so that nothing on the board shows through.
    const float right = 0.5f * (static_cast<float>(pWorld.GetWindowWidth()) + pWorld.GetBoardWidth()) - 8.0f;
    const float left = right - font->GetTextWidth(text.c_str());
    const float y = static_cast<float>(pWorld.GetWindowHeight() - 80);
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.02f, 0.06f, 0.04f, 1.0f);
    glBegin(GL_QUADS);
    glVertex2f(left - 8.0f, y - 6.0f);
    glVertex2f(right + 4.0f, y - 6.0f);
    glVertex2f(right + 4.0f, y + static_cast<float>(font->GetLineHeight()));
    glVertex2f(left - 8.0f, y + static_cast<float>(font->GetLineHeight()));
    glEnd();
    glPushMatrix();
    glTranslatef(left, y, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    font->DrawText(text.c_str());
    glPopMatrix();
}
