#include "engine/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/Platform.h"

namespace
{
// Why a read failed: the errno of a call, or a file that is not a regular one or too large.
enum class ReadFault
{
    NONE,
    ERROR,
    FOLDER,
    NOT_REGULAR,
    TOO_LARGE
};

// Opened without blocking, so a FIFO is seen for what it is before anything waits on it, and
// its size known before a byte is read, so a device or a huge file costs nothing.
template <typename Buffer>
ReadFault ReadWhole(const std::string& pPath, size_t pLimit, Buffer& pOut, int& pError)
{
    pOut.clear();
    int fd = open(pPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return pError = errno, ReadFault::ERROR;
    struct stat info;
    ReadFault fault = ReadFault::NONE;
    if (fstat(fd, &info) != 0)
        fault = (pError = errno, ReadFault::ERROR);
    else if (S_ISDIR(info.st_mode))
        fault = ReadFault::FOLDER;
    else if (!S_ISREG(info.st_mode))
        fault = ReadFault::NOT_REGULAR;
    else if (static_cast<unsigned long long>(info.st_size) > pLimit)
        fault = ReadFault::TOO_LARGE;
    if (fault != ReadFault::NONE)
    {
        close(fd);
        return fault;
    }
    pOut.resize(static_cast<size_t>(info.st_size));
    size_t got = 0;
    while (got < pOut.size())
    {
        ssize_t n = read(fd, &pOut[got], pOut.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            pError = errno;
            close(fd);
            pOut.clear();
            return ReadFault::ERROR;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    // A file that shrank while it was read ends where the reading did; one that grew, where
    // it was measured.
    pOut.resize(got);
    return ReadFault::NONE;
}
} // namespace

bool ReadDataFile(const char* pPath, size_t pLimit, std::vector<unsigned char>& pBytes, std::string& pWhy)
{
    const std::string native = NativePath(pPath);
    const std::string path = Printable(native);
    int error = 0;
    switch (ReadWhole(native, pLimit, pBytes, error))
    {
    case ReadFault::NONE:
        return true;
    case ReadFault::ERROR:
        pWhy = "cannot read " + path + ": " + std::strerror(error);
        return false;
    case ReadFault::TOO_LARGE:
        pWhy = path + " is too large (over " + std::to_string(pLimit) + " bytes)";
        return false;
    default:
        pWhy = "cannot read " + path + ": not a regular file";
        return false;
    }
}

bool ReadRegularFile(const std::string& pPath, size_t pLimit, std::string& pText, std::string& pWhy)
{
    int error = 0;
    switch (ReadWhole(pPath, pLimit, pText, error))
    {
    case ReadFault::NONE:
        return true;
    case ReadFault::ERROR:
        pWhy = std::string("cannot read it: ") + std::strerror(error);
        return false;
    case ReadFault::FOLDER:
        pWhy = "a folder, not a file";
        return false;
    case ReadFault::NOT_REGULAR:
        pWhy = "not a regular file";
        return false;
    default:
        pWhy = "too large (over " + std::to_string(pLimit) + " bytes)";
        return false;
    }
}
