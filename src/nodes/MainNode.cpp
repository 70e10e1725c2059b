#include "nodes/MainNode.h"
// PLACEHOLDER: filled in by the nodes work.
CMainNode::CMainNode() { m_radius = RADIUS; m_mainNode = true; }
void CMainNode::Draw() {}
void CMainNode::Update(int) {}
void CMainNode::AddPowered(CEntity*) {}
void CMainNode::RemovePowered(CEntity*) {}
void CMainNode::OnDeath() {}
void CMainNode::UpdateWorth() {}
void CMainNode::CutAllPowered() {}
