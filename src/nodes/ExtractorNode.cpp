#include "nodes/ExtractorNode.h"
// PLACEHOLDER: filled in by the nodes work.
int CExtractorNode::GetCost() { return BASE_COST; }
CExtractorNode::CExtractorNode() { m_radius = RADIUS; }
void CExtractorNode::Draw() {}
void CExtractorNode::Update(int) {}
void CExtractorNode::OnDeath() {}
void CExtractorNode::UpdateWorth() {}
void CExtractorNode::AttachToResource() {}
CEntity* CExtractorNode::GetResource() const { return nullptr; }
void CExtractorNode::ReleaseResource() {}
