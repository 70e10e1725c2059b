#include "engine/Platform.h"

#include <algorithm>

std::string NativePath(const char* pPath)
{
    std::string path = pPath ? pPath : "";
#ifndef _WIN32
    // The catalogue writes paths the Windows way; everywhere else the separator is '/'.
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}
