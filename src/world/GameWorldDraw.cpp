#include <GL/gl.h>

#include "media/Sprite.h"
#include "media/TextureManager.h"
#include "world/GameWorld.h"

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
        break;
    default:
        break;
    }
}

void CGameWorld::DrawGameScreen()
{
    DrawBoard();
    DrawHud();
    glFlush();
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
