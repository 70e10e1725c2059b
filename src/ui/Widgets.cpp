#include "ui/Widgets.h"

#include <GL/gl.h>
#include <SDL/SDL_keysym.h>

#include <algorithm>

#include "engine/Clipboard.h"
#include "engine/GameEngine.h"
#include "media/FontManager.h"
#include "media/TextureFont.h"
#include "world/GameWorld.h"
#include "world/ScreenDraw.h"

namespace
{
float Flip(int pY)
{
    return static_cast<float>(TheWorld().GetWindowHeight() - pY);
}

bool IsEnter(int pSym)
{
    return pSym == SDLK_RETURN || pSym == SDLK_KP_ENTER;
}

// Where a label's value starts, from the rectangle's left.
const int VALUE_LEFT = 300;
} // namespace

namespace UiDraw
{
void Fill(const CRect& pRect, float pR, float pG, float pB, float pA)
{
    glBindTexture(GL_TEXTURE_2D, 0);
    glColor4f(pR, pG, pB, pA);
    glBegin(GL_QUADS);
    ScreenDraw::Quad(static_cast<float>(pRect.x), static_cast<float>(pRect.x + pRect.w),
                     Flip(pRect.y + pRect.h), Flip(pRect.y));
    glEnd();
}

void Frame(const CRect& pRect, float pR, float pG, float pB)
{
    Fill({pRect.x, pRect.y, pRect.w, 1}, pR, pG, pB, 1.0f);
    Fill({pRect.x, pRect.y + pRect.h - 1, pRect.w, 1}, pR, pG, pB, 1.0f);
    Fill({pRect.x, pRect.y, 1, pRect.h}, pR, pG, pB, 1.0f);
    Fill({pRect.x + pRect.w - 1, pRect.y, 1, pRect.h}, pR, pG, pB, 1.0f);
}

CTextureFont* Font(bool pSmall)
{
    static CTextureFont* main = CFontManager::GetInstance()->GetFont("MainFont");
    static CTextureFont* small = CFontManager::GetInstance()->GetFont("HelpFont");
    return pSmall ? small : main;
}

void Text(int pX, int pTop, const std::string& pText, bool pSmall)
{
    CTextureFont* font = Font(pSmall);
    if (font == nullptr || pText.empty())
        return;
    // The baseline sits about four fifths of the size below the top.
    const int baseline = pTop + (pSmall ? 12 : 19);
    font->DrawTextAt(static_cast<float>(pX), Flip(baseline), pText.c_str());
}

int TextWidth(const std::string& pText, bool pSmall)
{
    CTextureFont* font = Font(pSmall);
    return font ? static_cast<int>(font->GetTextWidth(pText.c_str())) : 0;
}

void EntryColour(bool pChosen, bool pEnabled)
{
    if (pChosen)
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    else if (pEnabled)
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    else
        glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
}
} // namespace UiDraw

// --- button ---

void CButton::Draw(bool pChosen) const
{
    UiDraw::EntryColour(pChosen, m_enabled);
    UiDraw::Text(m_rect.x, m_rect.y + 2, m_label);
}

bool CButton::OnKey(int pSym, int /*pMod*/, int /*pText*/)
{
    if (!IsEnter(pSym) && pSym != SDLK_SPACE)
        return false;
    if (m_enabled && m_onChoose)
        m_onChoose();
    return true;
}

void CButton::OnPress(int /*pX*/, int /*pY*/)
{
    if (m_enabled && m_onChoose)
        m_onChoose();
}

// --- choice ---

void CChoice::Draw(bool pChosen) const
{
    UiDraw::EntryColour(pChosen, m_enabled);
    UiDraw::Text(m_rect.x, m_rect.y + 2, m_label);
    if (m_index >= 0 && m_index < static_cast<int>(m_options.size()))
        UiDraw::Text(m_rect.x + VALUE_LEFT, m_rect.y + 2,
                     "< " + m_options[static_cast<size_t>(m_index)] + " >");
}

void CChoice::Step(int pBy, bool pWrap)
{
    const int count = static_cast<int>(m_options.size());
    if (count == 0 || !m_enabled)
        return;
    int next = m_index + pBy;
    next = pWrap ? (next % count + count) % count : std::clamp(next, 0, count - 1);
    if (next == m_index)
        return;
    m_index = next;
    if (m_onChange)
        m_onChange(m_index);
}

bool CChoice::OnKey(int pSym, int /*pMod*/, int /*pText*/)
{
    if (pSym == SDLK_LEFT || pSym == SDLK_RIGHT)
        Step(pSym == SDLK_LEFT ? -1 : 1, false);
    else if (IsEnter(pSym) || pSym == SDLK_SPACE)
        Step(1, true);
    else
        return false;
    return true;
}

void CChoice::OnPress(int /*pX*/, int /*pY*/)
{
    Step(1, true);
}

// --- slider ---

void CSlider::Draw(bool pChosen) const
{
    UiDraw::EntryColour(pChosen, m_enabled);
    UiDraw::Text(m_rect.x, m_rect.y + 2, m_label);
    const CRect bar{m_rect.x + BAR_LEFT, m_rect.y + 8, BAR_WIDTH, 10};
    UiDraw::Fill(bar, 0.3f, 0.3f, 0.3f, 1.0f);
    UiDraw::Fill({bar.x, bar.y, bar.w * m_value / 100, bar.h}, pChosen ? 1.0f : 0.8f, pChosen ? 0.2f : 0.8f,
                 pChosen ? 0.2f : 0.8f, 1.0f);
    UiDraw::EntryColour(pChosen, m_enabled);
    UiDraw::Text(bar.x + bar.w + 15, m_rect.y + 2, std::to_string(m_value) + "%");
}

void CSlider::Set(int pValue)
{
    pValue = std::clamp(pValue, 0, 100);
    if (pValue == m_value)
        return;
    m_value = pValue;
    if (m_onChange)
        m_onChange(m_value);
}

bool CSlider::OnKey(int pSym, int /*pMod*/, int /*pText*/)
{
    switch (pSym)
    {
    case SDLK_LEFT:
        Set(m_value - STEP);
        return true;
    case SDLK_RIGHT:
        Set(m_value + STEP);
        return true;
    case SDLK_HOME:
        Set(0);
        return true;
    case SDLK_END:
        Set(100);
        return true;
    default:
        return false;
    }
}

void CSlider::OnPress(int pX, int /*pY*/)
{
    const int along = pX - m_rect.x - BAR_LEFT;
    if (along < -STEP || along > BAR_WIDTH + STEP)
        return;
    // To the nearest step.
    Set((along * 100 / BAR_WIDTH + STEP / 2) / STEP * STEP);
}

// --- text field ---

void CTextField::SetText(const std::string& pText)
{
    m_text.clear();
    for (char c : pText)
    {
        if (c >= ' ' && c <= '~' && m_text.size() < m_limit)
            m_text += c;
    }
    m_cursor = m_text.size();
    m_first = 0;
}

void CTextField::Insert(const std::string& pText)
{
    const size_t before = m_text.size();
    for (char c : pText)
    {
        if (c >= ' ' && c <= '~' && m_text.size() < m_limit && (!m_accepts || m_accepts(c)))
            m_text.insert(m_cursor++, 1, c);
    }
    if (m_text.size() != before && m_onChange)
        m_onChange();
}

void CTextField::Scroll() const
{
    const int room = Room();
    m_first = std::min(m_first, m_cursor);
    while (m_first < m_cursor && UiDraw::TextWidth(m_text.substr(m_first, m_cursor - m_first)) > room)
        ++m_first;
    // Room left at the end takes back characters from the start.
    while (m_first > 0 && UiDraw::TextWidth(m_text.substr(m_first - 1)) <= room)
        --m_first;
}

void CTextField::Draw(bool pChosen) const
{
    UiDraw::EntryColour(pChosen, m_enabled);
    UiDraw::Text(m_rect.x, m_rect.y + 2, m_label);
    const CRect box{m_rect.x + BOX_LEFT, m_rect.y, m_rect.w - BOX_LEFT, m_rect.h};
    UiDraw::Fill(box, 0.0f, 0.0f, 0.0f, 0.5f);
    UiDraw::Frame(box, pChosen ? 1.0f : 0.6f, pChosen ? 0.2f : 0.6f, pChosen ? 0.2f : 0.6f);
    Scroll();
    // Whole characters only, as many as the box holds from the first in sight.
    size_t shown = m_text.size() - m_first;
    while (shown > 0 && UiDraw::TextWidth(m_text.substr(m_first, shown)) > Room())
        --shown;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    UiDraw::Text(box.x + TEXT_MARGIN, m_rect.y + 2, m_text.substr(m_first, shown));
    if (pChosen)
    {
        const int at = box.x + TEXT_MARGIN + UiDraw::TextWidth(m_text.substr(m_first, m_cursor - m_first));
        UiDraw::Fill({at, box.y + 3, 2, box.h - 6}, 1.0f, 1.0f, 1.0f, 1.0f);
    }
}

bool CTextField::OnKey(int pSym, int pMod, int pText)
{
    const size_t before = m_text.size();
    switch (pSym)
    {
    case SDLK_LEFT:
        m_cursor = m_cursor > 0 ? m_cursor - 1 : 0;
        return true;
    case SDLK_RIGHT:
        m_cursor = std::min(m_cursor + 1, m_text.size());
        return true;
    case SDLK_HOME:
        m_cursor = 0;
        return true;
    case SDLK_END:
        m_cursor = m_text.size();
        return true;
    case SDLK_BACKSPACE:
        if (m_cursor > 0)
            m_text.erase(--m_cursor, 1);
        break;
    case SDLK_DELETE:
        if (m_cursor < m_text.size())
            m_text.erase(m_cursor, 1);
        break;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        if (m_onEnter)
            m_onEnter();
        return true;
    default:
        if ((pSym == SDLK_v && (pMod & KMOD_CTRL)) || (pSym == SDLK_INSERT && (pMod & KMOD_SHIFT)))
        {
            // The clipboard, else what is selected, as other programs on X do.
            std::string text = Clipboard::Read(Clipboard::CLIPBOARD);
            Insert(text.empty() ? Clipboard::Read(Clipboard::PRIMARY) : text);
            return true;
        }
        // Printable ASCII only; anything else typed is used up and does nothing.
        if (pText < ' ' || pText > '~')
            return pText != 0;
        if (m_text.size() >= m_limit || (m_accepts && !m_accepts(static_cast<char>(pText))))
            return true;
        m_text.insert(m_cursor++, 1, static_cast<char>(pText));
        break;
    }
    if (m_text.size() != before && m_onChange)
        m_onChange();
    return true;
}

void CTextField::OnPress(int pX, int /*pY*/)
{
    // The cursor goes to the character boundary nearest the click, among those in sight.
    const int x = pX - m_rect.x - BOX_LEFT - TEXT_MARGIN;
    size_t best = m_first;
    for (size_t i = m_first; i <= m_text.size(); ++i)
    {
        if (UiDraw::TextWidth(m_text.substr(m_first, i - m_first)) <= x)
            best = i;
    }
    m_cursor = best;
}

void CTextField::OnMiddlePress(int pX, int pY)
{
    OnPress(pX, pY);
    Insert(Clipboard::Read(Clipboard::PRIMARY));
}

void CTextField::OnLeave()
{
    if (m_onLeave)
        m_onLeave();
}

// --- list ---

void CListView::SetRows(std::vector<Row> pRows)
{
    m_rows = std::move(pRows);
    m_top = 0;
    m_selected = m_rows.empty() ? -1 : 0;
}

int CListView::VisibleRows() const
{
    return std::max(1, m_rect.h / m_rowHeight);
}

void CListView::Select(int pIndex)
{
    if (m_rows.empty())
        return;
    m_selected = std::clamp(pIndex, 0, static_cast<int>(m_rows.size()) - 1);
    if (m_selected < m_top)
        m_top = m_selected;
    if (m_selected >= m_top + VisibleRows())
        m_top = m_selected - VisibleRows() + 1;
}

void CListView::Draw(bool pChosen) const
{
    UiDraw::Fill(m_rect, 0.0f, 0.0f, 0.0f, 0.35f);
    UiDraw::Frame(m_rect, pChosen ? 1.0f : 0.5f, pChosen ? 0.2f : 0.5f, pChosen ? 0.2f : 0.5f);
    const int end = std::min(static_cast<int>(m_rows.size()), m_top + VisibleRows());
    for (int i = m_top; i < end; ++i)
    {
        const int y = m_rect.y + (i - m_top) * m_rowHeight;
        if (i == m_selected)
            UiDraw::Fill({m_rect.x + 1, y, m_rect.w - 2, m_rowHeight}, 0.5f, 0.1f, 0.1f, 0.8f);
        const Row& row = m_rows[static_cast<size_t>(i)];
        if (row.dim)
            glColor4f(0.6f, 0.6f, 0.6f, 1.0f);
        else
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        UiDraw::Text(m_rect.x + 8, y + (m_rowHeight - 15) / 2, row.text, true);
    }
    // Where the rows in sight stand among all of them.
    const int count = static_cast<int>(m_rows.size());
    if (count > VisibleRows())
    {
        const int track = m_rect.h - 4;
        const int knob = std::max(12, track * VisibleRows() / count);
        const int at = (track - knob) * m_top / std::max(1, count - VisibleRows());
        UiDraw::Fill({m_rect.x + m_rect.w - 8, m_rect.y + 2 + at, 5, knob}, 0.8f, 0.8f, 0.8f, 0.8f);
    }
}

bool CListView::OnKey(int pSym, int /*pMod*/, int /*pText*/)
{
    switch (pSym)
    {
    case SDLK_UP:
        Select(m_selected - 1);
        return true;
    case SDLK_DOWN:
        Select(m_selected + 1);
        return true;
    case SDLK_PAGEUP:
        Select(m_selected - VisibleRows());
        return true;
    case SDLK_PAGEDOWN:
        Select(m_selected + VisibleRows());
        return true;
    case SDLK_HOME:
        Select(0);
        return true;
    case SDLK_END:
        Select(static_cast<int>(m_rows.size()) - 1);
        return true;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        if (m_selected >= 0 && m_onChoose)
            m_onChoose(m_selected);
        return true;
    default:
        return false;
    }
}

void CListView::OnPress(int /*pX*/, int pY)
{
    const int index = m_top + (pY - m_rect.y) / m_rowHeight;
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return;
    Select(index);
    if (m_onChoose)
        m_onChoose(m_selected);
}

void CListView::OnWheel(int pDirection)
{
    const int most = std::max(0, static_cast<int>(m_rows.size()) - VisibleRows());
    m_top = std::clamp(m_top + 3 * pDirection, 0, most);
    // The chosen row stays in sight.
    m_selected = std::clamp(m_selected, m_top, m_top + VisibleRows() - 1);
    if (m_rows.empty())
        m_selected = -1;
}
