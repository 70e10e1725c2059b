#include "replay/ReplaySession.h"

#include <cstdio>

#include "engine/GameEngine.h"
#include "engine/Platform.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayTimeline.h"
#include "replay/ViewerControls.h"
#include "world/GameWorld.h"

CReplaySession& CReplaySession::Instance()
{
    // Never destroyed, like the engine that calls it.
    static CReplaySession* session = new CReplaySession;
    return *session;
}

CReplaySession::CReplaySession() = default;
CReplaySession::~CReplaySession() = default;

void CReplaySession::RecordInto(const std::string& pFolder)
{
    m_record = true;
    m_recordAsked = true;
    m_folder = pFolder;
}

std::string CReplaySession::RecordFolder() const
{
    if (!m_record)
        return std::string();
    return m_folder.empty() ? DefaultReplayFolder() : m_folder;
}

std::string CReplaySession::ReplayFolder() const
{
    return m_folder.empty() ? DefaultReplayFolder() : m_folder;
}

void CReplaySession::SetRecordDate(long long pSeconds)
{
    if (m_recorder)
        m_recorder->SetDate(pSeconds > 0 ? ReplayDate(pSeconds) : std::string());
}

void CReplaySession::RecordChat(CGameWorld& pWorld, int pFrom, const std::string& pText)
{
    if (m_recorder)
        m_recorder->OnChat(pWorld, pFrom, pText);
}

void CReplaySession::Attach(CGameWorld& pWorld, bool pWatch)
{
    if (m_record && !m_recorder)
    {
        m_recorder = std::make_unique<CReplayRecorder>(RecordFolder());
        m_recorder->Attach(pWorld);
    }
    if (pWatch)
    {
        m_viewer = std::make_unique<CViewerControls>(pWorld);
        pWorld.m_driver = m_viewer.get();
    }
}

void CReplaySession::Begin(CGameWorld& pWorld)
{
    if (m_file.empty())
        return;
    std::string why;
    if (!PlayNow(pWorld, m_file, why))
    {
        pWorld.m_notice = "Cannot play the replay: " + why;
        pWorld.m_state = STATE_MENU;
    }
}

bool CReplaySession::PlayNow(CGameWorld& pWorld, const std::string& pFile, std::string& pWhy)
{
    CReplay replay;
    if (!LoadReplay(pFile, ExpectedHere(RESOURCE_CATALOGUE), replay, pWhy))
    {
        std::fprintf(stderr, "ampwarden: cannot play %s: %s\n", Printable(pFile).c_str(), pWhy.c_str());
        return false;
    }
    if (m_player)
        m_player->Stop();
    // The time line's marks from a play of its own before the viewer starts, kept by no recorder.
    std::function<bool(const CGameWorld&)> leaveOut;
    if (m_recorder)
    {
        leaveOut = m_recorder->m_leaveOut;
        m_recorder->m_leaveOut = [](const CGameWorld&) { return true; };
    }
    const CReplayTimeline timeline = CReplayTimeline::Gather(replay);
    if (m_recorder)
        m_recorder->m_leaveOut = leaveOut;
    m_player = std::make_unique<CReplayPlayer>(pWorld, replay);
    m_player->SetTimeline(timeline);
    const std::string file = Printable(pFile);
    m_player->m_onDone = [&pWorld, file](CReplayPlayer& pPlayer)
    {
        switch (pPlayer.GetOutcome())
        {
        case CReplayPlayer::ENDED:
            std::printf("ampwarden: %s played to step %d, %d checkpoints agreeing\n", file.c_str(),
                        pPlayer.GetProblemStep(), pPlayer.GetChecksPassed());
            std::fflush(stdout);
            pWorld.EndMatchUndecided();
            break;
        case CReplayPlayer::OUT_OF_SYNC:
            std::fprintf(stderr, "ampwarden: %s: %s\n", file.c_str(), pPlayer.GetWhy().c_str());
            pWorld.m_notice = pPlayer.GetWhy();
            break;
        default:
            std::fprintf(stderr, "ampwarden: cannot play %s: %s\n", file.c_str(), pPlayer.GetWhy().c_str());
            pWorld.Pause();
            pWorld.m_resumable = false;
            pWorld.m_notice = "Cannot play the replay: " + pPlayer.GetWhy();
            break;
        }
    };
    m_player->Start();
    return true;
}

void CReplaySession::WatchNow(CGameWorld& pWorld, unsigned pGreen, unsigned pBlue, unsigned pSeed)
{
    if (m_player)
        m_player->Stop();
    pWorld.m_demoLevels[0] = pGreen;
    pWorld.m_demoLevels[1] = pBlue;
    // The seed for this match only, as a replay's.
    const bool hadSeed = pWorld.m_hasMatchSeed;
    const unsigned seed = pWorld.m_matchSeed;
    pWorld.SetMatchSeed(pSeed);
    pWorld.StartWatchedMatch();
    pWorld.m_hasMatchSeed = hadSeed;
    pWorld.m_matchSeed = seed;
    if (!m_viewer)
        m_viewer = std::make_unique<CViewerControls>(pWorld);
    pWorld.m_driver = m_viewer.get();
    pWorld.m_playerCommandRoute = nullptr;
}

void CReplaySession::RecordFromSettings(CGameWorld& pWorld, bool pOn)
{
    if (m_recordAsked)
        return;
    m_record = pOn;
    if (!pOn && m_recorder)
    {
        m_recorder->Detach(pWorld);
        m_recorder.reset();
        pWorld.m_seedEveryMatch = false;
    }
    if (pOn && !m_recorder)
    {
        m_recorder = std::make_unique<CReplayRecorder>(RecordFolder());
        // Neither the menu's demo nor a replay being played is a match of its own.
        m_recorder->m_leaveOut = [](const CGameWorld& pMatch)
        {
            return (pMatch.m_demo && !pMatch.m_demoUntilDecided) ||
                   dynamic_cast<CReplayPlayer*>(pMatch.m_driver) != nullptr;
        };
        m_recorder->Attach(pWorld);
    }
}

void CReplaySession::Detach(CGameWorld& pWorld)
{
    if (m_recorder)
        m_recorder->Detach(pWorld);
    if (m_player)
        m_player->Stop();
    if (m_viewer && pWorld.m_driver == m_viewer.get())
        pWorld.m_driver = nullptr;
}
