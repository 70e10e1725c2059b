#include "world/ChatBoard.h"

#include <SDL/SDL.h>

#include "world/ChatText.h"

namespace
{
// Kept for the history; more than it shows.
const size_t KEPT = 32;
} // namespace

CChatBoard& CChatBoard::Instance()
{
    static CChatBoard board;
    return board;
}

void CChatBoard::Add(int pFrom, const std::string& pWho, const std::string& pText)
{
    const std::string text = CleanChatText(pText);
    if (text.empty())
        return;
    m_lines.push_back({pFrom, pWho + ": " + text, SDL_GetTicks()});
    m_texts.push_back(m_lines.back().text);
    while (m_lines.size() > KEPT)
    {
        m_lines.pop_front();
        m_texts.pop_front();
    }
}

void CChatBoard::Clear()
{
    m_lines.clear();
    m_texts.clear();
    m_open = false;
    m_typed.clear();
    m_refusal.clear();
}

bool CChatBoard::OnEvent(const SDL_Event& pEvent)
{
    if (!m_open)
    {
        if (pEvent.type != SDL_KEYDOWN || !m_send)
            return false;
        const SDLKey sym = pEvent.key.keysym.sym;
        if (sym != SDLK_RETURN && sym != SDLK_KP_ENTER)
            return false;
        SDL_EnableUNICODE(1);
        m_open = true;
        m_typed.clear();
        return true;
    }
    if (pEvent.type == SDL_KEYUP)
        return true;
    if (pEvent.type != SDL_KEYDOWN)
        return false;
    const SDLKey sym = pEvent.key.keysym.sym;
    if (sym == SDLK_ESCAPE)
        m_open = false;
    else if (sym == SDLK_RETURN || sym == SDLK_KP_ENTER)
    {
        m_open = false;
        if (m_send && !CleanChatText(m_typed).empty())
        {
            m_refusal = m_send(m_typed);
            m_refusedAt = SDL_GetTicks();
        }
        m_typed.clear();
    }
    else if (sym == SDLK_BACKSPACE)
    {
        if (!m_typed.empty())
            m_typed.pop_back();
    }
    else
    {
        const Uint16 c = pEvent.key.keysym.unicode;
        if (c >= 0x20 && c <= 0x7E && m_typed.size() < Chat::MAX_BYTES)
            m_typed += static_cast<char>(c);
    }
    return true;
}
