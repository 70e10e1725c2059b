#include "replay/ViewerControls.h"

#include <GL/gl.h>
#include <SDL/SDL_keysym.h>

#include <string>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "world/GameWorld.h"

bool CViewerControls::IsWatching(const CGameWorld& pWorld) const
{
    return pWorld.m_demoUntilDecided;
}

std::string CViewerControls::Status(const CGameWorld& pWorld) const
{
    return "Step " + std::to_string(pWorld.m_matchSteps);
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
    if (pSym == SDLK_SPACE)
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
                       "      Space pause   1-4 speed x1 x2 x4 x8   Esc menu";
    glPushMatrix();
    // Flush with the board's right edge, clear of the energy bar beside it.
    const float right = 0.5f * (static_cast<float>(pWorld.GetWindowWidth()) + pWorld.GetBoardWidth()) - 8.0f;
    glTranslatef(right - font->GetTextWidth(text.c_str()), static_cast<float>(pWorld.GetWindowHeight() - 80),
                 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.85f);
    font->DrawText(text.c_str());
    glPopMatrix();
}
