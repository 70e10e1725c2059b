#include "world/Team.h"
// PLACEHOLDER: filled in by the world work.
const int CTeam::COOLDOWN_MS[CTeam::m_nCooldowns] = {2000, 8000, 1000, 3000, 6000};
CTeam::CTeam() {}
CTeam::~CTeam() {}
void CTeam::Init(int pTeamId) { m_id = pTeamId; }
void CTeam::SetMainNode(CMainNode*) {}
CMainNode* CTeam::GetMainNode() const { return nullptr; }
void CTeam::SetAI(bool) {}
void CTeam::StartCooldown(int) {}
bool CTeam::IsCooldownReady(int) const { return true; }
float CTeam::GetCooldownFraction(int) const { return 0.0f; }
void CTeam::TickCooldowns(int) {}
void CTeam::ApplyColour() const {}
CColor CTeam::ColourOf(int) { return CColor(0.5f, 0.5f, 0.5f, 1.0f); }
