#include "world/GameWorld.h"
// PLACEHOLDER: filled in by the screens work.
void CGameWorld::Draw() {}
void CGameWorld::DrawIntro() {}
void CGameWorld::DrawMenu() {}
void CGameWorld::DrawGameScreen() {}
void CGameWorld::DrawBoard() {}
void CGameWorld::DrawHud() {}
void CGameWorld::DrawTeamFlow(int, int, int) {}
void CGameWorld::DrawBar(float, float, float, float, float) {}
void CGameWorld::DrawHelpPanel(float, float, float, const char*, float) {}
void CGameWorld::DrawRing(float, float) {}
void CGameWorld::ApplyTeamColour(int) const {}
