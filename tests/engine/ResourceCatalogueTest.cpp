#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/stat.h>
#include <tinyxml.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/Platform.h"
#include "engine/ResourceCatalogue.h"
#include "media/FontManager.h"
#include "media/SoundManager.h"

namespace
{

// Loaders that note which section they were handed (by name and its "tag" attribute) and
// refuse the ones told to.
struct RecordingLoaders
{
    std::vector<std::string> seen;
    std::string refuse;

    SectionLoader Make(const std::string& pName)
    {
        return [this, pName](TiXmlElement* pSection, std::string& pError)
        {
            const char* tag = pSection->Attribute("tag");
            seen.push_back(pName + (tag ? std::string(":") + tag : std::string()));
            if (refuse == pName)
            {
                pError = "refused on purpose";
                return false;
            }
            return true;
        };
    }
    CatalogueLoaders Loaders() { return CatalogueLoaders{Make("sprites"), Make("sounds"), Make("fonts")}; }
};

std::string MakeTempDir()
{
    char pattern[] = "/tmp/aw_catalogue_XXXXXX";
    const char* dir = mkdtemp(pattern);
    EXPECT_NE(dir, nullptr);
    return dir ? dir : "/tmp";
}

TEST(ResourceCatalogueTest, SectionsAreHandedOverInTheirFixedOrder)
{
    RecordingLoaders rec;
    CatalogueResult result =
        LoadCatalogueText("<resources><fonts/><junk/>text<sounds/><sprites/></resources>", rec.Loaders());
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.error.empty());
    EXPECT_EQ(rec.seen, (std::vector<std::string>{"sprites", "sounds", "fonts"}));
}

TEST(ResourceCatalogueTest, AbsentSectionsAreSkippedAndOnlyTheFirstOfAKindIsRead)
{
    RecordingLoaders rec;
    EXPECT_TRUE(LoadCatalogueText("<resources/>", rec.Loaders()).ok);
    EXPECT_TRUE(rec.seen.empty());

    EXPECT_TRUE(LoadCatalogueText("<resources><sounds tag='a'/><sprites tag='first'/>"
                                  "<sprites tag='second'/><sounds tag='b'/></resources>",
                                  rec.Loaders())
                    .ok);
    EXPECT_EQ(rec.seen, (std::vector<std::string>{"sprites:first", "sounds:a"}));
}

TEST(ResourceCatalogueTest, TheRootMustBeNamedResourcesExactly)
{
    for (const char* text : {"<Resources><sprites/></Resources>", "<catalogue><sprites/></catalogue>"})
    {
        RecordingLoaders rec;
        CatalogueResult result = LoadCatalogueText(text, rec.Loaders());
        EXPECT_FALSE(result.ok) << text;
        EXPECT_NE(result.error.find("root element"), std::string::npos) << result.error;
        EXPECT_TRUE(rec.seen.empty());
    }
}

TEST(ResourceCatalogueTest, ARefusedSectionStopsTheOnesAfterIt)
{
    const char* text = "<resources><fonts/><sounds/><sprites/></resources>";
    RecordingLoaders sprites;
    sprites.refuse = "sprites";
    CatalogueResult result = LoadCatalogueText(text, sprites.Loaders());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(sprites.seen, (std::vector<std::string>{"sprites"}));
    EXPECT_NE(result.error.find("sprites: refused on purpose"), std::string::npos) << result.error;

    RecordingLoaders sounds;
    sounds.refuse = "sounds";
    EXPECT_FALSE(LoadCatalogueText(text, sounds.Loaders()).ok);
    EXPECT_EQ(sounds.seen, (std::vector<std::string>{"sprites", "sounds"}));
}

TEST(ResourceCatalogueTest, FilesAreFoundThroughTheirBackslashPathAndMustParse)
{
    std::string dir = MakeTempDir();
    std::ofstream(dir + "/resources.xml") << "<?xml version=\"1.0\"?>\n<resources><sounds/></resources>\n";
    std::ofstream(dir + "/broken.xml") << "<resources>\n<sounds>\n</resources>";
    mkdir((dir + "/folder.xml").c_str(), 0700);

    RecordingLoaders rec;
    CatalogueResult good = LoadCatalogueFile((dir + "\\resources.xml").c_str(), rec.Loaders());
    EXPECT_TRUE(good.ok) << good.error;
    EXPECT_EQ(rec.seen, (std::vector<std::string>{"sounds"}));

    std::string missing = dir + "\\missing.xml";
    EXPECT_EQ(LoadCatalogueFile(missing.c_str(), rec.Loaders()).error,
              "cannot read " + dir + "/missing.xml: No such file or directory");
    // TinyXML would try to read a folder as a document, and a FIFO would block start-up.
    EXPECT_EQ(LoadCatalogueFile((dir + "/folder.xml").c_str(), rec.Loaders()).error,
              "cannot read " + dir + "/folder.xml: not a regular file");
    ASSERT_EQ(0, mkfifo((dir + "/fifo.xml").c_str(), 0600));
    EXPECT_EQ(LoadCatalogueFile((dir + "/fifo.xml").c_str(), rec.Loaders()).error,
              "cannot read " + dir + "/fifo.xml: not a regular file");
    CatalogueResult broken = LoadCatalogueFile((dir + "/broken.xml").c_str(), rec.Loaders());
    EXPECT_EQ(broken.error.rfind("cannot parse " + dir + "/broken.xml: ", 0), 0u) << broken.error;
    EXPECT_NE(broken.error.find("line 3"), std::string::npos) << broken.error;
    EXPECT_FALSE(LoadCatalogueText("<!-- nothing but a comment -->", rec.Loaders()).ok);
    EXPECT_EQ(rec.seen.size(), 1u);
    std::system(("rm -rf " + dir).c_str());
}

TEST(ResourceCatalogueTest, HostileTextIsRefusedInOneLineBeforeItCanHurtTheParser)
{
    auto repeat = [](const std::string& pText, int pTimes)
    {
        std::string all;
        for (int i = 0; i < pTimes; ++i)
            all += pText;
        return all;
    };
    const struct
    {
        std::string text;
        const char* error;
    } cases[] = {
        // The parser recurses once per level and ran out of stack at some 40,000.
        {repeat("<a>", 40000), "the catalogue nests its elements more than 64 deep"},
        {"<resources x='/>' y=\"'\">" + repeat("<a b='1'>", 64), "more than 64 deep"},
        {"<!-- x --><resources><![CDATA[<a>]]>" + repeat("<a/><b>", 63) + "</resources>",
         "Error reading end tag"},
        // Faults of the document as a whole have no line to name.
        {"", "cannot parse the catalogue: Error document empty."},
        {"<!-- nothing else -->", "the catalogue has no root element"},
    };
    RecordingLoaders rec;
    for (const auto& c : cases)
    {
        CatalogueResult result = LoadCatalogueText(c.text.c_str(), rec.Loaders());
        EXPECT_FALSE(result.ok) << c.text.substr(0, 40);
        EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find("line 0"), std::string::npos) << result.error;
    }

    // The parser reads past the end of text that stops inside a multi-byte character: here
    // into a page that cannot be read.
    const std::string cut = "<?xml v='1'?><a>\xf0";
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    char* pages = static_cast<char*>(
        mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(MAP_FAILED, pages);
    ASSERT_EQ(0, mprotect(pages + page, page, PROT_NONE));
    char* text = pages + page - cut.size() - 1;
    std::memcpy(text, cut.c_str(), cut.size() + 1);
    EXPECT_FALSE(LoadCatalogueText(text, rec.Loaders()).ok);
    EXPECT_FALSE(LoadCatalogueBytes(text, cut.size(), rec.Loaders(), "cut").ok);
    munmap(pages, 2 * page);
    EXPECT_TRUE(rec.seen.empty());
}

TEST(ResourceCatalogueTest, TheMediaManagersNameTheEntryAtFault)
{
    // A bad sound entry stops the load before the fonts are read.
    CatalogueResult result =
        LoadCatalogueText("<resources><sounds><sound filepath='Data\\sounds\\none.wav' id='Fine'/>"
                          "<sound filepath='Data\\sounds\\none.wav'/></sounds>"
                          "<fonts><font filepath='Data\\fonts\\DejaVuSans.ttf' id='Never' size='12'/></fonts>"
                          "</resources>",
                          CatalogueLoaders::MediaManagers());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("sound entry 2"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("lacks \"id\""), std::string::npos) << result.error;
    EXPECT_EQ(CFontManager::GetInstance()->GetFont("Never"), nullptr);
    CSoundManager::GetInstance()->Clear();

    result = LoadCatalogueText("<resources><fonts><font filepath='x.ttf' id='Big'/></fonts></resources>",
                               CatalogueLoaders::MediaManagers());
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("font entry 1 (id \"Big\")"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("lacks \"size\""), std::string::npos) << result.error;
    CFontManager::GetInstance()->Clear();
}

// The catalogue that ships with the game: every entry complete, every file present, and every
// id the game asks for catalogued.
TEST(ResourceCatalogueTest, TheShippedCatalogueIsComplete)
{
    std::set<std::string> ids;
    std::vector<std::string> problems;
    auto entries = [&](const char* pEntry, bool pSized)
    {
        return [&, pEntry, pSized](TiXmlElement* pSection, std::string&)
        {
            for (TiXmlElement* e = pSection->FirstChildElement(pEntry); e; e = e->NextSiblingElement(pEntry))
            {
                const char* path = e->Attribute("filepath");
                const char* id = e->Attribute("id");
                double size = 0.0;
                if (!path || !id ||
                    (pSized && (e->QueryDoubleAttribute("size", &size) != TIXML_SUCCESS || size == 0.0)))
                {
                    problems.push_back(std::string(pEntry) + " at line " + std::to_string(e->Row()));
                    continue;
                }
                struct stat info;
                if (stat(NativePath(path).c_str(), &info) != 0)
                    problems.push_back(std::string("missing file ") + path);
                ids.insert(id);
            }
            return true;
        };
    };
    CatalogueResult result = LoadCatalogueFile(
        "Data\\resources.xml",
        CatalogueLoaders{entries("sprite", false), entries("sound", false), entries("font", true)});
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(problems.empty()) << problems.front();

    std::vector<std::string> wanted = {
        "Shield_Glow",  "Resource",  "Spark",     "Gear",         "AW_Title",    "QuillmothLogo",  "Win_Text",
        "Lose_Text",    "Tie_Text",  "Fork_Icon", "Beamgun_Icon", "Shield_Icon", "Extr_Icon",      "Abs_Icon",
        "Bar_Tick",     "Bar_Mid",   "Bar_End",   "MenuClick",    "MenuSwoosh",  "QuillmothIntro", "End",
        "BuildSuccess", "BuildFail", "Death",     "MainFont",     "HelpFont"};
    for (const char* kind : {"CPU", "Fork", "Beamgun", "Shield", "Extr", "Abs"})
        for (const char* team : {"_Gray", "_Green", "_Blue"})
            wanted.push_back(std::string(kind) + team);
    for (const std::string& id : wanted)
        EXPECT_TRUE(ids.count(id)) << "not catalogued: " << id;
}

} // namespace
