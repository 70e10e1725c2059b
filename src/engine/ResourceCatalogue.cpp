#include "engine/ResourceCatalogue.h"

#include <sys/stat.h>
#include <tinyxml.h>

#include "engine/GameEngine.h"
#include "engine/Platform.h"
#include "media/FontManager.h"
#include "media/SoundManager.h"
#include "media/TextureManager.h"

const char* const RESOURCE_CATALOGUE = "Data\\resources.xml";

namespace
{

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
    return Failure("cannot parse " + pSource + ": " + pDoc.ErrorDesc() + " at line " +
                   std::to_string(pDoc.ErrorRow()) + ", column " + std::to_string(pDoc.ErrorCol()));
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
        if (CSoundManager::GetInstance()->Load(pSection))
            return true;
        pError = FindIncompleteEntry(pSection, "sound", {"filepath", "id"});
        if (pError.empty())
            pError = "the sounds could not be loaded";
        return false;
    };
    loaders.fonts = [](TiXmlElement* pSection, std::string& pError)
    {
        if (CFontManager::GetInstance()->Load(pSection))
            return true;
        pError = FindIncompleteEntry(pSection, "font", {"filepath", "id", "size"});
        if (pError.empty())
            pError = "a font entry has a zero \"size\"";
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

CatalogueResult LoadCatalogueFile(const char* pPath, const CatalogueLoaders& pLoaders)
{
    std::string path = NativePath(pPath);
    // TinyXML would happily try to read a directory.
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return Failure("cannot read " + path);
    TiXmlDocument doc;
    if (!doc.LoadFile(path.c_str()))
    {
        if (doc.ErrorId() == TiXmlBase::TIXML_ERROR_OPENING_FILE)
            return Failure("cannot read " + path);
        return ParseFailure(doc, path);
    }
    return LoadCatalogueRoot(doc.RootElement(), pLoaders, path);
}

CatalogueResult LoadCatalogueText(const char* pText, const CatalogueLoaders& pLoaders)
{
    TiXmlDocument doc;
    doc.Parse(pText);
    if (doc.Error())
        return ParseFailure(doc, "the catalogue");
    return LoadCatalogueRoot(doc.RootElement(), pLoaders, "the catalogue");
}

bool CGameEngine::LoadResources()
{
    CatalogueResult result = LoadCatalogueFile(RESOURCE_CATALOGUE, CatalogueLoaders::MediaManagers());
    if (!result.ok)
        m_lastError = result.error;
    return result.ok;
}
