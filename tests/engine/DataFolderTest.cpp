#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/DataFolder.h"

namespace fs = std::filesystem;

namespace
{

// Three candidate folders under a scratch directory; each case gives some of them a catalogue.
class DataFolderTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("aw_datafolder_" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        for (const char* name : {"work", "env", "prefix/games", "prefix/share/games/ampwarden"})
            fs::create_directories(m_root / name);
    }
    void TearDown() override { fs::remove_all(m_root); }

    void GiveCatalogue(const std::string& pFolder)
    {
        fs::create_directories(m_root / pFolder / "Data");
        std::ofstream(m_root / pFolder / "Data" / "resources.xml") << "<resources/>";
    }
    std::string At(const std::string& pFolder) const { return (m_root / pFolder).string(); }

    fs::path m_root;
};

TEST_F(DataFolderTest, TakesTheFirstPlaceHoldingTheCatalogue)
{
    const std::string installed = "prefix/share/games/ampwarden";
    EXPECT_EQ(InstalledDataFolder(At("prefix/games/ampwarden")), At(installed));

    struct Case
    {
        std::vector<std::string> withCatalogue;
        bool envSet;
        std::string expected; // empty: none found
    };
    const Case cases[] = {
        {{"work", "env", installed}, true, "work"},
        {{"env", installed}, true, "env"},
        {{installed}, true, installed},
        {{"env", installed}, false, installed},
        {{}, true, ""},
        {{}, false, ""},
    };
    for (const Case& c : cases)
    {
        TearDown();
        SetUp();
        for (const std::string& folder : c.withCatalogue)
            GiveCatalogue(folder);
        const std::string env = At("env");
        DataFolderSearch search =
            FindDataFolder(At("work"), c.envSet ? env.c_str() : nullptr, At("prefix/games/ampwarden"));
        EXPECT_EQ(search.found, c.expected.empty() ? "" : At(c.expected)) << c.expected;
        // The message for a failed search names every place, the unset setting included.
        EXPECT_NE(search.looked.find(At("work")), std::string::npos);
        EXPECT_NE(search.looked.find(c.envSet ? "AMPWARDEN_DATA=" + env : "AMPWARDEN_DATA (not set)"),
                  std::string::npos);
        EXPECT_NE(search.looked.find(At(installed)), std::string::npos);
    }
}

} // namespace
