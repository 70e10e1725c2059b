#pragma once

#include "ui/FirstMatchGuide.h"
#include "ui/HelpScreen.h"
#include "ui/LossLine.h"
#include "ui/SummaryPanel.h"
#include "world/MatchOverlay.h"

class CGameWorld;

// The screen that shows a world: its picture, with the chat, the loss line and its log, the
// first-match guide, the summary panel and the help screen drawn over it, each reading the world through its
// queries. Shows the world it is made with until it goes.
class CMatchScreen : public CMatchOverlay
{
  public:
    explicit CMatchScreen(CGameWorld& pWorld);
    ~CMatchScreen() override;
    CMatchScreen(const CMatchScreen&) = delete;
    CMatchScreen& operator=(const CMatchScreen&) = delete;

    void DrawMarks(const CGameWorld& pWorld, CRingBatch& pRings) override;
    void DrawOverHud(const CGameWorld& pWorld) override;
    void DrawOverAll(const CGameWorld& pWorld) override;
    // The keys of the panels this screen owns (L the loss log, G the guide), before the
    // world's; true when the key was taken.
    bool OnKey(int pSym);

  private:
    CGameWorld& m_world;
    CSummaryPanel m_summaryPanel;
    CHelpScreen m_helpScreen;
    CLossLine m_lossLine;
    bool m_lossLogOpen = false;
    CFirstMatchGuide m_guide;
    // The match last drawn; a new one may be the first New Game, which offers the guide.
    int m_matchSerial = -1;
    void OnNewMatch(const CGameWorld& pWorld);
};
