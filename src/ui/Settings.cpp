#include "ui/Settings.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/DisplayConfig.h"
#include "engine/Platform.h"
#include "engine/WholeNumber.h"
#include "engine/WindowSize.h"
#include "replay/ReplayRecorder.h"

namespace
{
// A settings file is a few short lines; anything bigger is not one this program wrote.
const size_t SETTINGS_LIMIT = 4096;
const size_t LINE_LIMIT = 64;
const size_t RECENT_COUNT = 5;
const size_t ADDRESS_LIMIT = 64;

bool IsPrintable(const std::string& pText)
{
    return std::all_of(pText.begin(), pText.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

std::string UserFolder(const char* pVariable, const char* pFallback)
{
    const char* base = std::getenv(pVariable);
    // Only an absolute path counts, as for the replays' folder.
    if (base && base[0] == '/')
        return std::string(base) + "/ampwarden";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + pFallback;
    return std::string();
}

bool ReadFlag(const std::string& pValue, bool& pOut)
{
    if (pValue != "0" && pValue != "1")
        return false;
    pOut = pValue == "1";
    return true;
}

bool ReadVolume(const std::string& pValue, int& pOut)
{
    long long value = 0;
    if (pValue.size() > 3 || !ParseWholeNumber(pValue.c_str(), 0, CSettings::VOLUME_MAX, value))
        return false;
    pOut = static_cast<int>(value);
    return true;
}
} // namespace

bool CSettings::operator==(const CSettings& pOther) const
{
    return effectsVolume == pOther.effectsVolume && musicVolume == pOther.musicVolume &&
           fullscreen == pOther.fullscreen && window == pOther.window && record == pOther.record &&
           name == pOther.name && lobbyServer == pOther.lobbyServer && guideOffered == pOther.guideOffered;
}

bool IsGoodPlayerName(const std::string& pName)
{
    return !pName.empty() && pName.size() <= CSettings::NAME_LIMIT && IsPrintable(pName) &&
           pName.front() != ' ' && pName.back() != ' ' && pName.find("  ") == std::string::npos;
}

bool IsGoodLobbyServer(const std::string& pServer)
{
    return !pServer.empty() && pServer.size() <= 64 &&
           pServer.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-:[]") ==
               std::string::npos;
}

bool ParseSettings(const std::string& pText, CSettings& pOut, std::string& pWhy)
{
    pWhy.clear();
    auto fault = [&pWhy](const std::string& pText2)
    {
        if (pWhy.empty())
            pWhy = pText2;
    };
    if (pText.size() > SETTINGS_LIMIT)
    {
        pOut = CSettings();
        fault("larger than " + std::to_string(SETTINGS_LIMIT) + " bytes");
        return false;
    }
    CSettings read = pOut;
    int number = 0;
    // A file edited elsewhere may start with a byte-order mark and end its lines with CR LF.
    const std::string bom = "\xef\xbb\xbf";
    for (size_t start = pText.compare(0, bom.size(), bom) == 0 ? bom.size() : 0; start < pText.size();)
    {
        size_t end = pText.find('\n', start);
        const bool complete = end != std::string::npos;
        if (!complete)
            end = pText.size();
        std::string line = pText.substr(start, end - start);
        if (complete && !line.empty() && line.back() == '\r')
            line.pop_back();
        start = end + 1;
        ++number;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (line.empty())
            continue;
        if (!complete)
        {
            fault(where + "cut short");
            continue;
        }
        if (line.size() > LINE_LIMIT || !IsPrintable(line))
        {
            fault(where + "not a settings line");
            continue;
        }
        const size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
        bool good = false;
        if (key == "effects-volume")
            good = ReadVolume(value, read.effectsVolume);
        else if (key == "music-volume")
            good = ReadVolume(value, read.musicVolume);
        else if (key == "fullscreen")
            good = ReadFlag(value, read.fullscreen);
        else if (key == "window")
        {
            DisplayConfig config;
            good = ApplyWindowSetting(value, config) && (read.window = value, true);
        }
        else if (key == "record")
            good = ReadFlag(value, read.record);
        else if (key == "guide-offered")
            good = ReadFlag(value, read.guideOffered);
        else if (key == "name")
            good = IsGoodPlayerName(value) && (read.name = value, true);
        else if (key == "lobby-server")
            good = IsGoodLobbyServer(value) && (read.lobbyServer = value, true);
        else
        {
            fault(where + "unknown setting \"" + key.substr(0, 24) + "\"");
            continue;
        }
        if (!good)
            fault(where + "bad value for " + key);
    }
    pOut = read;
    return pWhy.empty();
}

std::string FormatSettings(const CSettings& pSettings)
{
    return "effects-volume " + std::to_string(pSettings.effectsVolume) + "\nmusic-volume " +
           std::to_string(pSettings.musicVolume) + "\nfullscreen " + (pSettings.fullscreen ? "1" : "0") +
           "\nwindow " + pSettings.window + "\nrecord " + (pSettings.record ? "1" : "0") + "\nname " +
           pSettings.name + "\nlobby-server " + pSettings.lobbyServer + "\nguide-offered " +
           (pSettings.guideOffered ? "1" : "0") + "\n";
}

std::string SettingsPath()
{
    const std::string folder = UserFolder("XDG_CONFIG_HOME", "/.config/ampwarden");
    return folder.empty() ? folder : folder + "/settings";
}

std::string StateFolder()
{
    return UserFolder("XDG_STATE_HOME", "/.local/state/ampwarden");
}

std::string RecentHostsPath()
{
    const std::string folder = StateFolder();
    return folder.empty() ? folder : folder + "/recent-hosts";
}

bool ReadSmallFile(const std::string& pPath, size_t pLimit, std::string& pText, bool& pMissing,
                   std::string& pWhy)
{
    pText.clear();
    pMissing = false;
    const int fd = open(pPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        pMissing = errno == ENOENT;
        pWhy = std::strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        close(fd);
        pWhy = "not a regular file";
        return false;
    }
    // One byte past the limit tells a file that is too big.
    char buffer[4096];
    while (pText.size() <= pLimit)
    {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            pWhy = std::strerror(errno);
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        pText.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

void RemoveStaleTemporaries(const std::string& pPath)
{
    const size_t slash = pPath.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return;
    const std::string prefix = pPath.substr(slash + 1) + ".tmp";
    DIR* folder = opendir(pPath.substr(0, slash).c_str());
    if (!folder)
        return;
    while (const dirent* entry = readdir(folder))
    {
        const std::string name = entry->d_name;
        long long pid = 0;
        if (name.compare(0, prefix.size(), prefix) != 0 ||
            !ParseWholeNumber(name.c_str() + prefix.size(), 1, 1 << 30, pid) ||
            name.find_first_not_of("0123456789", prefix.size()) != std::string::npos)
            continue;
        // A living writer (or one whose id was taken again) keeps its file for now.
        if (pid != getpid() && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            unlink((pPath.substr(0, slash + 1) + name).c_str());
    }
    closedir(folder);
}

bool WriteWholeFile(const std::string& pPath, const std::string& pText, std::string& pWhy)
{
    const size_t slash = pPath.rfind('/');
    if (pPath.empty() || slash == std::string::npos || slash == 0)
        return pWhy = "no folder to write into (neither the XDG variable nor HOME is set)", false;
    if (!MakeFolders(pPath.substr(0, slash), pWhy))
        return false;
    RemoveStaleTemporaries(pPath);
    const std::string temporary = pPath + ".tmp" + std::to_string(static_cast<long>(getpid()));
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return pWhy = "cannot create " + temporary + ": " + std::strerror(errno), false;
    size_t done = 0;
    while (done < pText.size())
    {
        const ssize_t n = write(fd, pText.data() + done, pText.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    const bool written = done == pText.size() && fsync(fd) == 0;
    const int error = errno;
    if (close(fd) != 0 || !written)
    {
        unlink(temporary.c_str());
        return pWhy = "cannot write " + temporary + ": " + std::strerror(written ? errno : error), false;
    }
    if (rename(temporary.c_str(), pPath.c_str()) != 0)
    {
        pWhy = "cannot replace " + pPath + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

CSettings LoadSettings(const std::string& pPath)
{
    CSettings settings;
    std::string text;
    std::string why;
    bool missing = false;
    if (pPath.empty())
        return settings;
    RemoveStaleTemporaries(pPath);
    if (!ReadSmallFile(pPath, SETTINGS_LIMIT, text, missing, why))
    {
        if (!missing)
            std::fprintf(stderr, "ampwarden: settings file %s: %s; using the defaults\n",
                         Printable(pPath).c_str(), why.c_str());
        return settings;
    }
    if (!ParseSettings(text, settings, why))
        std::fprintf(stderr, "ampwarden: settings file %s: %s; using the defaults for what cannot be used\n",
                     Printable(pPath).c_str(), why.c_str());
    return settings;
}

bool SaveSettings(const std::string& pPath, const CSettings& pSettings, std::string& pWhy)
{
    return WriteWholeFile(pPath, FormatSettings(pSettings), pWhy);
}

std::vector<std::string> ParseRecentHosts(const std::string& pText)
{
    std::vector<std::string> hosts;
    size_t start = 0;
    while (start < pText.size() && hosts.size() < RECENT_COUNT)
    {
        size_t end = pText.find('\n', start);
        if (end == std::string::npos)
            break;
        std::string line = pText.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.size() <= ADDRESS_LIMIT && IsPrintable(line) &&
            line.find(' ') == std::string::npos)
            hosts.push_back(line);
    }
    return hosts;
}

std::vector<std::string> WithRecentHost(std::vector<std::string> pHosts, const std::string& pAddress)
{
    pHosts.erase(std::remove(pHosts.begin(), pHosts.end(), pAddress), pHosts.end());
    pHosts.insert(pHosts.begin(), pAddress);
    if (pHosts.size() > RECENT_COUNT)
        pHosts.resize(RECENT_COUNT);
    return pHosts;
}
