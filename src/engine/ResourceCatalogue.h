#pragma once

#include <functional>
#include <string>

class TiXmlElement;

// The catalogue names every sprite, sound and font; its three sections are handed, in that
// order, to one loader each. A loader returns false (with a reason) to stop the rest.
using SectionLoader = std::function<bool(TiXmlElement* pSection, std::string& pError)>;

struct CatalogueLoaders
{
    SectionLoader sprites;
    SectionLoader sounds;
    SectionLoader fonts;

    // The game's own: the texture, sound and font managers.
    static CatalogueLoaders MediaManagers();
};

struct CatalogueResult
{
    bool ok = false;
    std::string error; // one line naming what failed; empty on success
};

// Checks the root and hands the first "sprites", "sounds" and "fonts" sections to the loaders.
// pSource names the catalogue in error texts.
CatalogueResult LoadCatalogueRoot(TiXmlElement* pRoot, const CatalogueLoaders& pLoaders,
                                  const std::string& pSource);
// Parses XML bytes (they need not end in a NUL) and loads the root; pSource names them in
// error texts. Text nested too deep for the parser is refused before it is parsed.
CatalogueResult LoadCatalogueBytes(const char* pData, size_t pSize, const CatalogueLoaders& pLoaders,
                                   const std::string& pSource);
// Reads and parses the file (path written with backslashes), then loads its root.
CatalogueResult LoadCatalogueFile(const char* pPath, const CatalogueLoaders& pLoaders);
// The same from XML text in memory.
CatalogueResult LoadCatalogueText(const char* pText, const CatalogueLoaders& pLoaders);
