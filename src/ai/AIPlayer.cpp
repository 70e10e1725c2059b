#include "ai/AIPlayer.h"

#include "engine/Assert.h"

// The opponent's board analysis and decisions are still to come; for now it is told about
// the board at the right moments and does nothing with it.

CAIPlayer::CAIPlayer(CTeam* pTeam) : m_team(pTeam)
{
    AW_ASSERT(pTeam);
}

CAIPlayer::~CAIPlayer() = default;

void CAIPlayer::OnMainNodeAdded(CEntity* pNode) { AW_ASSERT(pNode); }
void CAIPlayer::OnResourceAdded(CEntity* pNode) { AW_ASSERT(pNode); }
void CAIPlayer::OnExtenderBuilt(CEntity* pNode) { AW_ASSERT(pNode); }
void CAIPlayer::OnBeamBuilt(CEntity* pNode) { AW_ASSERT(pNode); }
void CAIPlayer::OnShieldBuilt(CEntity* pNode) { AW_ASSERT(pNode); }
void CAIPlayer::OnExtractorBuilt(CEntity* pNode) { AW_ASSERT(pNode); }
void CAIPlayer::OnAbsorberBuilt(CEntity* pNode) { AW_ASSERT(pNode); }
void CAIPlayer::OnEntityRemoved(CEntity* pNode) { AW_ASSERT(pNode); }

void CAIPlayer::Think() {}
void CAIPlayer::Upkeep() {}
void CAIPlayer::DrawOverlay(int) {}
