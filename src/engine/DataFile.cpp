#include "engine/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/Platform.h"

bool ReadDataFile(const char* pPath, size_t pLimit, std::vector<unsigned char>& pBytes, std::string& pWhy)
{
    pBytes.clear();
    const std::string path = NativePath(pPath);
    // Opened without blocking, so a FIFO is seen for what it is before anything waits on it.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        pWhy = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        close(fd);
        pWhy = "cannot read " + path + ": not a regular file";
        return false;
    }
    if (static_cast<unsigned long long>(info.st_size) > pLimit)
    {
        close(fd);
        pWhy = path + " is too large (over " + std::to_string(pLimit) + " bytes)";
        return false;
    }
    pBytes.resize(static_cast<size_t>(info.st_size));
    size_t got = 0;
    while (got < pBytes.size())
    {
        ssize_t n = read(fd, pBytes.data() + got, pBytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            const int error = errno;
            close(fd);
            pBytes.clear();
            pWhy = "cannot read " + path + ": " + std::strerror(error);
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    // A file that shrank while it was read ends where the reading did.
    pBytes.resize(got);
    return true;
}
