#include "nodes/Entity.h"
// PLACEHOLDER: filled in by the nodes work.
CEntity::CEntity() : m_health(10000000) {}
CEntity::~CEntity() {}
void CEntity::DrawRange() {}
void CEntity::Update(int) {}
void CEntity::BeginStep() {}
void CEntity::AddPowered(CEntity*) {}
void CEntity::RemovePowered(CEntity*) {}
void CEntity::CutPower() {}
void CEntity::Occupy(CEntity*, float) {}
void CEntity::Release(CEntity*) {}
void CEntity::TakeDamage(int, const CVector2&, int, CEntity*) {}
void CEntity::OnDeath() {}
int CEntity::GetDamageAt(const CVector2&, float, int* pKind, int) { *pKind = DAMAGE_NONE; return 0; }
void CEntity::UpdateWorth() {}
void CEntity::SetPosition(const CVector2& p) { m_position = p; }
void CEntity::SetParent(CEntity*) {}
CEntity* CEntity::GetParent() const { return nullptr; }
bool CEntity::IsConnected() const { return false; }
void CEntity::Kill() { m_dead = true; }
CEntity* CEntity::GetLastAttacker() const { return nullptr; }
void CEntity::DrawPowerLink() {}
void CEntity::DrawCircle(float, bool) {}
void CEntity::PowerLinkStrip(const CVector2&, const CVector2&, CVector2[8]) {}
void CEntity::ApplyDecay(int) {}
void CEntity::AddGhost(const char*, float) {}
void CEntity::SpawnDamageSparks(const CVector2&) {}
const char* TeamSpriteSuffix(int) { return "_Gray"; }
