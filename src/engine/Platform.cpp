#include "engine/Platform.h"

#include <cstdio>

#include <algorithm>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

std::string NativePath(const char* pPath)
{
    std::string path = pPath ? pPath : "";
#ifndef _WIN32
    // The catalogue writes paths the Windows way; everywhere else the separator is '/'.
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}

std::string Printable(const std::string& pText)
{
    std::string text;
    for (unsigned char c : pText)
    {
        if (c >= 0x20 && c != 0x7f)
        {
            text += static_cast<char>(c);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
        text += escaped;
    }
    return text;
}

void OpenStandardDescriptors()
{
#ifndef _WIN32
    for (int fd = 0; fd <= 2; ++fd)
    {
        if (fcntl(fd, F_GETFD) != -1)
            continue;
        // The lowest free descriptor is the closed one.
        int opened = open("/dev/null", O_RDWR);
        if (opened > 2)
            close(opened);
    }
#endif
}
