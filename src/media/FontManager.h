#pragma once

#include <map>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

class CTextureFont;
class TiXmlElement;

// Owns the FreeType library and the texture fonts by id.
class CFontManager
{
  public:
    static CFontManager* GetInstance();

    // False at the first entry without a path or id, or with a size no font can have; the
    // fonts before it stay. A font file that does not build is simply absent. False with no
    // font left when the glyph pages together grow past their budget.
    bool Load(TiXmlElement* pXMLElement);
    // Why the last Load failed at a size or the budget, for the start-up message; empty otherwise.
    const std::string& GetLastError() const { return m_lastError; }
    bool LoadFont(const char* pFontPath, float pSize, const char* pId);
    CTextureFont* GetFont(const char* pId) const;
    void Clear();
    // Rasterises every font, and those loaded later, at pScale times its size (0.25 to 4), for
    // a picture shown that much larger or smaller. The fonts stay the same objects. Should the
    // pages together pass their budget, the fonts go back to their own size.
    void SetRasterScale(float pScale);
    float GetRasterScale() const { return m_rasterScale; }

    ~CFontManager();

  private:
    CFontManager() = default;
    FT_Library m_library = nullptr;
    std::map<std::string, CTextureFont*> m_fonts;
    std::string m_lastError;
    float m_rasterScale = 1.0f;
};
