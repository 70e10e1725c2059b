#include "world/GameWorld.h"
// PLACEHOLDER: filled in by the world work.
CGameWorld::CGameWorld(CGameEngine* pEngine) : m_GameEngine(pEngine) {}
CGameWorld::~CGameWorld() {}
void CGameWorld::NewMatch() {}
void CGameWorld::ClearMatch() {}
void CGameWorld::MenuSelect() {}
bool CGameWorld::IsMenuRowEnabled(int, bool) const { return false; }
void CGameWorld::ShowMessage(const char*) {}
void CGameWorld::ShowPlayerMessage(int, const char*) {}
void CGameWorld::Pause() {}
void CGameWorld::ResumeMatch() {}
void CGameWorld::AddResourceSite(const CVector2&) {}
void CGameWorld::AddMainNode(int, const CVector2&) {}
void CGameWorld::CheckEndOfMatch() {}
void CGameWorld::ApplyDemoKeepAlive() {}
void CGameWorld::EndDemoMatch() {}
void CGameWorld::Update(unsigned) {}
void CGameWorld::OnKey(int, int, bool) {}
void CGameWorld::OnMouseMove(int, int) {}
void CGameWorld::OnMouseButton(int, bool, int, int) {}
void CGameWorld::RunMatchStep() {}
CTeam& CGameWorld::GetTeam(int pTeam) { return m_teams[pTeam]; }
const CTeam& CGameWorld::GetTeam(int pTeam) const { return m_teams[pTeam]; }
void CGameWorld::AddEntity(CEntity* pNode) { m_nodes.push_back(pNode); }
void CGameWorld::AddGraphic(CSprite*, const CVector2&, float, const CColor&, int, const CVector2&) {}
CVector2 CGameWorld::ScreenToBoard(int, int) const { return CVector2(); }
int CGameWorld::GetWindowWidth() const { return 1024; }
int CGameWorld::GetWindowHeight() const { return 768; }
bool CGameWorld::CanPlace(int, const CVector2&, float, int, CEntity*, bool) { return false; }
CEntity* CGameWorld::BuildExtender(int, const CVector2&, CEntity*) { return nullptr; }
CEntity* CGameWorld::BuildAbsorber(int, const CVector2&, CEntity*) { return nullptr; }
CEntity* CGameWorld::BuildExtractor(int, const CVector2&, CEntity*) { return nullptr; }
CEntity* CGameWorld::BuildBeamEmitter(int, const CVector2&, const CVector2&, CEntity*) { return nullptr; }
CEntity* CGameWorld::BuildShield(int, const CVector2&, const CVector2&, CEntity*) { return nullptr; }
int CGameWorld::ToolCost(int) { return 0; }
float CGameWorld::ToolRadius(int) { return 0.0f; }
void CGameWorld::UpdateIntro(bool*) {}
void CGameWorld::UpdateMenuMusic() {}
void CGameWorld::FinishBuild(CEntity*, int, CEntity*, int) {}
CEntity* CGameWorld::BuildCommon(int, const CVector2&, CEntity*&, int) { return nullptr; }
