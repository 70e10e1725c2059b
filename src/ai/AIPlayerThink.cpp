#include "ai/AIPlayer.h"
// PLACEHOLDER: the decision cycle is being filled in.
void CAIPlayer::Think() { ReportAICall("Think", this, nullptr); }
void CAIPlayer::BuildBeamWatch() {}
void CAIPlayer::BuildIdleBeamWatch() {}
std::pair<CAbsorberNode*, int> CAIPlayer::FindSiegeAbsorber(CEntity*) { return {nullptr, 0}; }
