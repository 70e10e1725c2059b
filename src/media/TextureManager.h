#pragma once

#include <map>
#include <string>

class CSprite;
class TiXmlElement;

// Loads every sprite of the catalogue into one RGBA atlas texture and hands out sprites by id.
class CTextureManager
{
  public:
    static CTextureManager* GetInstance();

    // Builds the atlas from the "sprites" element. False when an entry or image is bad
    // or an image does not fit on the page; nothing is entered then.
    bool Load(TiXmlElement* pXMLElement);
    // Null for an id that is not in the table.
    CSprite* GetSprite(const char* pId) const;
    void Clear();

    int GetPageSide() const { return m_pageSide; }
    unsigned GetTexture() const { return m_texture; }
    // A short description of why the last Load failed, for the start-up message.
    const std::string& GetLastError() const { return m_lastError; }

    ~CTextureManager();

  private:
    CTextureManager() = default;

    std::map<std::string, CSprite*> m_sprites;
    unsigned m_texture = 0;
    int m_pageSide = 0;
    std::string m_lastError;
};
