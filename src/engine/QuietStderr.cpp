#include "engine/QuietStderr.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

CQuietStderr::CQuietStderr()
{
    std::fflush(stderr);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0)
        return;
    m_saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (m_saved >= 0)
        dup2(null, STDERR_FILENO);
    close(null);
}

CQuietStderr::~CQuietStderr()
{
    if (m_saved < 0)
        return;
    std::fflush(stderr);
    dup2(m_saved, STDERR_FILENO);
    close(m_saved);
}
