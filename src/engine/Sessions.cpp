#include "engine/Sessions.h"

#include <SDL/SDL.h>

#include <memory>

#include "engine/GameEngine.h"
#include "engine/Version.h"
#include "net/NetGame.h"
#include "replay/ReplaySession.h"
#include "ui/Settings.h"

namespace
{
std::unique_ptr<CNetGame> g_net;
unsigned g_netOpenedAt = 0;
int g_lastExitStatus = 0;
} // namespace

namespace Sessions
{
bool PlayReplay(CGameEngine& pEngine, const std::string& pPath, std::string& pWhy)
{
    if (g_net)
        return pWhy = "a network match is open", false;
    return CReplaySession::Instance().PlayNow(pEngine.GetWorld(), pPath, pWhy);
}

void Watch(CGameEngine& pEngine, unsigned pGreen, unsigned pBlue, unsigned pSeed)
{
    CReplaySession::Instance().WatchNow(pEngine.GetWorld(), pGreen, pBlue, pSeed);
}

bool OpenNet(CGameEngine& pEngine, const CNetSetup& pSetup, std::string& pWhy)
{
    if (g_net)
        CloseNet(pEngine);
    CGameWorld& world = pEngine.GetWorld();
    CNetSetup setup = pSetup;
    setup.haveSeed = world.m_hasMatchSeed;
    setup.seed = world.m_matchSeed;
    setup.version = ProgramVersion();
    setup.fingerprint = DataFingerprint(RESOURCE_CATALOGUE);
    // A desync leaves its node dump beside the replays.
    setup.dumpFolder = CReplaySession::Instance().RecordFolder();
    setup.name = world.m_playerName;
    auto game = std::make_unique<CNetGame>(pEngine, setup);
    game->m_fromMenu = true;
    // Both machines' replays give the host's start, so that they are the same file.
    CNetGame* opened = game.get();
    game->GetSession().m_onMatchStart = [opened, &world](const CNetMatchStart& pStart)
    {
        CReplaySession::Instance().SetRecordDate(pStart.date);
        // Each side by its player's name: ours from the settings, theirs from the greeting.
        const CNetSession& session = opened->GetSession();
        world.m_sideNames[session.GetTeam()] = world.m_playerName;
        world.m_sideNames[3 - session.GetTeam()] =
            IsGoodPlayerName(session.GetTheirName()) ? session.GetTheirName() : "";
    };
    if (!game->Open(pWhy))
        return false;
    g_net = std::move(game);
    g_netOpenedAt = SDL_GetTicks();
    pEngine.SetFrameHook(g_net.get());
    return true;
}

bool IsNetOpen()
{
    return g_net != nullptr;
}

std::string NetHeadline()
{
    return g_net ? g_net->GetSession().Headline() : std::string();
}

bool NetMatchSeen()
{
    return g_net && g_net->MatchSeen();
}

bool IsNetOver()
{
    return g_net && g_net->GetSession().GetPhase() == CNetSession::PHASE_OVER;
}

unsigned NetElapsedSeconds()
{
    return g_net ? (SDL_GetTicks() - g_netOpenedAt) / 1000 : 0;
}

void CloseNet(CGameEngine& pEngine)
{
    if (!g_net)
        return;
    CGameWorld& world = pEngine.GetWorld();
    // How it ended before this side leaves: giving up the wait is no failure.
    g_lastExitStatus = g_net->ExitStatus();
    if (g_net->GetSession().GetPhase() != CNetSession::PHASE_OVER)
        g_net->GetSession().Leave(world);
    if (pEngine.GetFrameHook() == g_net.get())
        pEngine.SetFrameHook(nullptr);
    g_net->GetSession().Detach(world);
    g_net.reset();
    for (std::string& name : world.m_sideNames)
        name.clear();
    // The next match draws its own seed and date again.
    CReplaySession::Instance().SetRecordDate(0);
    if (pEngine.IsRunning() && world.m_state == STATE_MATCH)
    {
        world.Pause();
        world.m_resumable = false;
    }
}

int NetExitStatus()
{
    return g_net ? g_net->ExitStatus() : g_lastExitStatus;
}
} // namespace Sessions
