#include "net/NetHeadlineBand.h"

#include <GL/gl.h>

#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "world/GameWorld.h"

bool TakeHeadline(const std::string& pHeadline, std::string& pDrawn)
{
    if (pHeadline == pDrawn)
        return false;
    pDrawn = pHeadline;
    return true;
}

void DrawHeadlineBand(const CGameWorld& pWorld, const std::string& pHeadline)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("MainFont");
    if (!font)
        return;
    // The open summary covers the board's middle: the line goes along its top edge instead.
    if (pWorld.m_summaryOpen)
        return pWorld.DrawEdgeLine(pHeadline.c_str());
    const int w = pWorld.GetWindowWidth();
    const int h = pWorld.GetWindowHeight();
    const float bottom = static_cast<float>(h / 2 - 110);
    const float top = static_cast<float>(h / 2 - 60);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, bottom);
    glVertex2f(static_cast<float>(w), bottom);
    glVertex2f(static_cast<float>(w), top);
    glVertex2f(0.0f, top);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPushMatrix();
    glTranslatef(static_cast<float>(w / 2) - 0.5f * font->GetTextWidth(pHeadline.c_str()),
                 static_cast<float>(h / 2 - 90), 0.0f);
    font->DrawText(pHeadline.c_str());
    glPopMatrix();
}
