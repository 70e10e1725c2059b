#include "media/FontManager.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>

#include "engine/Assert.h"
#include "media/MediaBudget.h"
#include "media/TextureFont.h"

CFontManager* CFontManager::GetInstance()
{
    static CFontManager* instance = new CFontManager;
    return instance;
}

bool CFontManager::Load(TiXmlElement* pXMLElement)
{
    AW_ASSERT(!m_library);
    AW_ASSERT(pXMLElement);
    m_lastError.clear();
    if (FT_Init_FreeType(&m_library) != 0)
    {
        m_library = nullptr;
        return false;
    }
    size_t glyphBytes = 0;
    for (TiXmlElement* e = pXMLElement->FirstChildElement("font"); e; e = e->NextSiblingElement("font"))
    {
        const char* path = e->Attribute("filepath");
        const char* id = e->Attribute("id");
        // Absent or not a number reads as 0, which no font can have.
        double size = 0.0;
        if (e->QueryDoubleAttribute("size", &size) != TIXML_SUCCESS)
            size = 0.0;
        if (!path || !id || !e->Attribute("size"))
            return false;
        if (!CTextureFont::IsSaneSize(size))
        {
            const char* written = e->Attribute("size");
            m_lastError = std::string("font '") + id + "' has size \"" + (written ? written : "") +
                          "\"; sizes run from " + std::to_string(static_cast<int>(CTextureFont::MIN_SIZE)) +
                          " to " + std::to_string(static_cast<int>(CTextureFont::MAX_SIZE));
            return false;
        }
        // A font that does not build is simply absent; one that does frees the page of the
        // font it replaces.
        const CTextureFont* earlier = GetFont(id);
        const size_t freed = earlier ? size_t(earlier->GetPageSide()) * earlier->GetPageSide() : 0;
        if (!LoadFont(path, static_cast<float>(size), id))
            continue;
        const size_t side = GetFont(id)->GetPageSide();
        glyphBytes += side * side - freed;
        if (glyphBytes > GLYPH_BYTES_LIMIT)
        {
            m_lastError = std::string("font '") + id + "' (" + path + ") at size " + e->Attribute("size") +
                          " takes the glyph pages past their " + std::to_string(GLYPH_BYTES_LIMIT >> 20) +
                          " MB";
            Clear();
            return false;
        }
    }
    return true;
}

bool CFontManager::LoadFont(const char* pFontPath, float pSize, const char* pId)
{
    AW_ASSERT(m_library);
    AW_ASSERT(pFontPath);
    AW_ASSERT(pId);
    CTextureFont* font = new CTextureFont(pFontPath, pSize, &m_library, m_rasterScale);
    if (!font->IsValid())
    {
        delete font;
        return false;
    }
    auto it = m_fonts.find(pId);
    if (it != m_fonts.end())
    {
        delete it->second;
        it->second = font;
    }
    else
    {
        m_fonts[pId] = font;
    }
    return true;
}

CTextureFont* CFontManager::GetFont(const char* pId) const
{
    if (!pId)
        return nullptr;
    auto it = m_fonts.find(pId);
    return it == m_fonts.end() ? nullptr : it->second;
}

void CFontManager::Clear()
{
    for (auto& entry : m_fonts)
        delete entry.second;
    m_fonts.clear();
    if (m_library)
    {
        FT_Done_FreeType(m_library);
        m_library = nullptr;
    }
}

void CFontManager::SetRasterScale(float pScale)
{
    // Steps of 1/64 spare a new raster for every pixel a window is dragged by.
    m_rasterScale = std::round(std::clamp(pScale, 0.25f, 4.0f) * 64.0f) / 64.0f;
    size_t bytes = 0;
    for (auto& entry : m_fonts)
    {
        entry.second->SetRasterScale(m_rasterScale);
        bytes += size_t(entry.second->GetPageSide()) * entry.second->GetPageSide();
    }
    if (bytes > GLYPH_BYTES_LIMIT)
    {
        m_rasterScale = 1.0f;
        for (auto& entry : m_fonts)
            entry.second->SetRasterScale(1.0f);
    }
}

CFontManager::~CFontManager()
{
    Clear();
}
