#include "nodes/BeamNode.h"
// PLACEHOLDER: filled in by the weapons work.
int CBeamNode::GetCost() { return BASE_COST; }
CBeamNode::CBeamNode() : m_warmUp(WARM_UP) { m_radius = RADIUS; }
void CBeamNode::Draw() {}
void CBeamNode::Update(int) {}
void CBeamNode::OnDeath() {}
void CBeamNode::UpdateWorth() {}
int CBeamNode::GetDamageAt(const CVector2&, float, int* pKind, int) { *pKind = DAMAGE_NONE; return 0; }
void CBeamNode::SetAngle(float pDegrees) { m_angle = pDegrees; }
CEntity* CBeamNode::GetTarget() const { return nullptr; }
