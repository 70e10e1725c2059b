// ampwarden-netpeer's command line.
#include <algorithm>

#include "engine/Version.h"
#include "engine/WholeNumber.h"
#include "nettools/NetPeer.h"

namespace NetPeer
{
namespace
{
// "[::1]:PORT" or "127.0.0.1:PORT": this machine only.
bool JoinsLoopback(const char* pText, CNetAddress& pOut)
{
    std::string why;
    CNetAddress address;
    if (!ParseNetAddress(pText, address, why) || (address.host != "::1" && address.host != "127.0.0.1"))
        return false;
    pOut = address;
    return true;
}

} // namespace

bool ReadOptions(int pArgc, char** pArgv, CPeerOptions& pOut)
{
    pOut.setup.version = ProgramVersion();
    pOut.setup.fingerprint = DataFingerprint("Data/resources.xml");
    pOut.setup.address.host = "127.0.0.1";
    pOut.observe.host = "127.0.0.1";
    bool side = false;
    for (int i = 1; i + 1 < pArgc; i += 2)
    {
        const std::string name = pArgv[i];
        const char* value = pArgv[i + 1];
        long long number = 0;
        const bool isNumber = ParseWholeNumber(value, 0, 4294967295ll, number);
        if (pOut.ice.Read(name, value))
            continue;
        if (name == "--join" && std::string(value) == "ice")
            side = true, pOut.setup.hosting = false, pOut.setup.address.port = 0;
        else if (name == "--host" || name == "--join")
        {
            pOut.setup.hosting = name == "--host";
            side = isNumber && number > 0 && number < 65536;
            pOut.setup.address.port = static_cast<uint16_t>(number);
            if (!isNumber && !pOut.setup.hosting)
                side = JoinsLoopback(value, pOut.setup.address);
        }
        else if (name == "--version")
            pOut.setup.version = value;
        else if (name == "--hashes")
            pOut.hashFile = value;
        else if (name == "--dump-dir")
            pOut.setup.dumpFolder = value;
        else if (name == "--record")
            pOut.recordFolder = value;
        else if (name == "--evil")
            pOut.evil = value;
        else if (name == "--observe" && !isNumber)
            side = JoinsLoopback(value, pOut.observe) && pOut.observe.port > 0;
        else if (!isNumber || number > 1000000000)
            return false;
        else if (name == "--seed")
            pOut.setup.haveSeed = true, pOut.setup.seed = static_cast<uint32_t>(number);
        else if (name == "--steps")
            pOut.setup.stepLimit = static_cast<int>(number);
        else if (name == "--busy")
            pOut.busy = static_cast<int>(number);
        else if (name == "--script-seed")
            pOut.scriptSeed = static_cast<uint32_t>(number);
        else if (name == "--seconds")
            pOut.seconds = static_cast<int>(number);
        else if (name == "--desync-at")
            pOut.desyncAt = static_cast<int>(number);
        else if (name == "--evil-at")
            pOut.evilAt = static_cast<int>(number);
        else if (name == "--leave-at")
            pOut.leaveAt = static_cast<int>(number);
        else if (name == "--crash-at")
            pOut.crashAt = static_cast<int>(number);
        else if (name == "--crash-when-over")
            pOut.crashWhenOver = number != 0;
        else if (name == "--countdown")
            pOut.setup.resumeCountdownMs = static_cast<uint32_t>(number);
        else if (name == "--fast")
            pOut.fast = number != 0;
        else if (name == "--fast-until")
            pOut.fast = true, pOut.fastUntil = static_cast<int>(number);
        else if (name == "--drop-wait")
            pOut.setup.dropWaitMs = static_cast<uint32_t>(number);
        else if (name == "--squat")
            pOut.squatters = static_cast<int>(std::min(32ll, number));
        else if (name == "--squat-greets")
            pOut.squatGreets = number != 0;
        else if (name == "--half-open")
            pOut.halfOpen = static_cast<int>(std::min(16ll, number));
        else if (name == "--half-open-ms")
            pOut.halfOpenMs = static_cast<int>(std::max(20ll, number));
        else if (name == "--observers" && number > 0 && number < 65536)
            pOut.observersPort = static_cast<int>(number);
        else if (name == "--observe" && number > 0 && number < 65536)
            pOut.observe.port = static_cast<uint16_t>(number), side = true;
        else if (name == "--quiet-observers")
            pOut.quietObservers = number != 0;
        else if (name == "--return-tries")
            pOut.returnTries = static_cast<int>(number);
        else if (name == "--stop-reading-at")
            pOut.stopReadingAt = static_cast<int>(number);
        else if (name == "--say-at")
            pOut.sayAt = static_cast<int>(number);
        else if (name == "--chat-flood")
            pOut.chatFlood = static_cast<int>(std::min(1000ll, number));
        else
            return false;
    }
    // Joining through routers needs the files the payloads go through.
    return side &&
           (pOut.setup.hosting || pOut.setup.address.port > 0 || pOut.ice.On() || pOut.observe.port > 0);
}
} // namespace NetPeer
