#include "media/TextureFont.h"

#include <GL/gl.h>

#include <vector>

#include "engine/Assert.h"
#include "engine/Platform.h"
#include "media/RectPacker.h"
#include "media/TextureLimit.h"

CTextureFont::CTextureFont(const char* pFontPath, float pSize, FT_Library* pLibrary)
{
    m_glyphs.reserve(100);
    if (FT_New_Face(*pLibrary, NativePath(pFontPath).c_str(), 0, &m_face) != 0)
    {
        m_face = nullptr;
        return;
    }
    // Points at 72 dots per inch: size pixels per em.
    if (FT_Set_Char_Size(m_face, 0, static_cast<FT_F26Dot6>(pSize * 64), 72, 0) != 0)
        return;

    std::vector<PackRect*> rects; // character map order
    CRectPacker packer;
    FT_UInt glyphIndex = 0;
    FT_ULong charCode = FT_Get_First_Char(m_face, &glyphIndex);
    while (glyphIndex != 0)
    {
        if (FT_Load_Glyph(m_face, glyphIndex, FT_LOAD_DEFAULT) == 0 &&
            FT_Render_Glyph(m_face->glyph, FT_RENDER_MODE_NORMAL) == 0)
        {
            PackRect* rect = new PackRect;
            rect->w = static_cast<int>(m_face->glyph->bitmap.width);
            rect->h = static_cast<int>(m_face->glyph->bitmap.rows);
            rect->charCode = static_cast<int>(charCode);
            rect->glyphIndex = glyphIndex;
            rects.push_back(rect);
            packer.AddRect(rect);
        }
        charCode = FT_Get_Next_Char(m_face, charCode, &glyphIndex);
    }

    int maxSide = GetMaxTextureSide();
    packer.AddFreeSlot(FreeSlot{false, 1, 1, maxSide - 2, maxSide - 2});
    packer.Pack(1, 0);
    unsigned side = static_cast<unsigned>(packer.GetSize());
    if (side == 0)
    {
        // Nothing could be rendered: the font stays invalid.
        for (PackRect* rect : rects)
            delete rect;
        return;
    }

    size_t total = static_cast<size_t>(side) * side;
    std::vector<unsigned char> buffer(total, 0);
    for (PackRect* rect : rects)
    {
        int x = rect->x;
        int y = rect->y;
        int code = rect->charCode;
        bool placed = rect->placed;
        delete rect;
        // A glyph without a place would overwrite the page origin; it is left out instead.
        if (!placed)
            continue;
        if (FT_Load_Char(m_face, static_cast<FT_ULong>(code), FT_LOAD_DEFAULT) != 0 ||
            FT_Render_Glyph(m_face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        const FT_GlyphSlot slot = m_face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        int width = static_cast<int>(bitmap.width);
        int rows = static_cast<int>(bitmap.rows);
        // Rows go in bottom-up, so v grows from the glyph's lowest row to its top.
        for (int j = 0; j < rows; ++j)
        {
            const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(rows - 1 - j) * bitmap.pitch;
            for (int c = 0; c < width; ++c)
            {
                size_t dest = static_cast<size_t>(x) + static_cast<size_t>(y + j) * side + c;
                if (dest < total)
                    buffer[dest] = src[c];
            }
        }
        Glyph glyph;
        glyph.u = static_cast<float>(x) / static_cast<float>(side);
        glyph.v = static_cast<float>(y) / static_cast<float>(side);
        glyph.width = static_cast<float>(width);
        glyph.height = static_cast<float>(rows);
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.advanceX = static_cast<int>(slot->advance.x >> 6);
        glyph.advanceY = static_cast<int>(slot->advance.y >> 6);
        m_glyphs[code] = glyph;
    }

    m_pageSide = side;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    m_texId = texture;
    glBindTexture(GL_TEXTURE_2D, m_texId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // One byte per texel: rows of any width are packed tightly.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, static_cast<GLsizei>(side), static_cast<GLsizei>(side), 0,
                 GL_ALPHA, GL_UNSIGNED_BYTE, buffer.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

CTextureFont::~CTextureFont()
{
    if (m_texId != 0)
    {
        GLuint texture = m_texId;
        glDeleteTextures(1, &texture);
    }
    if (m_face)
        FT_Done_Face(m_face);
    m_glyphs.clear();
}

bool CTextureFont::IsValid() const
{
    return m_pageSide != 0 && m_texId != 0 && m_face != nullptr;
}

int CTextureFont::GetLineHeight() const
{
    if (!m_face || !m_face->size)
        return 0;
    return static_cast<int>(m_face->size->metrics.height >> 6);
}

const CTextureFont::Glyph* CTextureFont::FindGlyph(char pChar) const
{
    // Widened as a signed char: bytes of 128 and above never find a glyph.
    int key = static_cast<int>(static_cast<signed char>(pChar));
    auto it = m_glyphs.find(key);
    return it == m_glyphs.end() ? nullptr : &it->second;
}

void CTextureFont::DrawText(const char* pText) const
{
    AW_ASSERT(m_texId);
    int px = 0;
    int py = 0;
    float side = static_cast<float>(m_pageSide);
    glBindTexture(GL_TEXTURE_2D, m_texId);
    glBegin(GL_QUADS);
    for (const char* p = pText; *p; ++p)
    {
        if (*p == '\n')
        {
            px = 0;
            py -= GetLineHeight();
        }
        const Glyph* g = FindGlyph(*p);
        if (!g)
            continue;
        float left = static_cast<float>(px + g->left);
        float top = static_cast<float>(py + g->top);
        float uRight = g->u + g->width / side;
        float vTop = g->v + g->height / side;
        glTexCoord2f(g->u, g->v);
        glVertex2f(left, top - g->height);
        glTexCoord2f(g->u, vTop);
        glVertex2f(left, top);
        glTexCoord2f(uRight, vTop);
        glVertex2f(left + g->width, top);
        glTexCoord2f(uRight, g->v);
        glVertex2f(left + g->width, top - g->height);
        px += g->advanceX;
        py += g->advanceY;
    }
    glEnd();
}

float CTextureFont::GetTextWidth(const char* pText) const
{
    int line = 0;
    int widest = 0;
    for (const char* p = pText; *p; ++p)
    {
        if (*p == '\n')
        {
            if (line > widest)
                widest = line;
            line = 0;
        }
        // A newline with a glyph of its own adds its advance to the following line.
        if (const Glyph* g = FindGlyph(*p))
            line += g->advanceX;
    }
    if (line > widest)
        widest = line;
    return static_cast<float>(widest);
}
