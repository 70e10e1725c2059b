// The catalogue text through the game's reader: the depth check, the parser, the root and the
// section hand-over, with loaders that read every entry as the media managers do.
#include <tinyxml.h>

#include <cstdint>
#include <string>

#include "engine/ResourceCatalogue.h"

namespace
{
SectionLoader ReadEntries(const char* pEntry)
{
    return [pEntry](TiXmlElement* pSection, std::string&)
    {
        for (TiXmlElement* e = pSection->FirstChildElement(pEntry); e; e = e->NextSiblingElement(pEntry))
        {
            double size = 0.0;
            e->QueryDoubleAttribute("size", &size);
            if (!e->Attribute("filepath") || !e->Attribute("id"))
                return false;
        }
        return true;
    };
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    static const CatalogueLoaders loaders{ReadEntries("sprite"), ReadEntries("sound"), ReadEntries("font")};
    LoadCatalogueBytes(reinterpret_cast<const char*>(pData), pSize, loaders, "fuzz");
    return 0;
}
