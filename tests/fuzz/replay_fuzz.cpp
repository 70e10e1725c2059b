// Replay files through the game's reader, and the short ones it accepts through the player,
// which refuses commands naming nodes the match never had.
#include <cstdint>
#include <string>

#include "engine/GameEngine.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "replay/ReplayVerify.h"
#include "world/GameWorld.h"

namespace
{
// Long enough for a few checkpoints, short enough to keep the fuzzer fast.
const int PLAYED_STEP_LIMIT = 300;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t pSize)
{
    static const bool configured = (CGameEngine::Instance().Configure(DisplayConfig::Default()), true);
    (void)configured;
    CReplay replay;
    std::string why;
    // Any program version and data: the fuzzer's inputs are not tied to this build.
    if (!ParseReplay(std::string(reinterpret_cast<const char*>(pData), pSize), CReplayExpect(), replay, why))
        return 0;
    if (CReplayPlayer(TheWorld(), replay).GetLastStep() <= PLAYED_STEP_LIMIT)
        CheckReplay(replay);
    return 0;
}
