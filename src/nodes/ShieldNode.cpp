#include "nodes/ShieldNode.h"
// PLACEHOLDER: filled in by the weapons work.
int CShieldNode::GetCost() { return BASE_COST; }
CShieldNode::CShieldNode() { m_radius = RADIUS; }
void CShieldNode::Draw() {}
void CShieldNode::Update(int) {}
void CShieldNode::TakeDamage(int, const CVector2&, int, CEntity*) {}
void CShieldNode::OnDeath() {}
void CShieldNode::UpdateWorth() {}
void CShieldNode::SetAngle(float pDegrees) { m_angle = pDegrees; }
