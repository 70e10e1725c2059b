#pragma once

#include <cstdint>
#include <map>
#include <string>

class CSprite;
struct SDL_Surface;
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
    // An opaque white texel of the atlas, found while the page is built: untextured shapes
    // drawn through it keep the atlas bound, so they batch with the sprites around them.
    // False when the texture is not the atlas or the art has no such texel.
    bool GetPlainTexel(unsigned pTexture, float& pU, float& pV) const;
    // A white filled polygon of DISC_SIDES sides on the atlas, corner on the x axis, clear
    // around it: a disc drawn as one screen-aligned quad instead of a fan of thin triangles,
    // which a software renderer fills several times faster. Null before a Load.
    const CSprite* GetDisc() const { return m_disc; }
    // Sprites are drawn texel for texel, and magnified by repeating texels, which keeps their
    // edges sharp at twice the size or more; a picture shown smaller than the layout blends
    // the texels it skips instead, so that thin lines do not vanish.
    void SetSmoothMinify(bool pSmooth);
    static constexpr int DISC_SIDE = 128;
    static constexpr int DISC_SIDES = 32;

    ~CTextureManager();

  private:
    CTextureManager() = default;
    void FindPlainTexel(const uint32_t* pPage, int pSide);

    std::map<std::string, CSprite*> m_sprites;
    unsigned m_texture = 0;
    int m_pageSide = 0;
    std::string m_lastError;
    bool m_hasPlainTexel = false;
    float m_plainU = 0.0f;
    float m_plainV = 0.0f;
    CSprite* m_disc = nullptr;
    bool m_smoothMinify = false;
};
