#include "world/GameWorld.h"
// PLACEHOLDER: filled in by the nodes work.
CEntity* CGameWorld::FindOverlap(const CVector2&, float) const { return nullptr; }
bool CGameWorld::IsFree(const CVector2&, float) const { return false; }
CEntity* CGameWorld::FindPowerSource(int, const CVector2&, bool) const { return nullptr; }
CEntity* CGameWorld::FindResourceAt(const CVector2&, float) const { return nullptr; }
CEntity* CGameWorld::TraceBeam(const CVector2&, const CVector2&, float* pDistance) const { *pDistance = -1.0f; return nullptr; }
CEntity* CGameWorld::TraceBeam(const CVector2&, const CVector2&) const { return nullptr; }
int CGameWorld::GetTeamFlow(int) const { return 0; }
