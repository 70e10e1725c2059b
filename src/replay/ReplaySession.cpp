#include "replay/ReplaySession.h"

#include <cstdio>

#include "engine/GameEngine.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"
#include "replay/ReplayRecorder.h"
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
    m_folder = pFolder;
}

std::string CReplaySession::RecordFolder() const
{
    if (!m_record)
        return std::string();
    return m_folder.empty() ? DefaultReplayFolder() : m_folder;
}

void CReplaySession::SetRecordDate(long long pSeconds)
{
    if (m_recorder)
        m_recorder->SetDate(ReplayDate(pSeconds));
}

void CReplaySession::Attach(CGameWorld& pWorld, bool pWatch)
{
    if (m_record)
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
    CReplay replay;
    std::string why;
    if (!LoadReplay(m_file, ExpectedHere(RESOURCE_CATALOGUE), replay, why))
    {
        std::fprintf(stderr, "ampwarden: cannot play %s: %s\n", m_file.c_str(), why.c_str());
        pWorld.m_notice = "Cannot play the replay: " + why;
        pWorld.m_state = STATE_MENU;
        return;
    }
    m_player = std::make_unique<CReplayPlayer>(pWorld, replay);
    const std::string file = m_file;
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
