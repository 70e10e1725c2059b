#include "lobby/LobbyPassword.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{
const char* const HEADER = "ampwarden lobby password 1\n";
const size_t MAX_PASSWORD_BYTES = 128;

std::string Safe(const std::string& pText)
{
    std::string out;
    for (char c : pText.substr(0, 100))
    {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '.' || c == '-' || c == '_';
        out += plain ? c : '_';
    }
    return out;
}
} // namespace

std::string LobbyPasswordPath(const std::string& pFolder, const std::string& pServer,
                              const std::string& pAccount)
{
    return pFolder + "/lobby/" + Safe(pServer) + "-" + Safe(pAccount) + ".password";
}

bool SaveLobbyPassword(const std::string& pPath, const std::string& pPassword, std::string& pWhy)
{
    if (pPassword.empty() || pPassword.size() > MAX_PASSWORD_BYTES ||
        pPassword.find('\n') != std::string::npos)
        return pWhy = "A password is 1 to 128 characters on one line", false;
    const std::string folder = pPath.substr(0, pPath.rfind('/'));
    const std::string parent = folder.substr(0, folder.rfind('/'));
    mkdir(parent.c_str(), 0700);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return pWhy = "Cannot make " + folder + ": " + std::strerror(errno), false;
    const std::string temporary = pPath + ".new";
    unlink(temporary.c_str());
    const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (file < 0)
        return pWhy = "Cannot write " + temporary + ": " + std::strerror(errno), false;
    const std::string text = HEADER + pPassword + "\n";
    const bool written =
        write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && fsync(file) == 0;
    if (close(file) != 0 || !written || std::rename(temporary.c_str(), pPath.c_str()) != 0)
    {
        unlink(temporary.c_str());
        return pWhy = "Cannot write " + pPath, false;
    }
    return true;
}

bool LoadLobbyPassword(const std::string& pPath, std::string& pPassword)
{
    const int file = open(pPath.c_str(), O_RDONLY);
    if (file < 0)
        return false;
    // Kept for the player alone, whatever made the file otherwise.
    fchmod(file, 0600);
    char buffer[256];
    const ssize_t size = read(file, buffer, sizeof buffer);
    close(file);
    const std::string header = HEADER;
    if (size <= 0 || static_cast<size_t>(size) >= sizeof buffer)
        return false;
    const std::string text(buffer, static_cast<size_t>(size));
    if (text.compare(0, header.size(), header) != 0 || text.back() != '\n')
        return false;
    const std::string password = text.substr(header.size(), text.size() - header.size() - 1);
    if (password.empty() || password.size() > MAX_PASSWORD_BYTES || password.find('\n') != std::string::npos)
        return false;
    pPassword = password;
    return true;
}

void ForgetLobbyPassword(const std::string& pPath)
{
    unlink(pPath.c_str());
}
