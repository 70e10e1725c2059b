// Replays fuzz inputs without libFuzzer, so every test run goes over the seed corpus and the
// reproducers of past findings: each file named, or in a folder named, goes once through the
// target's entry point. A crash or sanitizer report fails the run, and so does an input after
// which the peak memory is past the fuzzers' limit (tools/fuzz.sh).
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize);
extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv) __attribute__((weak));

namespace
{
const long RSS_LIMIT_KB = 1024L << 10;

void Collect(const std::string& pPath, std::vector<std::string>& pFiles)
{
    struct stat info;
    if (stat(pPath.c_str(), &info) != 0)
        return;
    if (!S_ISDIR(info.st_mode))
    {
        pFiles.push_back(pPath);
        return;
    }
    DIR* dir = opendir(pPath.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.')
            Collect(pPath + "/" + entry->d_name, pFiles);
    closedir(dir);
}
} // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i)
        Collect(argv[i], files);
    std::sort(files.begin(), files.end());
    for (const std::string& file : files)
    {
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        struct rusage usage;
        if (getrusage(RUSAGE_SELF, &usage) == 0 && usage.ru_maxrss > RSS_LIMIT_KB)
        {
            std::fprintf(stderr, "%s: peak memory %ld MB, over %ld MB\n", file.c_str(), usage.ru_maxrss >> 10,
                         RSS_LIMIT_KB >> 10);
            return 1;
        }
    }
    std::printf("replayed %zu inputs\n", files.size());
    // An empty corpus is a mistake in the test set-up, not a pass.
    return files.empty() ? 1 : 0;
}
