#include "engine/Assert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void AssertFailed(const char* pCondition, const char* pFile, int pLine)
{
    const char* name = std::strrchr(pFile, '/');
    name = name ? name + 1 : pFile;
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", pCondition, name, pLine);
    std::fflush(stderr);
    std::abort();
}
