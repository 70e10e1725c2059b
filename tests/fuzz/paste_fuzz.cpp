// Text pasted from another program into the address field, and read as an address: the field
// keeps printable ASCII within its limit, the address read has no space at either end.
#include <SDL/SDL_keysym.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/NetAddress.h"
#include "ui/FriendScreen.h"
#include "ui/Widgets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    CTextField field(CRect{}, "Join", 64, "x");
    field.OnKey(SDLK_LEFT, 0, 0);
    field.Insert(std::string(reinterpret_cast<const char*>(pData), pSize));
    const std::string& kept = field.GetText();
    if (kept.size() > 64 || field.GetCursor() > kept.size() ||
        !std::all_of(kept.begin(), kept.end(), [](char c) { return c >= ' ' && c <= '~'; }))
        std::abort();
    std::string address, problem;
    CNetAddress read;
    const bool good = ReadTypedAddress(kept, "join", address, read, problem);
    if (good ? address.empty() || address.front() == ' ' || address.back() == ' ' : problem.empty())
        std::abort();
    return 0;
}
