// The other side's ICE payload, as the lobby hands it over, through the reader: whatever it
// takes stays within the bounds the link relies on, and reads back the same once written.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/IcePayload.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    const std::string text(reinterpret_cast<const char*>(pData), pSize);
    CIcePayload payload;
    size_t skipped = 0;
    std::string why;
    if (!DecodeIcePayload(text, payload, skipped, why))
    {
        if (why.empty())
            std::abort();
        return 0;
    }
    if (payload.candidates.size() > Ice::MAX_CANDIDATES || payload.ufrag.size() > 32 ||
        payload.password.size() > 256)
        std::abort();
    CIcePayload again;
    if (!DecodeIcePayload(EncodeIcePayload(payload), again, skipped, why) || skipped != 0 ||
        EncodeIcePayload(again) != EncodeIcePayload(payload))
        std::abort();
    return 0;
}
