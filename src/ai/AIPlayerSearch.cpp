#include "ai/AIPlayer.h"
// PLACEHOLDER: the placement searches are being filled in.
void CAIPlayer::ClearCandidates() {}
void CAIPlayer::AddCandidate(PosCandidate*) {}
PosCandidate* CAIPlayer::PopBest() { return nullptr; }
int CAIPlayer::HitSum(const CVector2&, float, CEntity*, int* pBeamOnly) const { *pBeamOnly = 0; return 0; }
float CAIPlayer::WorthSum(const CVector2&, float, int, CEntity*) const { return 0.0f; }
bool CAIPlayer::HasResourceClearance(const CVector2&, float) const { return false; }
CSpot CAIPlayer::FindAbsorberSpotNear(CEntity*) { return CSpot(); }
CSpot CAIPlayer::FindAbsorberSpotOnBeam(CBeamNode*) { return CSpot(); }
CSpot CAIPlayer::FindShieldSpotOnBeam(CBeamNode*) { return CSpot(); }
CSpot CAIPlayer::FindExtractorSpot() { return CSpot(); }
CSpot CAIPlayer::FindBeamSpot(CEntity*, float) { return CSpot(); }
void CAIPlayer::ExtendToward(const CVector2&, float) {}
