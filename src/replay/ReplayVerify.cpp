#include "replay/ReplayVerify.h"

#include <chrono>
#include <cstdio>

#include "engine/GameEngine.h"
#include "replay/ReplayPlayer.h"
#include "world/GameWorld.h"
#include "world/MatchHash.h"

namespace
{
std::string Hex(uint64_t pHash)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(pHash));
    return text;
}
} // namespace

CReplayCheck CheckReplay(const CReplay& pReplay, const std::function<bool(CGameWorld&)>& pEachStep)
{
    const auto start = std::chrono::steady_clock::now();
    CGameWorld& world = TheWorld();
    const bool keepEffects = world.m_keepEffects;
    // Effects are only drawn; their random draws happen all the same.
    world.m_keepEffects = false;
    CReplayPlayer player(world, pReplay);
    player.Start();
    bool goOn = !pEachStep || pEachStep(world);
    while (goOn && player.GetOutcome() == CReplayPlayer::PLAYING && player.BeforeStep(world))
    {
        world.RunMatchStep();
        goOn = !pEachStep || pEachStep(world);
    }
    CReplayCheck check;
    check.outcome = player.GetOutcome();
    check.checksPassed = player.GetChecksPassed();
    check.compared = pReplay.ended || !pReplay.checks.empty();
    // A file with neither checkpoints nor an end line proves nothing, however it plays.
    check.agrees = check.outcome == CReplayPlayer::ENDED && check.compared;
    check.steps = world.m_matchSteps;
    check.winner = WinnerOfMatch(world);
    check.hash = EndLineHash(pReplay.header.version, HashMatchState(world), world.m_matchSteps);
    check.problemStep = player.GetProblemStep();
    check.recorded = player.GetRecordedHash();
    check.computed = player.GetComputedHash();
    check.why = player.GetWhy();
    check.difference = player.GetDifference();
    player.Stop();
    world.ClearMatch();
    world.m_keepEffects = keepEffects;
    check.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return check;
}

std::string CheckLine(const std::string& pFile, const CReplay& pReplay, const CReplayCheck& pCheck)
{
    std::string line = pFile + ": ";
    switch (pCheck.outcome)
    {
    case CReplayPlayer::ENDED:
        if (!pCheck.compared)
            return line + "nothing to compare: no checkpoint and no end line (" +
                   std::to_string(pCheck.steps) + " steps played)";
        line += "ok, " + std::to_string(pCheck.steps) + " steps, winner " + pCheck.winner + ", hash " +
                Hex(pCheck.hash) + ", " + std::to_string(pCheck.checksPassed) + " checkpoints";
        return line + (pReplay.ended ? " and the end line agree" : " agree (cut short: no end line)");
    case CReplayPlayer::OUT_OF_SYNC:
        return line + "out of sync at step " + std::to_string(pCheck.problemStep) + ": " + pCheck.difference;
    case CReplayPlayer::REFUSED:
        return line + "refused: " + pCheck.why;
    default:
        return line + "stopped at step " + std::to_string(pCheck.steps);
    }
}
