#include "engine/WindowView.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>

#include "engine/DisplayConfig.h"
#include "engine/WindowIcon.h"
#include "engine/WindowSize.h"
#include "media/FontManager.h"
#include "media/TextureManager.h"

CWindowView::CWindowView() : m_transform(1024, 768) {}

void CWindowView::ReadDisplaySize()
{
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info && info->current_w > 0 && info->current_h > 0)
    {
        m_displayWidth = info->current_w;
        m_displayHeight = info->current_h;
    }
}

SDL_Surface* CWindowView::Open(const DisplayConfig& pConfig)
{
    m_transform = CViewTransform(pConfig.width, pConfig.height);
    int w = 0;
    int h = 0;
    ChooseWindowSize(pConfig, m_displayWidth, m_displayHeight, w, h);
    return SetMode(w, h, pConfig);
}

SDL_Surface* CWindowView::Resize(int pWidth, int pHeight, const DisplayConfig& pConfig)
{
    SDL_Surface* screen = SDL_GetVideoSurface();
    // Full screen keeps the display's size; a window the same size needs nothing new.
    if (screen && ((screen->flags & SDL_FULLSCREEN) || (screen->w == pWidth && screen->h == pHeight)))
        return screen;
    return SetMode(std::max(pWidth, WINDOW_SIDE_MIN), std::max(pHeight, WINDOW_SIDE_MIN), pConfig);
}

SDL_Surface* CWindowView::SetMode(int pWidth, int pHeight, const DisplayConfig& pConfig)
{
    unsigned flags = VideoFlagsFor(pConfig.fullscreen);
    if (!pConfig.fullscreen)
        flags |= SDL_RESIZABLE;
    // With X11 the same window and GL context are kept through a change of size, and the
    // textures with them.
    SDL_Surface* screen = SDL_SetVideoMode(pWidth, pHeight, pConfig.depth, flags);
    if (!screen)
        return nullptr;
    SDL_FillRect(screen, nullptr, SDL_MapRGBA(screen->format, 0, 0, 0, 0));
    m_transform.SetWindow(screen->w, screen->h);
    Apply();
    return screen;
}

void CWindowView::Apply()
{
    const CViewTransform& t = m_transform;
    // GL counts rows from the bottom.
    const int bottom = t.GetWindowHeight() - t.GetContentTop() - t.GetContentHeight();
    glViewport(t.GetContentLeft(), bottom, t.GetContentWidth(), t.GetContentHeight());
    glScissor(t.GetContentLeft(), bottom, t.GetContentWidth(), t.GetContentHeight());
    if (t.IsIdentity())
        glDisable(GL_SCISSOR_TEST);
    else
        glEnable(GL_SCISSOR_TEST);
    // Drawing coordinates: the layout's, origin at its bottom-left corner, y upward.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, t.GetLayoutWidth(), 0, t.GetLayoutHeight(), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    CFontManager::GetInstance()->SetRasterScale(t.GetScale());
    CTextureManager::GetInstance()->SetSmoothMinify(t.GetScale() < 1.0f);
}

void CWindowView::ClearBars() const
{
    const CViewTransform& t = m_transform;
    if (t.IsIdentity())
        return;
    GLfloat colour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    const int w = t.GetWindowWidth();
    const int h = t.GetWindowHeight();
    const int right = t.GetContentLeft() + t.GetContentWidth();
    const int bottom = h - t.GetContentTop() - t.GetContentHeight();
    const int top = bottom + t.GetContentHeight();
    // Left, right, below and above the picture, in GL's rows from the bottom.
    const int bars[4][4] = {
        {0, 0, t.GetContentLeft(), h}, {right, 0, w - right, h}, {0, 0, w, bottom}, {0, top, w, h - top}};
    for (const auto& bar : bars)
    {
        if (bar[2] <= 0 || bar[3] <= 0)
            continue;
        glScissor(bar[0], bar[1], bar[2], bar[3]);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glScissor(t.GetContentLeft(), bottom, t.GetContentWidth(), t.GetContentHeight());
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
}

SDL_Event CWindowView::ToLayout(const SDL_Event& pEvent) const
{
    SDL_Event event = pEvent;
    if (m_transform.IsIdentity())
        return event;
    int x = 0;
    int y = 0;
    switch (event.type)
    {
    case SDL_MOUSEMOTION:
        m_transform.WindowToLayout(event.motion.x, event.motion.y, x, y);
        event.motion.x = static_cast<Uint16>(x);
        event.motion.y = static_cast<Uint16>(y);
        event.motion.xrel = static_cast<Sint16>(std::lround(event.motion.xrel / m_transform.GetScale()));
        event.motion.yrel = static_cast<Sint16>(std::lround(event.motion.yrel / m_transform.GetScale()));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        m_transform.WindowToLayout(event.button.x, event.button.y, x, y);
        event.button.x = static_cast<Uint16>(x);
        event.button.y = static_cast<Uint16>(y);
        break;
    default:
        break;
    }
    return event;
}
