#include "nodes/ForkNode.h"
// PLACEHOLDER: filled in by the nodes work.
int CForkNode::GetCost() { return BASE_COST; }
CForkNode::CForkNode() : m_buildUp(HEALTH) { m_radius = RADIUS; }
void CForkNode::Draw() {}
void CForkNode::Update(int) {}
bool CForkNode::CanPowerMore() const { return m_freeSlots != 0; }
void CForkNode::AddPowered(CEntity*) {}
void CForkNode::RemovePowered(CEntity*) {}
void CForkNode::CutPower() {}
void CForkNode::OnDeath() {}
void CForkNode::UpdateWorth() {}
void CForkNode::CutAllPowered() {}
