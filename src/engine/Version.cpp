#include "engine/Version.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/DataFile.h"

// AW_COMMIT_STRING: the commit, "-modified" after it for a build of changed sources.
#include "BuildCommit.h"

#ifndef AW_VERSION_STRING
#error "the build defines AW_VERSION_STRING"
#endif

const char* ProgramVersion()
{
    return AW_VERSION_STRING;
}

const char* BuildCommit()
{
    return AW_COMMIT_STRING;
}

std::string ThisBuild(int pRules)
{
    const std::string commit = BuildCommit();
    return "rules " + std::to_string(pRules) + " (" + ProgramVersion() + ", commit " +
           (commit.empty() ? "unknown" : commit) + ")";
}

std::string DataFingerprint(const char* pCatalogue)
{
    std::vector<unsigned char> bytes;
    std::string why;
    if (!ReadDataFile(pCatalogue, MEDIA_FILE_LIMIT, bytes, why))
        return std::string();
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : bytes)
    {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}
