// The world's states and the set-up of a match: intro, menu, pausing, new match, the end
// of a match and the demo's clock.
#include <SDL/SDL_mixer.h>

#include <chrono>

#include "ai/AIPlayer.h"
#include "engine/Assert.h"
#include "engine/GameEngine.h"
#include "engine/Platform.h"
#include "media/Audio.h"
#include "media/Graphic.h"
#include "media/SoundManager.h"
#include "nodes/EntityRegistry.h"
#include "nodes/MainNode.h"
#include "nodes/RandomTable.h"
#include "nodes/ResourceNode.h"
#include "world/GameWorld.h"
#include "world/MatchObserver.h"

namespace
{
const int DEMO_KEEP_ALIVE_MS = 30000;
const int MUSIC_FADE_MS = 2000;

// Differs between matches started within the same clock tick, and between runs.
unsigned ClockSeed()
{
    static unsigned drawn = 0;
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    return static_cast<unsigned>(now ^ (now >> 32)) ^ (++drawn * 2654435761u);
}
} // namespace

void CGameWorld::ShowMessage(const char* pText)
{
    m_message = pText;
    m_messageTimer.Fill();
}

void CGameWorld::ShowPlayerMessage(int pTeam, const char* pText)
{
    if (pTeam == m_playerTeam && !m_demo && !m_watchingOnly)
        ShowMessage(pText);
}

// --- intro and menu ---

void CGameWorld::UpdateIntro(bool* pContinue)
{
    *pContinue = false;
    if (m_introStage.GetValue() == 0)
    {
        HaltAllChannels();
        m_state = STATE_MENU;
        HighlightMenu();
        return;
    }
    AW_ASSERT(m_GameEngine);
    if (m_GameEngine->HasOption("nointro"))
    {
        SkipIntro();
        *pContinue = true;
        return;
    }
    if (m_introStage.GetValue() == m_introStage.GetMax() && m_introTimer.GetValue() == m_introTimer.GetMax())
        PlaySound("QuillmothIntro");
    m_introTimer.Add(-static_cast<int>(m_stepLength));
    if (m_introTimer.IsEmpty())
    {
        m_introStage.Add(-1);
        m_introTimer.Reset(m_introDurations[m_introStage.GetValue()]);
    }
}

void CGameWorld::SkipIntro()
{
    // The next step leaves the intro.
    m_introStage.SetValue(0);
    m_introTimer.SetValue(0);
}

void CGameWorld::UpdateMenuMusic()
{
    // Without an audio device there is nothing to play.
    if (!IsAudioOpen())
        return;
    if (!m_music.Get())
    {
        // A file that cannot be read or decoded is tried again a second later, not every step.
        m_musicRetryMs -= static_cast<int>(m_stepLength);
        if (m_musicRetryMs > 0)
            return;
        m_musicRetryMs = MUSIC_RETRY_MS;
        if (!m_music.Load("Data\\sounds\\menu_music.ogg"))
            return;
    }
    if (Mix_PlayingMusic() == 0)
        Mix_PlayMusic(m_music.Get(), -1);
}

bool CGameWorld::IsMenuRowEnabled(int pRow, bool pMainMenu) const
{
    if (pMainMenu)
        return pRow == 0 || pRow == 3 || (pRow == 1 && m_resumable) ||
               (pRow >= FIRST_SCREEN_ROW && pRow < FIRST_SCREEN_ROW + SCREEN_ROW_COUNT);
    return pRow == 0 || (pRow >= 2 && pRow < 2 + MENU_LEVEL_COUNT);
}

void CGameWorld::HighlightMenu()
{
    m_difficultyHover = -1;
    m_difficultyListOpen = false;
    m_menuHover = IsMenuRowEnabled(m_lastMenuRow, true) ? m_lastMenuRow : 0;
}

void CGameWorld::MenuSelect()
{
    AW_ASSERT(m_GameEngine);
    if (m_menuHover != -1)
        m_lastMenuRow = m_menuHover;
    switch (m_menuHover)
    {
    case 0:
        m_difficultyListOpen = !m_difficultyListOpen;
        PlaySound("MenuSwoosh");
        break;
    case 1:
        if (m_resumable)
            ResumeMatch();
        break;
    case 3:
        m_GameEngine->Quit();
        break;
    default:
        if (m_menuHover >= FIRST_SCREEN_ROW && m_menuHover < FIRST_SCREEN_ROW + SCREEN_ROW_COUNT &&
            m_openScreen)
        {
            PlaySound("MenuSwoosh");
            m_openScreen(m_menuHover - FIRST_SCREEN_ROW);
        }
        break;
    }
    if (m_difficultyHover != -1)
        StartMatchFromMenu(m_difficultyHover);
}

void CGameWorld::StartMatchFromMenu(int pRow)
{
    m_demo = (pRow == 0);
    m_demoUntilDecided = false;
    m_showsResult = false;
    m_capSteps = 0;
    // The demo is watched with the viewer's keys and legend, like any match nobody plays.
    CMatchDriver* demoViewer = m_demoViewer ? m_demoViewer() : nullptr;
    if (m_demo && m_driver == nullptr)
        m_driver = demoViewer;
    else if (!m_demo && demoViewer && m_driver == demoViewer)
        m_driver = nullptr;
    ClearMatch();
    NewMatch();
    m_state = STATE_MATCH;
    PlaySound("MenuSwoosh");
    // Rows from 2 on are the menu's levels, weakest first; the demo keeps blue's own default.
    if (pRow >= 2 && pRow < 2 + MENU_LEVEL_COUNT)
    {
        if (CAIPlayer* ai = GetTeam(2).GetAI())
            ai->SetDifficulty(MENU_LEVELS[pRow - 2]);
    }
}

void CGameWorld::StartWatchedMatch()
{
    m_demo = true;
    m_demoUntilDecided = true;
    m_showsResult = true;
    m_capSteps = WATCH_CAP_STEPS;
    ClearMatch();
    NewMatch();
    m_state = STATE_MATCH;
}

void CGameWorld::SetMatchSeed(unsigned pSeed)
{
    m_hasMatchSeed = true;
    m_matchSeed = pSeed;
}

void CGameWorld::ResumeMatch()
{
    FadeOutMusic(MUSIC_FADE_MS);
    HaltAllChannels();
    PlaySound("MenuSwoosh");
    m_state = STATE_MATCH;
}

void CGameWorld::Pause()
{
    HaltAllChannels();
    // A decided match cannot be resumed.
    if (m_result != RESULT_UNDECIDED)
        m_resumable = false;
    HighlightMenu();
    m_state = STATE_MENU;
    PlaySound("MenuSwoosh");
}

// --- the board ---

void CGameWorld::ClearMatch()
{
    m_watchingOnly = false;
    for (CMatchObserver* observer : std::vector<CMatchObserver*>(m_observers))
        observer->OnMatchCleared(*this);
    m_pendingCommands.clear();
    // Detach the lists first: a node's death may add sparks while it is deleted.
    std::vector<CEntity*> nodes;
    nodes.swap(m_nodes);
    m_index.Invalidate();
    for (CEntity* node : nodes)
        delete node;
    std::vector<CGraphic*> effects;
    effects.swap(m_effects);
    for (CGraphic* effect : effects)
        delete effect;
    m_resumable = false;
}

void CGameWorld::NewMatch()
{
    AW_ASSERT(m_GameEngine);
    FadeOutMusic(MUSIC_FADE_MS);
    HaltAllChannels();
    // With a seed every match unfolds the same way, step for step.
    if (m_hasMatchSeed || m_seedEveryMatch)
    {
        m_currentSeed = m_hasMatchSeed ? m_matchSeed : ClockSeed();
        RandomTable::GetInstance().FillFromSeed(m_currentSeed);
    }
    m_notice.clear();
    m_matchSteps = 0;
    m_pendingCommands.clear();
    m_matchAnnounced = false;
    m_matchIdBase = PeekNextEntityId() - 1;

    m_debug = m_GameEngine->HasOption("debug");
    m_viewCentre = CVector2(m_boardWidth * 0.5f, m_boardHeight * 0.5f);
    m_zoom = 1.0f;

    m_stepAccumulator = 0;
    m_playerTeam = 1;
    m_overlayMode = 0;
    // So that the first step of the match thinks.
    m_thinkAccumulator = m_thinkPeriod;
    m_spinAngle = 0.0f;
    m_demoTimer.Fill();
    m_messageTimer.SetValue(0);
    m_selectedTool = TOOL_NONE;
    m_placeMode = PLACE_IDLE;
    m_placeSourceId = 0;
    m_resumable = false;
    m_result = RESULT_UNDECIDED;
    m_message.clear();

    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
        GetTeam(id).Init(id);
    if (m_demo)
        GetTeam(1).SetAI(true);
    GetTeam(2).SetAI(true);
    if (m_demo)
    {
        GetTeam(1).GetAI()->SetDifficulty(m_demoLevels[0]);
        GetTeam(2).GetAI()->SetDifficulty(m_demoLevels[1]);
    }

    // The layout is fixed and mirror-symmetric.
    const float w = m_boardWidth;
    const float h = m_boardHeight;
    AddResourceSite(CVector2(w / 6.0f - 30.0f, h * 0.5f + 150.0f));
    AddResourceSite(CVector2(w / 6.0f - 30.0f, h * 0.5f - 150.0f));
    AddResourceSite(CVector2(w / 6.0f + 150.0f, h * 0.5f + 250.0f));
    AddResourceSite(CVector2(w / 6.0f + 150.0f, h * 0.5f - 250.0f));
    AddResourceSite(CVector2(w * 5.0f / 6.0f + 30.0f, h * 0.5f + 150.0f));
    AddResourceSite(CVector2(w * 5.0f / 6.0f + 30.0f, h * 0.5f - 150.0f));
    AddResourceSite(CVector2(w * 5.0f / 6.0f - 150.0f, h * 0.5f + 250.0f));
    AddResourceSite(CVector2(w * 5.0f / 6.0f - 150.0f, h * 0.5f - 250.0f));
    AddResourceSite(CVector2(w * 0.5f, h * 0.5f + 200.0f));
    AddResourceSite(CVector2(w * 0.5f, h * 0.5f - 200.0f));

    AddMainNode(1, CVector2(w / 6.0f, h * 0.5f));
    AddMainNode(2, CVector2(5.0f * w / 6.0f, h * 0.5f));

    m_matchOver = false;
    m_held = false;
    m_summaryOpen = false;
    ++m_matchSerial;
    m_matchStats.Reset(m_nodes, static_cast<int>(m_stepLength));
}

void CGameWorld::AddResourceSite(const CVector2& pPoint)
{
    if (!CanPlace(0, pPoint, CResourceNode::RADIUS, 0, nullptr, false))
        return;
    CResourceNode* site = new CResourceNode;
    site->SetPosition(pPoint);
    site->SetTeam(0);
    AddEntity(site);
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
    {
        if (CAIPlayer* ai = GetTeam(id).GetAI())
            ai->OnResourceAdded(site);
    }
}

void CGameWorld::AddMainNode(int pTeam, const CVector2& pPoint)
{
    CTeam& team = GetTeam(pTeam);
    if (team.GetMainNode())
        return;
    if (!CanPlace(pTeam, pPoint, CMainNode::RADIUS, 0, nullptr, false))
        return;
    CMainNode* node = new CMainNode;
    node->SetPosition(pPoint);
    node->SetTeam(pTeam);
    AddEntity(node);
    team.SetMainNode(node);
    for (int id = 0; id < CTeam::MAX_TIDS; ++id)
    {
        if (CAIPlayer* ai = GetTeam(id).GetAI())
            ai->OnMainNodeAdded(node);
    }
}

// --- the end of a match and the demo ---

void CGameWorld::CheckEndOfMatch()
{
    // Only the first fall of a match sounds; a later fall of the other side makes it a tie.
    if (!GetTeam(1).GetMainNode())
    {
        if (m_result == RESULT_UNDECIDED && !m_demo)
            PlaySound("End");
        m_result = (m_result == RESULT_WIN || m_result == RESULT_TIE) ? RESULT_TIE : RESULT_LOSE;
    }
    if (!GetTeam(2).GetMainNode())
    {
        if (m_result == RESULT_UNDECIDED && !m_demo)
            PlaySound("End");
        m_result = (m_result == RESULT_LOSE || m_result == RESULT_TIE) ? RESULT_TIE : RESULT_WIN;
    }
}

void CGameWorld::ApplyDemoKeepAlive()
{
    // While both sides stand, activity keeps a demo match going for another 30 seconds.
    if (!m_demo || m_demoTimer.GetValue() >= DEMO_KEEP_ALIVE_MS)
        return;
    if (GetTeam(1).GetMainNode() && GetTeam(2).GetMainNode())
        m_demoTimer.SetValue(DEMO_KEEP_ALIVE_MS);
}

void CGameWorld::EndDemoMatch()
{
    if (!GetTeam(1).GetMainNode())
        ++m_blueWins;
    if (!GetTeam(2).GetMainNode())
        ++m_greenWins;
    ClearMatch();
    NewMatch();
}
