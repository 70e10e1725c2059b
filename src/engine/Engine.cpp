// PLACEHOLDER: filled in by the engine work (to be split into one file per concern).
#include "engine/GameEngine.h"
#include "engine/Platform.h"
DisplayConfig DisplayConfig::Default() { return DisplayConfig{1024, 768, 32, false, "AWIcon.bmp", "Ampwarden"}; }
std::string NativePath(const char* p) { return p; }
CGameEngine& CGameEngine::Instance() { static CGameEngine* e = new CGameEngine; return *e; }
CGameEngine::CGameEngine() : m_world(this) {}
void CGameEngine::AddOption(const std::string& n) { m_options.insert(n); }
bool CGameEngine::HasOption(const std::string& n) const { return m_options.count(n) != 0; }
void CGameEngine::RemoveOption(const std::string& n) { m_options.erase(n); }
bool CGameEngine::Initialise(const DisplayConfig& c) { m_config = c; return false; }
void CGameEngine::Run() {}
void CGameEngine::Shutdown() {}
void CGameEngine::Quit() { m_running = false; }
void CGameEngine::HandleEvent(const SDL_Event&) {}
void CGameEngine::RunFrame(unsigned) {}
bool CGameEngine::InitAudio() { return false; }
bool CGameEngine::LoadIcon() { return false; }
bool CGameEngine::SetupVideo() { return false; }
bool CGameEngine::LoadResources() { return false; }
