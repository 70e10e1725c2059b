#include "app/Sessions.h"

#include <SDL/SDL.h>

#include <memory>

#include "engine/GameEngine.h"
#include "engine/Version.h"
#include "net/NetGame.h"
#include "net/NetObserveGame.h"
#include "replay/ReplaySession.h"
#include "ui/Settings.h"
#include "world/GameWorld.h"

namespace
{
std::unique_ptr<CNetGame> g_net;
std::unique_ptr<CNetObserveGame> g_watch;
unsigned g_netOpenedAt = 0;
int g_lastExitStatus = 0;
// The run's own seed (-seed), given back when a session that set the friend's seed closes.
bool g_hadSeed = false;
unsigned g_seed = 0;

void Opened(CGameEngine& pEngine, CFrameHook* pHook)
{
    g_netOpenedAt = SDL_GetTicks();
    g_hadSeed = TheWorld().m_hasMatchSeed;
    g_seed = TheWorld().m_matchSeed;
    pEngine.SetFrameHook(pHook);
}

void Closed(CGameEngine& pEngine, CFrameHook* pHook)
{
    if (pEngine.GetFrameHook() == pHook)
        pEngine.SetFrameHook(nullptr);
    CGameWorld& world = TheWorld();
    world.m_hasMatchSeed = g_hadSeed;
    world.m_matchSeed = g_seed;
}
} // namespace

namespace Sessions
{
bool PlayReplay(CGameEngine& /*pEngine*/, const std::string& pPath, std::string& pWhy)
{
    if (g_net || g_watch)
        return pWhy = "a network match is open", false;
    return CReplaySession::Instance().PlayNow(TheWorld(), pPath, pWhy);
}

void Watch(CGameEngine& /*pEngine*/, unsigned pGreen, unsigned pBlue, unsigned pSeed)
{
    CReplaySession::Instance().WatchNow(TheWorld(), pGreen, pBlue, pSeed);
}

bool OpenNet(CGameEngine& pEngine, const CNetSetup& pSetup, std::string& pWhy)
{
    CloseNet(pEngine);
    CGameWorld& world = TheWorld();
    CNetSetup setup = pSetup;
    setup.haveSeed = world.m_hasMatchSeed;
    setup.seed = world.m_matchSeed;
    setup.version = ProgramVersion();
    setup.fingerprint = DataFingerprint(RESOURCE_CATALOGUE);
    // A desync leaves its node dump beside the replays.
    setup.dumpFolder = CReplaySession::Instance().RecordFolder();
    setup.name = world.m_playerName;
    auto game = std::make_unique<CNetGame>(pEngine, setup);
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
    Opened(pEngine, g_net.get());
    return true;
}

bool OpenObserve(CGameEngine& pEngine, const CNetAddress& pAddress, std::string& pWhy)
{
    CloseNet(pEngine);
    auto watch = std::make_unique<CNetObserveGame>(pEngine);
    if (!watch->Open(pAddress, pWhy))
        return false;
    g_watch = std::move(watch);
    Opened(pEngine, g_watch.get());
    return true;
}

bool IsNetOpen()
{
    return g_net || g_watch;
}

std::string NetHeadline()
{
    if (g_watch)
        return g_watch->Headline();
    return g_net ? g_net->GetSession().Headline() : std::string();
}

bool NetMatchSeen()
{
    return (g_net && g_net->MatchSeen()) || (g_watch && g_watch->BoardShown());
}

bool IsNetOver()
{
    return (g_net && g_net->GetSession().GetPhase() == CNetSession::PHASE_OVER) ||
           (g_watch && g_watch->IsOver());
}

unsigned NetElapsedSeconds()
{
    return IsNetOpen() ? (SDL_GetTicks() - g_netOpenedAt) / 1000 : 0;
}

void CloseNet(CGameEngine& pEngine)
{
    if (g_watch)
    {
        // Given up or stopped by choice is no failure; the world goes back to the menu.
        g_watch->Leave();
        g_lastExitStatus = g_watch->ExitStatus();
        Closed(pEngine, g_watch.get());
        g_watch.reset();
        return;
    }
    if (!g_net)
        return;
    CGameWorld& world = TheWorld();
    // How it ended before this side leaves: giving up the wait is no failure.
    g_lastExitStatus = g_net->ExitStatus();
    if (g_net->GetSession().GetPhase() != CNetSession::PHASE_OVER)
        g_net->GetSession().Leave(world);
    g_net->GetSession().Detach(world);
    Closed(pEngine, g_net.get());
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
    if (g_watch)
        return g_watch->ExitStatus();
    return g_net ? g_net->ExitStatus() : g_lastExitStatus;
}
} // namespace Sessions
