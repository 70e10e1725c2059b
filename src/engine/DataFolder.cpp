#include "engine/DataFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "engine/GameEngine.h"
#include "engine/Platform.h"

namespace fs = std::filesystem;

namespace
{

bool HoldsCatalogue(const std::string& pFolder)
{
    std::error_code error;
    return fs::is_regular_file(fs::path(pFolder) / NativePath(RESOURCE_CATALOGUE), error);
}

} // namespace

std::string ProgramPath()
{
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}

std::string InstalledDataFolder(const std::string& pProgramPath)
{
    fs::path games = fs::path(pProgramPath).parent_path();
    return (games / ".." / "share" / "games" / "ampwarden").lexically_normal().string();
}

DataFolderSearch FindDataFolder(const std::string& pWorkDir, const char* pEnvData,
                                const std::string& pProgramPath)
{
    DataFolderSearch search;
    auto tryFolder = [&search](const std::string& pFolder, const std::string& pLabel)
    {
        search.looked += (search.looked.empty() ? "" : ", ") + pLabel;
        if (search.found.empty() && !pFolder.empty() && HoldsCatalogue(pFolder))
            search.found = pFolder;
    };
    tryFolder(pWorkDir, "the working directory " + pWorkDir);
    if (pEnvData && *pEnvData)
        tryFolder(pEnvData, std::string("AMPWARDEN_DATA=") + pEnvData);
    else
        search.looked += ", AMPWARDEN_DATA (not set)";
    if (!pProgramPath.empty())
    {
        const std::string installed = InstalledDataFolder(pProgramPath);
        tryFolder(installed, installed);
    }
    return search;
}

bool EnterDataFolder(std::string& pWhy)
{
    std::error_code error;
    const std::string workDir = fs::current_path(error).string();
    DataFolderSearch search = FindDataFolder(workDir, std::getenv("AMPWARDEN_DATA"), ProgramPath());
    if (search.found.empty())
    {
        pWhy = "cannot read " + NativePath(RESOURCE_CATALOGUE) + ": looked in " + Printable(search.looked);
        return false;
    }
    if (search.found != workDir && chdir(search.found.c_str()) != 0)
    {
        pWhy = "cannot enter the game data folder " + Printable(search.found);
        return false;
    }
    return true;
}
