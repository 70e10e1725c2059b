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

    bool Load(TiXmlElement* pXMLElement);
    bool LoadFont(const char* pFontPath, float pSize, const char* pId);
    CTextureFont* GetFont(const char* pId) const;
    void Clear();

    ~CFontManager();

  private:
    CFontManager() = default;
    FT_Library m_library = nullptr;
    std::map<std::string, CTextureFont*> m_fonts;
};
