#include "ui/ChatBoard.h"

#include <vector>

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "media/FontManager.h"
#include "media/TextFit.h"
#include "media/TextureFont.h"
#include "net/NetChat.h"
#include "world/GameWorld.h"

namespace
{
// Kept for the history; more than it shows.
const size_t KEPT = 32;
// Lines shown at once while the line is closed.
const size_t SHOWN = 4;

void Colour(int pFrom, float pAlpha)
{
    if (pFrom == 1)
        glColor4f(0.55f, 1.0f, 0.55f, pAlpha);
    else if (pFrom == 2)
        glColor4f(0.6f, 0.8f, 1.0f, pAlpha);
    else if (pFrom == 0)
        glColor4f(1.0f, 0.6f, 0.5f, pAlpha); // a refusal of our own line
    else if (pFrom < 0)
        glColor4f(1.0f, 1.0f, 1.0f, pAlpha); // the line being typed
    else
        glColor4f(0.95f, 0.9f, 0.6f, pAlpha);
}

void Text(CTextureFont* pFont, float pX, float pY, const std::string& pText)
{
    glPushMatrix();
    glTranslatef(pX, pY, 0.0f);
    pFont->DrawText(pText.c_str());
    glPopMatrix();
}
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
        if (c >= 0x20 && c <= 0x7E && m_typed.size() < Net::MAX_CHAT_BYTES)
            m_typed += static_cast<char>(c);
    }
    return true;
}

void CChatBoard::Draw(const CGameWorld& pWorld)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (!font || (m_lines.empty() && !m_open && m_refusal.empty()))
        return;
    const uint32_t now = SDL_GetTicks();
    const float x = 40.0f;
    const float width = static_cast<float>(pWorld.GetWindowWidth()) - 2.0f * x - 40.0f;
    const float lineHeight = static_cast<float>(font->GetLineHeight()) + 2.0f;
    // What is drawn, from the bottom up: the line being typed (or a refusal), then the lines
    // said, newest first; a long one breaks within the board, its last part lowest.
    struct CRow
    {
        int from;
        float alpha;
        std::string text;
    };
    std::vector<CRow> rows;
    auto add = [&rows, width](int pFrom, float pAlpha, const std::string& pText)
    {
        const std::vector<std::string> parts = FitText(
            pText, width, 3, [](const std::string& pPart) { return font->GetTextWidth(pPart.c_str()); });
        for (auto part = parts.rbegin(); part != parts.rend(); ++part)
            rows.push_back({pFrom, pAlpha, *part});
    };
    if (m_open)
        add(-1, 1.0f, "Say: " + m_typed + "_");
    else if (!m_refusal.empty() && now - m_refusedAt < 3000)
        add(0, 1.0f, m_refusal);
    const size_t most = m_open ? HISTORY : SHOWN;
    size_t shown = 0;
    for (auto it = m_lines.rbegin(); it != m_lines.rend() && shown < most; ++it, ++shown)
    {
        const uint32_t age = now - it->at;
        if (!m_open && age >= SHOW_MS)
            break;
        // The last second of a line fades.
        add(it->from, m_open || age + 1000 < SHOW_MS ? 1.0f : static_cast<float>(SHOW_MS - age) / 1000.0f,
            it->text);
    }
    const float bottom = 84.0f;
    glLoadIdentity();
    if (m_open)
    {
        // A plate under the open line and its history.
        const float right = static_cast<float>(pWorld.GetWindowWidth()) - 34.0f;
        const float top = bottom + lineHeight * static_cast<float>(rows.size());
        glBindTexture(GL_TEXTURE_2D, 0);
        glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
        glBegin(GL_QUADS);
        glVertex2f(x - 6.0f, bottom - 4.0f);
        glVertex2f(right, bottom - 4.0f);
        glVertex2f(right, top);
        glVertex2f(x - 6.0f, top);
        glEnd();
    }
    for (size_t i = 0; i < rows.size(); ++i)
    {
        Colour(rows[i].from, rows[i].alpha);
        Text(font, x, bottom + lineHeight * static_cast<float>(i), rows[i].text);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
