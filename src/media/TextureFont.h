#pragma once

#include <unordered_map>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

// One font at one size: every character text can use rasterised once into one alpha texture.
class CTextureFont
{
  public:
    struct Glyph
    {
        float u, v;
        float du, dv; // the bitmap's extent on the page, in texture coordinates
        // The quad, in layout pixels: the bitmap's size and offset divided by the raster scale.
        float width, height;
        float left, top;
        int advanceX, advanceY;
    };

    // Sizes are pixels per em. Beyond this range there is nothing sane to draw, and a huge
    // size keeps start-up rasterising for minutes.
    static constexpr double MIN_SIZE = 1.0;
    static constexpr double MAX_SIZE = 256.0;
    static bool IsSaneSize(double pSize) { return pSize >= MIN_SIZE && pSize <= MAX_SIZE; }
    // Character codes below this are rasterised: the ones FindGlyph can find.
    static constexpr unsigned DRAWN_CHARACTERS = 128;

    // Reads the file, rasterises the characters and uploads the page; invalid on any failure.
    CTextureFont(const char* pFontPath, float pSize, FT_Library* pLibrary);
    // Rasterises font file bytes onto a page of at most pMaxSide texels without OpenGL; Upload
    // turns the page into the texture.
    CTextureFont(std::vector<unsigned char> pFontBytes, float pSize, FT_Library* pLibrary, int pMaxSide);
    // The same, with the glyphs rasterised pRasterScale times larger than the size (see
    // SetRasterScale).
    CTextureFont(const char* pFontPath, float pSize, FT_Library* pLibrary, float pRasterScale);
    ~CTextureFont();
    CTextureFont(const CTextureFont&) = delete;
    CTextureFont& operator=(const CTextureFont&) = delete;

    bool IsValid() const;
    int GetLineHeight() const;
    // Draws with the first baseline starting at the current origin.
    void DrawText(const char* pText) const;
    // The same with the origin at (pX, pY) and no matrix change, so that texts drawn one after
    // another reach the renderer as one batch.
    void DrawTextAt(float pX, float pY, const char* pText) const;
    // Width in pixels of the widest line.
    float GetTextWidth(const char* pText) const;

    const Glyph* FindGlyph(char pChar) const;
    unsigned GetPageSide() const { return m_pageSide; }
    // The rasterised coverage, bottom row first, until Upload.
    const std::vector<unsigned char>& GetPage() const { return m_page; }
    void Upload();
    // Rasterises the glyphs again at pScale times the size, for a picture shown that many times
    // larger or smaller: every window pixel of text then has its own texel. Advances, line
    // height and text widths stay those of the size itself, so the layout does not move. A
    // page that would not fit keeps the glyphs at the size itself. Needs the GL context.
    void SetRasterScale(float pScale);
    float GetRasterScale() const { return m_rasterScale; }

  private:
    void Rasterise(float pSize, FT_Library* pLibrary, int pMaxSide);
    bool SetSize(float pSize);
    void Release();

    std::vector<unsigned char> m_fontBytes; // the face reads from these
    std::vector<unsigned char> m_page;
    unsigned m_pageSide = 0;
    unsigned m_texId = 0;
    FT_Face m_face = nullptr;
    FT_Library* m_library = nullptr;
    float m_size = 0.0f;
    float m_rasterScale = 1.0f;
    int m_maxSide = 0;
    int m_lineHeight = 0;
    std::unordered_map<int, Glyph> m_glyphs;
};
