// Settings files and the list of addresses joined lately through their readers; whatever is
// read back must format and read again to the same settings.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    const std::string text(reinterpret_cast<const char*>(pData), pSize);
    CSettings read;
    std::string why;
    ParseSettings(text, read, why);
    CSettings again;
    if (!IsGoodPlayerName(read.name) || !ParseSettings(FormatSettings(read), again, why) || !(again == read))
        std::abort();
    for (const std::string& host : ParseRecentHosts(text))
    {
        if (host.empty() || host.size() > 64)
            std::abort();
    }
    return 0;
}
