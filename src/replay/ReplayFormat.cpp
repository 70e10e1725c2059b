#include "replay/ReplayFormat.h"

#include "world/ChatText.h"

#include <cmath>
#include <cstdio>

#include "ai/AIPlayer.h"
#include "world/GameWorld.h"

namespace
{
const char* const TEAM_NAMES[CTeam::MAX_TIDS] = {"grey", "green", "blue"};
const char* const TOOL_NAMES[TOOL_NONE] = {"extender", "beam", "shield", "extractor", "absorber"};
const float BOARD_WIDTH = 945.0f;
const float BOARD_HEIGHT = 630.0f;
// More nodes than a day of building could make.
const int NODE_ID_LIMIT = 10000000;

// Nine significant digits give every float back exactly.
std::string Number(float pValue)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(pValue));
    return text;
}

std::string Hex(uint64_t pHash)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(pHash));
    return text;
}

bool OnBoard(const CVector2& pPoint)
{
    return std::isfinite(pPoint.x) && std::isfinite(pPoint.y) && pPoint.x >= 0.0f &&
           pPoint.x <= BOARD_WIDTH && pPoint.y >= 0.0f && pPoint.y <= BOARD_HEIGHT;
}
} // namespace

const char* TeamName(int pTeam)
{
    return pTeam >= 0 && pTeam < CTeam::MAX_TIDS ? TEAM_NAMES[pTeam] : nullptr;
}

const char* ToolName(int pTool)
{
    return pTool >= 0 && pTool < TOOL_NONE ? TOOL_NAMES[pTool] : nullptr;
}

CReplayHeader HeaderOfMatch(const CGameWorld& pWorld, const std::string& pDate)
{
    CReplayHeader header;
    header.seed = pWorld.m_currentSeed;
    header.date = pDate;
    for (int side = 0; side < 2; ++side)
    {
        const CAIPlayer* ai = pWorld.GetTeam(side + 1).GetAI();
        header.sides[side].computer = ai != nullptr;
        header.sides[side].level = ai ? ai->GetDifficulty() : 0;
        header.sides[side].name = pWorld.SideName(side + 1);
    }
    header.demo = pWorld.m_demo;
    header.watched = pWorld.m_demoUntilDecided;
    return header;
}

const char* WinnerOfMatch(const CGameWorld& pWorld)
{
    // Only what the board decided: a network match won because the opponent left is, to the
    // simulation and so to the replay, undecided.
    switch (pWorld.m_result)
    {
    case RESULT_WIN:
        return pWorld.GetTeam(2).GetMainNode() ? "none" : "green";
    case RESULT_LOSE:
        return pWorld.GetTeam(1).GetMainNode() ? "none" : "blue";
    case RESULT_TIE:
        return "tie";
    default:
        return "none";
    }
}

std::string FormatHeader(const CReplayHeader& pHeader)
{
    std::string text = "ampwarden-replay " + std::to_string(pHeader.version) + "\n";
    text += "program " + pHeader.program + "\n";
    text += "rules " + std::to_string(pHeader.rules) + " " +
            (pHeader.commit.empty() ? "unknown" : pHeader.commit) + "\n";
    text += "data " + pHeader.data + "\n";
    text += "seed " + std::to_string(pHeader.seed) + "\n";
    text += "date " + pHeader.date + "\n";
    for (int side = 0; side < 2; ++side)
    {
        text += TEAM_NAMES[side + 1];
        if (pHeader.sides[side].computer)
            text += " computer " + std::to_string(pHeader.sides[side].level) + "\n";
        else
            text +=
                " human" + (pHeader.sides[side].name.empty() ? "" : " " + pHeader.sides[side].name) + "\n";
    }
    text += std::string("demo ") + (pHeader.demo ? "1" : "0") + "\n";
    text += std::string("watched ") + (pHeader.watched ? "1" : "0") + "\n";
    return text;
}

std::string RecordedBy(const CReplayHeader& pHeader)
{
    return "rules " + std::to_string(pHeader.rules) + " (" + pHeader.program +
           (pHeader.version < 2 ? ", from before replays named their rules)"
                                : ", commit " + (pHeader.commit.empty() ? "unknown" : pHeader.commit) + ")");
}

std::string FormatCommand(int pStep, const CMatchCommand& pCommand)
{
    std::string line = "cmd " + std::to_string(pStep) + " " + CommandKindName(pCommand.kind) + " " +
                       TEAM_NAMES[pCommand.team];
    if (pCommand.kind == CMD_BUILD)
        line += std::string(" tool ") + TOOL_NAMES[pCommand.tool] + " at " + Number(pCommand.point.x) + " " +
                Number(pCommand.point.y) + " aim " + Number(pCommand.aim.x) + " " + Number(pCommand.aim.y);
    if (pCommand.kind == CMD_BUILD || pCommand.kind == CMD_DESTROY)
        line += " node " + std::to_string(pCommand.node);
    return line + "\n";
}

std::string FormatCheck(int pStep, uint64_t pHash)
{
    return "check " + std::to_string(pStep) + " " + Hex(pHash) + "\n";
}

std::string FormatChat(int pStep, int pFrom, const std::string& pText)
{
    const std::string text = CleanChatText(pText);
    const std::string tag = ChatSenderTag(pFrom);
    if (text.empty() || tag.empty())
        return std::string();
    return "chat " + std::to_string(pStep) + " " + tag + " " + text + "\n";
}

std::string FormatEnd(int pStep, const char* pWinner, uint64_t pHash)
{
    return "end " + std::to_string(pStep) + " " + pWinner + " " + Hex(pHash) + "\n";
}

uint64_t EndLineHash(int pVersion, uint64_t pStateHash, int pStep)
{
    if (pVersion < 3)
        return pStateHash;
    return (pStateHash ^ static_cast<uint64_t>(pStep)) * 1099511628211ull;
}

std::string WhyNotRecordable(const CMatchCommand& pCommand)
{
    if (!CommandKindName(pCommand.kind) || pCommand.kind == CMD_RESTART)
        return "no such command";
    if (!TeamName(pCommand.team))
        return "no such side";
    if (pCommand.step < 0 || pCommand.step > ReplayFormat::STEP_LIMIT)
        return "step out of range";
    const bool build = pCommand.kind == CMD_BUILD;
    if (build && !ToolName(pCommand.tool))
        return "no such tool";
    if (build && (!OnBoard(pCommand.point) || !OnBoard(pCommand.aim)))
        return "place off the board";
    if ((build || pCommand.kind == CMD_DESTROY) && (pCommand.node <= 0 || pCommand.node > NODE_ID_LIMIT))
        return "node id out of range";
    return std::string();
}
