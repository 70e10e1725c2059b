#pragma once

#include "ui/HelpScreen.h"
#include "ui/LossLine.h"
#include "ui/SummaryPanel.h"
#include "world/MatchOverlay.h"

class CGameWorld;

// The screen that shows a world: its picture, with the chat, the loss line, the summary panel
// and the help screen drawn over it, each reading the world through its queries. Shows the
// world it is made with until it goes.
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

  private:
    CGameWorld& m_world;
    CSummaryPanel m_summaryPanel;
    CHelpScreen m_helpScreen;
    CLossLine m_lossLine;
};
