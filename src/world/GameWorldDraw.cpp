#include <GL/gl.h>

#include <string>
#include <vector>

#include "media/FontManager.h"
#include "media/Sprite.h"
#include "media/TextFit.h"
#include "media/TextureFont.h"
#include "media/TextureManager.h"
#include "world/GameWorld.h"
#include "world/MatchDriver.h"
#include "world/MatchOverlay.h"
#include "world/ScreenDraw.h"

namespace
{
// Centred low on the screen, over whatever the screen shows; a notice wider than the window
// goes on over more lines, its last line where a short notice stands.
void DrawNotice(const std::string& pText, int pWidth)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("MainFont");
    static std::string text;
    static int width = 0;
    static std::vector<std::string> lines;
    if (font == nullptr)
        return;
    if (pText != text || pWidth != width)
    {
        text = pText;
        width = pWidth;
        lines = FitText(pText, static_cast<float>(pWidth - 40), 4,
                        [](const std::string& pLine) { return font->GetTextWidth(pLine.c_str()); });
    }
    glColor4f(1.0f, 0.55f, 0.35f, 1.0f);
    for (size_t i = 0; i < lines.size(); ++i)
    {
        glPushMatrix();
        glTranslatef(
            static_cast<float>(pWidth / 2) - 0.5f * font->GetTextWidth(lines[i].c_str()),
            80.0f + static_cast<float>(font->GetLineHeight() * static_cast<int>(lines.size() - 1 - i)), 0.0f);
        font->DrawText(lines[i].c_str());
        glPopMatrix();
    }
}
} // namespace

void CGameWorld::Draw()
{
    // Every frame starts from the same state, whatever the last frame left behind.
    glClearColor(0.0f, 0.2f, 0.1f, 1.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.1f);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, 0);
    glLoadIdentity();

    switch (m_state)
    {
    case STATE_INTRO:
        DrawIntro();
        break;
    case STATE_MENU:
        DrawMenu();
        break;
    case STATE_MATCH:
        DrawGameScreen();
        if (m_driver)
            m_driver->DrawOverlay(*this);
        break;
    default:
        break;
    }
    if (m_state != STATE_INTRO && !m_notice.empty() && !IsSummaryShown())
        DrawNotice(m_notice, GetWindowWidth());
    if (m_overlay)
        m_overlay->DrawOverAll(*this);
}

void CGameWorld::DrawGameScreen()
{
    DrawBoard();
    DrawHud();
    if (m_held)
        DrawDimmed("Paused.  P resumes the match, Escape goes to the menu.");
    glFlush();
}

void CGameWorld::DrawDimmed(const char* pLine)
{
    const float w = static_cast<float>(GetWindowWidth());
    const float h = static_cast<float>(GetWindowHeight());
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.0f, 0.0f, 0.0f, 0.5f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(w, 0.0f);
    glVertex2f(w, h);
    glVertex2f(0.0f, h);
    glEnd();
    DrawEdgeLine(pLine);
}

void CGameWorld::DrawEdgeLine(const char* pLine) const
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (font == nullptr)
        return;
    const float half = 0.5f * font->GetTextWidth(pLine);
    const float cx = static_cast<float>(GetWindowWidth() / 2);
    const float top = 0.5f * (static_cast<float>(GetWindowHeight()) + m_boardHeight) - 2.0f;
    const float line = static_cast<float>(font->GetLineHeight());
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(0.0f, 0.0f, 0.0f, 0.85f);
    glBegin(GL_QUADS);
    ScreenDraw::Quad(cx - half - 12.0f, cx + half + 12.0f, top - line - 8.0f, top);
    glEnd();
    glPushMatrix();
    glTranslatef(cx - half, top - line - 2.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    font->DrawText(pLine);
    glPopMatrix();
}

void CGameWorld::DrawIntro()
{
    static CSprite* logo = CTextureManager::GetInstance()->GetSprite("QuillmothLogo");

    int stage = m_introStage.GetValue();
    // The menu shows through while the white fades away, and alone once the intro is over.
    if (stage == 1 || stage == 0)
        DrawMenu();
    if (stage == 0)
        return;

    const int w = GetWindowWidth();
    const int h = GetWindowHeight();
    float white = stage == 1 ? m_introTimer.GetFraction() : 1.0f;
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(1.0f, 1.0f, 1.0f, white);
    glBegin(GL_QUADS);
    glVertex2f(-10.0f, -10.0f);
    glVertex2f(w + 10.0f, -10.0f);
    glVertex2f(w + 10.0f, h + 10.0f);
    glVertex2f(-10.0f, h + 10.0f);
    glEnd();

    if (stage > 3 || logo == nullptr)
        return;
    float ink = 1.0f;
    if (stage == 3)
        ink = 1.0f - m_introTimer.GetFraction();
    else if (stage == 1)
        ink = m_introTimer.GetFraction();
    glPushMatrix();
    glTranslatef(static_cast<float>(w / 2), static_cast<float>(h / 2), 0.0f);
    glColor4f(0.0f, 0.0f, 0.0f, ink);
    logo->DrawCentered();
    glPopMatrix();
}
