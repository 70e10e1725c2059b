#include "ui/Screen.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "engine/GameEngine.h"
#include "media/SoundManager.h"
#include "ui/HelpScreen.h"
#include "world/GameWorld.h"

namespace
{
const int WHEEL_UP = 4;
const int WHEEL_DOWN = 5;
const int TITLE_TOP = 40;
const int STATUS_TOP = 85;
} // namespace

namespace
{
// The whole window, from the state every frame starts from.
void ClearWindow()
{
    glClearColor(0.0f, 0.12f, 0.06f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
}
} // namespace

void CScreen::Draw()
{
    const int w = TheWorld().GetWindowWidth();
    ClearWindow();
    glColor4f(0.6f, 1.0f, 0.7f, 1.0f);
    UiDraw::Text((w - UiDraw::TextWidth(m_title)) / 2, TITLE_TOP, m_title);
    if (!m_status.empty())
    {
        if (m_statusProblem)
            glColor4f(1.0f, 0.55f, 0.35f, 1.0f);
        else
            glColor4f(0.9f, 0.9f, 0.6f, 1.0f);
        UiDraw::Text((w - UiDraw::TextWidth(m_status, true)) / 2, STATUS_TOP, m_status, true);
    }
    for (size_t i = 0; i < m_widgets.size(); ++i)
        m_widgets[i]->Draw(static_cast<int>(i) == m_chosen);
    DrawMore();
}

void CScreen::SetStatus(const std::string& pText, bool pProblem)
{
    m_status = pText;
    m_statusProblem = pProblem;
}

void CScreen::Back()
{
    if (m_stack)
        m_stack->Pop();
}

void CScreen::Choose(int pIndex)
{
    if (pIndex >= 0 && pIndex < static_cast<int>(m_widgets.size()) && m_widgets[pIndex]->m_enabled &&
        pIndex != m_chosen)
    {
        if (m_chosen >= 0)
            m_widgets[static_cast<size_t>(m_chosen)]->OnLeave();
        m_chosen = pIndex;
        PlaySound("MenuClick");
    }
}

void CScreen::MoveChoice(int pBy)
{
    const int count = static_cast<int>(m_widgets.size());
    int at = m_chosen < 0 ? (pBy > 0 ? -1 : count) : m_chosen;
    for (int tries = 0; tries < count; ++tries)
    {
        at = ((at + pBy) % count + count) % count;
        if (m_widgets[static_cast<size_t>(at)]->m_enabled)
        {
            Choose(at);
            return;
        }
    }
}

int CScreen::WidgetAt(int pX, int pY) const
{
    for (size_t i = 0; i < m_widgets.size(); ++i)
    {
        if (m_widgets[i]->m_enabled && m_widgets[i]->m_rect.Contains(pX, pY))
            return static_cast<int>(i);
    }
    return -1;
}

void CScreen::OnKeyDown(int pSym, int pMod, int pText)
{
    if (OnScreenKey(pSym, pMod))
        return;
    CWidget* chosen = m_chosen >= 0 ? m_widgets[static_cast<size_t>(m_chosen)].get() : nullptr;
    if (pSym == SDLK_ESCAPE)
    {
        Back();
        return;
    }
    if (pSym == SDLK_TAB)
    {
        MoveChoice((pMod & KMOD_SHIFT) ? -1 : 1);
        return;
    }
    if (chosen && (chosen->KeepsUpDown() || (pSym != SDLK_UP && pSym != SDLK_DOWN)) &&
        chosen->OnKey(pSym, pMod, pText))
        return;
    if (pSym == SDLK_UP || pSym == SDLK_DOWN)
        MoveChoice(pSym == SDLK_UP ? -1 : 1);
    else if (!chosen && (pSym == SDLK_RETURN || pSym == SDLK_KP_ENTER))
        MoveChoice(1);
}

bool CScreen::OnEvent(const SDL_Event& pEvent)
{
    switch (pEvent.type)
    {
    case SDL_KEYDOWN:
    {
        const Uint16 unicode = pEvent.key.keysym.unicode;
        OnKeyDown(pEvent.key.keysym.sym, pEvent.key.keysym.mod, unicode < 0x80 ? unicode : 0);
        return true;
    }
    case SDL_KEYUP:
        return true;
    case SDL_MOUSEMOTION:
    {
        const int at = WidgetAt(pEvent.motion.x, pEvent.motion.y);
        if (at >= 0)
            Choose(at);
        return true;
    }
    case SDL_MOUSEBUTTONDOWN:
    {
        const int at = WidgetAt(pEvent.button.x, pEvent.button.y);
        if (at < 0)
            return true;
        Choose(at);
        CWidget* widget = m_widgets[static_cast<size_t>(at)].get();
        if (pEvent.button.button == SDL_BUTTON_LEFT)
            widget->OnPress(pEvent.button.x, pEvent.button.y);
        else if (pEvent.button.button == SDL_BUTTON_MIDDLE)
            widget->OnMiddlePress(pEvent.button.x, pEvent.button.y);
        else if (pEvent.button.button == WHEEL_UP || pEvent.button.button == WHEEL_DOWN)
            widget->OnWheel(pEvent.button.button == WHEEL_UP ? -1 : 1);
        return true;
    }
    case SDL_MOUSEBUTTONUP:
        return true;
    default:
        return false;
    }
}

// --- the stack ---

void CScreenStack::Push(std::unique_ptr<CScreen> pScreen)
{
    // Typed characters reach the text fields.
    SDL_EnableUNICODE(1);
    pScreen->m_stack = this;
    if (pScreen->GetChosen() < 0)
        pScreen->MoveChoice(1);
    m_screens.push_back(std::move(pScreen));
}

void CScreenStack::Pop()
{
    if (m_screens.empty())
        return;
    m_gone.push_back(std::move(m_screens.back()));
    m_screens.pop_back();
    if (!m_screens.empty())
        m_screens.back()->OnShown();
}

void CScreenStack::Clear()
{
    while (!m_screens.empty())
    {
        m_gone.push_back(std::move(m_screens.back()));
        m_screens.pop_back();
    }
}

bool CScreenStack::OnEvent(const SDL_Event& pEvent)
{
    CScreen* top = Top();
    if (!top)
        return false;
    // F1 opens the help over a screen as over the menu, and F1 or Escape closes it; the screen
    // under it takes no keys or clicks meanwhile.
    CGameWorld& world = TheWorld();
    const bool key = pEvent.type == SDL_KEYDOWN;
    const int sym = key ? pEvent.key.keysym.sym : 0;
    if (key && (sym == SDLK_F1 || (world.m_helpOpen && sym == SDLK_ESCAPE)))
    {
        world.OnKey(sym, pEvent.key.keysym.mod, true);
        return true;
    }
    if (world.m_helpOpen && pEvent.type == SDL_MOUSEBUTTONDOWN)
    {
        world.m_helpOpen = false;
        return true;
    }
    if (world.m_helpOpen)
        return key || pEvent.type == SDL_KEYUP || pEvent.type == SDL_MOUSEMOTION ||
               pEvent.type == SDL_MOUSEBUTTONDOWN || pEvent.type == SDL_MOUSEBUTTONUP;
    return top->OnEvent(pEvent);
}

bool CScreenStack::OnFrame()
{
    m_gone.clear();
    bool changed = false;
    // Screens below the top keep running (a network session waits under a question).
    for (size_t i = 0; i < m_screens.size(); ++i)
        changed = m_screens[i]->OnFrame() || changed;
    return changed;
}

void CScreenStack::Draw()
{
    CScreen* top = Top();
    CGameWorld& world = TheWorld();
    if (!top)
        return;
    // The help alone: the screen's title would show through above it.
    if (!world.m_helpOpen)
        top->Draw();
    else
    {
        ClearWindow();
        CHelpScreen().Draw(world.GetWindowWidth(), world.GetWindowHeight(), false);
    }
}
