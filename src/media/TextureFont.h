#pragma once

#include <unordered_map>

#include <ft2build.h>
#include FT_FREETYPE_H

// One font at one size: every character rasterised once into one alpha texture.
class CTextureFont
{
  public:
    struct Glyph
    {
        float u, v;
        float width, height;
        int left, top;
        int advanceX, advanceY;
    };

    CTextureFont(const char* pFontPath, float pSize, FT_Library* pLibrary);
    ~CTextureFont();
    CTextureFont(const CTextureFont&) = delete;
    CTextureFont& operator=(const CTextureFont&) = delete;

    bool IsValid() const;
    int GetLineHeight() const;
    // Draws with the first baseline starting at the current origin.
    void DrawText(const char* pText) const;
    // Width in pixels of the widest line.
    float GetTextWidth(const char* pText) const;

    const Glyph* FindGlyph(char pChar) const;
    unsigned GetPageSide() const { return m_pageSide; }

  private:
    unsigned m_pageSide = 0;
    unsigned m_texId = 0;
    FT_Face m_face = nullptr;
    std::unordered_map<int, Glyph> m_glyphs;
};
