#include "engine/ResourceCatalogue.h"

#include <tinyxml.h>

#include <cstring>
#include <vector>

#include "engine/DataFile.h"
#include "engine/GameEngine.h"
#include "engine/Platform.h"
#include "engine/XmlDepth.h"
#include "media/FontManager.h"
#include "media/SoundManager.h"
#include "media/TextureManager.h"

const char* const RESOURCE_CATALOGUE = "Data\\resources.xml";

namespace
{
// The game's catalogue is a few kilobytes and three levels deep.
const size_t CATALOGUE_LIMIT = size_t(4) << 20;
const int NESTING_LIMIT = 64;
// The parser reads up to three bytes past the start of a multi-byte character without looking
// for the end of the text; the padding keeps those reads inside the buffer.
const size_t PARSE_PADDING = 8;

// Names the first entry of a section that lacks one of the attributes its loader requires,
// so a refused section can be reported by the entry at fault.
std::string FindIncompleteEntry(TiXmlElement* pSection, const char* pEntry,
                                std::initializer_list<const char*> pAttributes)
{
    int index = 0;
    for (TiXmlElement* e = pSection->FirstChildElement(pEntry); e; e = e->NextSiblingElement(pEntry))
    {
        ++index;
        for (const char* attribute : pAttributes)
        {
            if (!e->Attribute(attribute))
            {
                const char* id = e->Attribute("id");
                return std::string(pEntry) + " entry " + std::to_string(index) +
                       (id ? std::string(" (id \"") + id + "\")" : std::string()) + " (line " +
                       std::to_string(e->Row()) + ") lacks \"" + attribute + "\"";
            }
        }
    }
    return std::string();
}

CatalogueResult Failure(const std::string& pWhy)
{
    CatalogueResult result;
    result.error = pWhy;
    return result;
}

CatalogueResult ParseFailure(const TiXmlDocument& pDoc, const std::string& pSource)
{
    std::string why = "cannot parse " + pSource + ": " + pDoc.ErrorDesc();
    // Faults of the document as a whole (an empty one) have no place to name.
    if (pDoc.ErrorRow() > 0)
        why += " at line " + std::to_string(pDoc.ErrorRow()) + ", column " + std::to_string(pDoc.ErrorCol());
    return Failure(why);
}

} // namespace

CatalogueLoaders CatalogueLoaders::MediaManagers()
{
    CatalogueLoaders loaders;
    loaders.sprites = [](TiXmlElement* pSection, std::string& pError)
    {
        CTextureManager* manager = CTextureManager::GetInstance();
        if (manager->Load(pSection))
            return true;
        pError =
            manager->GetLastError().empty() ? "the sprites could not be loaded" : manager->GetLastError();
        return false;
    };
    loaders.sounds = [](TiXmlElement* pSection, std::string& pError)
    {
        CSoundManager* manager = CSoundManager::GetInstance();
        if (manager->Load(pSection))
            return true;
        pError = manager->GetLastError();
        if (pError.empty())
            pError = FindIncompleteEntry(pSection, "sound", {"filepath", "id"});
        if (pError.empty())
            pError = "the sounds could not be loaded";
        return false;
    };
    loaders.fonts = [](TiXmlElement* pSection, std::string& pError)
    {
        CFontManager* manager = CFontManager::GetInstance();
        if (manager->Load(pSection))
            return true;
        pError = manager->GetLastError();
        if (pError.empty())
            pError = FindIncompleteEntry(pSection, "font", {"filepath", "id", "size"});
        return false;
    };
    return loaders;
}

CatalogueResult LoadCatalogueRoot(TiXmlElement* pRoot, const CatalogueLoaders& pLoaders,
                                  const std::string& pSource)
{
    if (!pRoot)
        return Failure(pSource + " has no root element");
    if (pRoot->ValueStr() != "resources")
        return Failure(pSource + ": the root element is <" + pRoot->ValueStr() + ">, not <resources>");

    const std::pair<const char*, const SectionLoader*> sections[] = {
        {"sprites", &pLoaders.sprites},
        {"sounds", &pLoaders.sounds},
        {"fonts", &pLoaders.fonts},
    };
    for (const auto& section : sections)
    {
        TiXmlElement* element = pRoot->FirstChildElement(section.first);
        if (!element || !*section.second)
            continue;
        std::string why;
        if (!(*section.second)(element, why))
            return Failure(pSource + ", " + section.first + ": " + why);
    }
    CatalogueResult result;
    result.ok = true;
    return result;
}

CatalogueResult LoadCatalogueBytes(const char* pData, size_t pSize, const CatalogueLoaders& pLoaders,
                                   const std::string& pSource)
{
    std::vector<char> text(pData, pData + pSize);
    text.insert(text.end(), PARSE_PADDING, '\0');
    if (MaxElementDepth(text.data()) > NESTING_LIMIT)
        return Failure(pSource + " nests its elements more than " + std::to_string(NESTING_LIMIT) + " deep");
    TiXmlDocument doc;
    doc.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
    if (doc.Error())
        return ParseFailure(doc, pSource);
    return LoadCatalogueRoot(doc.RootElement(), pLoaders, pSource);
}

CatalogueResult LoadCatalogueFile(const char* pPath, const CatalogueLoaders& pLoaders)
{
    std::vector<unsigned char> bytes;
    std::string why;
    if (!ReadDataFile(pPath, CATALOGUE_LIMIT, bytes, why))
        return Failure(why);
    return LoadCatalogueBytes(reinterpret_cast<const char*>(bytes.data()), bytes.size(), pLoaders,
                              NativePath(pPath));
}

CatalogueResult LoadCatalogueText(const char* pText, const CatalogueLoaders& pLoaders)
{
    return LoadCatalogueBytes(pText, std::strlen(pText), pLoaders, "the catalogue");
}

bool CGameEngine::LoadResources()
{
    CatalogueResult result = LoadCatalogueFile(RESOURCE_CATALOGUE, CatalogueLoaders::MediaManagers());
    if (!result.ok)
        m_lastError = result.error;
    return result.ok;
}
