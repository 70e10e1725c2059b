#include "ui/ChatBoardView.h"

#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "media/FontManager.h"
#include "media/TextFit.h"
#include "media/TextureFont.h"
#include "world/ChatBoard.h"
#include "world/GameWorld.h"

namespace
{
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

void DrawChatBoard(const CChatBoard& pBoard, const CGameWorld& pWorld)
{
    static CTextureFont* font = CFontManager::GetInstance()->GetFont("HelpFont");
    if (!font || (pBoard.Said().empty() && !pBoard.IsOpen() && pBoard.Refusal().empty()))
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
    if (pBoard.IsOpen())
        add(-1, 1.0f, "Say: " + pBoard.Typed() + "_");
    else if (!pBoard.Refusal().empty() && now - pBoard.RefusedAt() < 3000)
        add(0, 1.0f, pBoard.Refusal());
    const size_t most = pBoard.IsOpen() ? CChatBoard::HISTORY : SHOWN;
    size_t shown = 0;
    for (auto it = pBoard.Said().rbegin(); it != pBoard.Said().rend() && shown < most; ++it, ++shown)
    {
        const uint32_t age = now - it->at;
        if (!pBoard.IsOpen() && age >= CChatBoard::SHOW_MS)
            break;
        // The last second of a line fades.
        add(it->from,
            pBoard.IsOpen() || age + 1000 < CChatBoard::SHOW_MS
                ? 1.0f
                : static_cast<float>(CChatBoard::SHOW_MS - age) / 1000.0f,
            it->text);
    }
    const float bottom = 84.0f;
    glLoadIdentity();
    if (pBoard.IsOpen())
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
