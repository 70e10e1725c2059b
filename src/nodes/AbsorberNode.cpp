#include "nodes/AbsorberNode.h"
// PLACEHOLDER: filled in by the weapons work.
int CAbsorberNode::GetCost() { return BASE_COST; }
CAbsorberNode::CAbsorberNode() { m_radius = RADIUS; m_absorbsBeams = true; }
void CAbsorberNode::Draw() {}
void CAbsorberNode::Update(int) {}
void CAbsorberNode::TakeDamage(int, const CVector2&, int, CEntity*) {}
void CAbsorberNode::OnDeath() {}
void CAbsorberNode::UpdateWorth() {}
int CAbsorberNode::GetDamageAt(const CVector2&, float, int* pKind, int) { *pKind = DAMAGE_NONE; return 0; }
float CAbsorberNode::BlastRadiusFor(int) { return 0.0f; }
float CAbsorberNode::GetBlastRadius(int) const { return 0.0f; }
