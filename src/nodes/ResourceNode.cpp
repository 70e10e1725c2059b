#include "nodes/ResourceNode.h"
// PLACEHOLDER: filled in by the nodes work.
CResourceNode::CResourceNode() : m_occupancy(1000) { m_radius = RADIUS; m_blocksBeams = false; }
void CResourceNode::Draw() {}
void CResourceNode::Update(int) {}
void CResourceNode::Occupy(CEntity*, float) {}
void CResourceNode::Release(CEntity*) {}
void CResourceNode::TakeDamage(int, const CVector2&, int, CEntity*) {}
CEntity* CResourceNode::GetUser() const { return nullptr; }
void CResourceNode::GetTint(float pOut[3]) const { pOut[0] = pOut[1] = pOut[2] = 1.0f; }
