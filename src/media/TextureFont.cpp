#include "media/TextureFont.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/Assert.h"
#include "engine/DataFile.h"
#include "media/GlyphCoverage.h"
#include "media/MediaBudget.h"
#include "media/RectPacker.h"
#include "media/TextureLimit.h"

CTextureFont::CTextureFont(const char* pFontPath, float pSize, FT_Library* pLibrary)
    : CTextureFont(pFontPath, pSize, pLibrary, 1.0f)
{
}

CTextureFont::CTextureFont(const char* pFontPath, float pSize, FT_Library* pLibrary, float pRasterScale)
    : m_rasterScale(pRasterScale)
{
    std::string why;
    if (!ReadDataFile(pFontPath, MEDIA_FILE_LIMIT, m_fontBytes, why))
        return;
    Rasterise(pSize, pLibrary, std::min(GetMaxTextureSide(), GLYPH_PAGE_SIDE_LIMIT));
    if (m_pageSide == 0 && m_rasterScale != 1.0f)
    {
        m_rasterScale = 1.0f;
        Rasterise(pSize, pLibrary, std::min(GetMaxTextureSide(), GLYPH_PAGE_SIDE_LIMIT));
    }
    Upload();
}

void CTextureFont::SetRasterScale(float pScale)
{
    // A bitmap font keeps its fixed size whatever is asked.
    if (pScale == m_rasterScale || !m_library || m_fontBytes.empty() || (m_face && !FT_IS_SCALABLE(m_face)))
        return;
    m_rasterScale = pScale;
    Rasterise(m_size, m_library, m_maxSide);
    if (m_pageSide == 0 && pScale != 1.0f)
    {
        m_rasterScale = 1.0f;
        Rasterise(m_size, m_library, m_maxSide);
    }
    Upload();
}

CTextureFont::CTextureFont(std::vector<unsigned char> pFontBytes, float pSize, FT_Library* pLibrary,
                           int pMaxSide)
    : m_fontBytes(std::move(pFontBytes))
{
    Rasterise(pSize, pLibrary, pMaxSide);
}

bool CTextureFont::SetSize(float pSize)
{
    // Points at 72 dots per inch: size pixels per em.
    if (FT_Set_Char_Size(m_face, 0, static_cast<FT_F26Dot6>(pSize * 64), 72, 0) == 0)
        return true;
    // A bitmap font comes in fixed sizes only: it draws at the one nearest the size asked.
    if (m_face->num_fixed_sizes <= 0 || !m_face->available_sizes)
        return false;
    int nearest = 0;
    for (int i = 1; i < m_face->num_fixed_sizes; ++i)
        if (std::fabs(m_face->available_sizes[i].y_ppem / 64.0 - pSize) <
            std::fabs(m_face->available_sizes[nearest].y_ppem / 64.0 - pSize))
            nearest = i;
    return FT_Select_Size(m_face, nearest) == 0;
}

void CTextureFont::Release()
{
    if (m_texId != 0)
    {
        GLuint texture = m_texId;
        glDeleteTextures(1, &texture);
        m_texId = 0;
    }
    if (m_face)
        FT_Done_Face(m_face);
    m_face = nullptr;
    m_glyphs.clear();
    m_page.clear();
    m_pageSide = 0;
}

void CTextureFont::Rasterise(float pSize, FT_Library* pLibrary, int pMaxSide)
{
    Release();
    m_size = pSize;
    m_library = pLibrary;
    m_maxSide = pMaxSide;
    m_glyphs.reserve(100);
    if (!IsSaneSize(pSize) || pMaxSide < 3 || m_fontBytes.empty())
        return;
    if (FT_New_Memory_Face(*pLibrary, m_fontBytes.data(), static_cast<FT_Long>(m_fontBytes.size()), 0,
                           &m_face) != 0)
    {
        m_face = nullptr;
        return;
    }
    if (!SetSize(pSize))
        return;

    // The layout's measures come from the size itself, whatever the glyphs are drawn from.
    m_lineHeight = static_cast<int>(m_face->size->metrics.height >> 6);
    // A bitmap font comes in its fixed sizes only: it is not rasterised again.
    float scale = FT_IS_SCALABLE(m_face) ? m_rasterScale : 1.0f;
    FT_Vector advances[DRAWN_CHARACTERS] = {};
    for (FT_ULong charCode = 0; scale != 1.0f && charCode < DRAWN_CHARACTERS; ++charCode)
    {
        const FT_UInt glyphIndex = FT_Get_Char_Index(m_face, charCode);
        if (glyphIndex != 0 && FT_Load_Glyph(m_face, glyphIndex, FT_LOAD_DEFAULT) == 0)
            advances[charCode] = m_face->glyph->advance;
    }
    if (scale != 1.0f && (!IsSaneSize(pSize * scale) || !SetSize(pSize * scale)))
    {
        scale = 1.0f;
        if (!SetSize(pSize))
            return;
    }
    m_rasterScale = scale;

    std::vector<PackRect*> rects; // character order
    CRectPacker packer;
    // Text is looked up by byte as a signed char, so only the characters below 128 can ever
    // be drawn; a font's thousands of others would only make the page many times larger.
    for (FT_ULong charCode = 0; charCode < DRAWN_CHARACTERS; ++charCode)
    {
        const FT_UInt glyphIndex = FT_Get_Char_Index(m_face, charCode);
        if (glyphIndex != 0 && FT_Load_Glyph(m_face, glyphIndex, FT_LOAD_DEFAULT) == 0 &&
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
    }

    packer.AddFreeSlot(FreeSlot{false, 1, 1, pMaxSide - 2, pMaxSide - 2});
    packer.Pack(1, 0);
    unsigned side = static_cast<unsigned>(packer.GetSize());
    if (side == 0)
    {
        // Nothing could be rendered: the font stays invalid.
        for (PackRect* rect : rects)
            delete rect;
        return;
    }

    m_page.assign(static_cast<size_t>(side) * side, 0);
    for (PackRect* rect : rects)
    {
        PackRect placedRect = *rect;
        delete rect;
        // A glyph without a place would overwrite the page origin; it is left out instead.
        if (!placedRect.placed)
            continue;
        if (FT_Load_Glyph(m_face, placedRect.glyphIndex, FT_LOAD_DEFAULT) != 0 ||
            FT_Render_Glyph(m_face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        const FT_GlyphSlot slot = m_face->glyph;
        // Rows go in bottom-up, so v grows from the glyph's lowest row to its top. The glyph
        // keeps to the room it was given, should it render larger the second time.
        unsigned char* origin = m_page.data() + static_cast<size_t>(placedRect.y) * side + placedRect.x;
        if (!CopyGlyphCoverage(*pLibrary, slot->bitmap, origin, side, placedRect.w, placedRect.h))
            continue;
        Glyph glyph;
        glyph.u = static_cast<float>(placedRect.x) / static_cast<float>(side);
        glyph.v = static_cast<float>(placedRect.y) / static_cast<float>(side);
        const float texelsWide =
            static_cast<float>(std::min(placedRect.w, static_cast<int>(slot->bitmap.width)));
        const float texelsHigh =
            static_cast<float>(std::min(placedRect.h, static_cast<int>(slot->bitmap.rows)));
        glyph.du = texelsWide / static_cast<float>(side);
        glyph.dv = texelsHigh / static_cast<float>(side);
        glyph.width = texelsWide / scale;
        glyph.height = texelsHigh / scale;
        glyph.left = static_cast<float>(slot->bitmap_left) / scale;
        glyph.top = static_cast<float>(slot->bitmap_top) / scale;
        const FT_Vector advance = scale == 1.0f ? slot->advance : advances[placedRect.charCode];
        glyph.advanceX = static_cast<int>(advance.x >> 6);
        glyph.advanceY = static_cast<int>(advance.y >> 6);
        m_glyphs[placedRect.charCode] = glyph;
    }
    m_pageSide = side;
}

void CTextureFont::Upload()
{
    if (m_page.empty())
        return;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    m_texId = texture;
    glBindTexture(GL_TEXTURE_2D, m_texId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // Rasterised for a scaled picture, a glyph covers as many window pixels as it has texels,
    // at any fraction of a pixel: the nearest texel keeps it as sharp as FreeType drew it.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, m_rasterScale == 1.0f ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    // One byte per texel: rows of any width are packed tightly.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, static_cast<GLsizei>(m_pageSide),
                 static_cast<GLsizei>(m_pageSide), 0, GL_ALPHA, GL_UNSIGNED_BYTE, m_page.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    m_page.clear();
    m_page.shrink_to_fit();
}

CTextureFont::~CTextureFont()
{
    Release();
}

bool CTextureFont::IsValid() const
{
    return m_pageSide != 0 && m_texId != 0 && m_face != nullptr;
}

int CTextureFont::GetLineHeight() const
{
    return m_face ? m_lineHeight : 0;
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
    DrawTextAt(0.0f, 0.0f, pText);
}

void CTextureFont::DrawTextAt(float pX, float pY, const char* pText) const
{
    AW_ASSERT(m_texId);
    int px = 0;
    int py = 0;
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
        float left = static_cast<float>(px) + g->left + pX;
        float top = static_cast<float>(py) + g->top + pY;
        float uRight = g->u + g->du;
        float vTop = g->v + g->dv;
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
