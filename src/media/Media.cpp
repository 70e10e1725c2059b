// PLACEHOLDER: filled in by the media work (to be split into one file per class).
#include "media/Audio.h"
#include "media/FontManager.h"
#include "media/Graphic.h"
#include "media/RectPacker.h"
#include "media/Sound.h"
#include "media/SoundManager.h"
#include "media/Sprite.h"
#include "media/TextureFont.h"
#include "media/TextureManager.h"
CSprite::CSprite(float, float, float, float, unsigned, float, float) {}
void CSprite::DrawRect(float, float, float, float) const {}
void CSprite::DrawCentered() const {}
void CSprite::DrawAnchored(float, float, float, float) const {}
CRectPacker::~CRectPacker() {}
void CRectPacker::AddRect(PackRect*) {}
void CRectPacker::AddFreeSlot(const FreeSlot&) {}
bool CRectPacker::Pack(int, int) { return false; }
int CRectPacker::NextPowerOfTwo(int n) { return n; }
CTextureManager* CTextureManager::GetInstance() { static CTextureManager* m = new CTextureManager; return m; }
bool CTextureManager::Load(TiXmlElement*) { return true; }
CSprite* CTextureManager::GetSprite(const char*) const { return nullptr; }
void CTextureManager::Clear() {}
CTextureManager::~CTextureManager() {}
CGraphic::CGraphic(CSprite* pSprite, const CVector2& pPosition, float pAngle, const CColor& pColour, int pLifetime, const CVector2& pVelocity)
    : m_sprite(pSprite), m_position(pPosition), m_angle(pAngle), m_colour(pColour), m_active(true), m_life(pLifetime), m_velocity(pVelocity) {}
void CGraphic::Update(int) {}
void CGraphic::Draw() const {}
float CGraphic::GetDrawScale() const { return 1.0f; }
float CGraphic::GetDrawAlpha() const { return 1.0f; }
CSound::~CSound() {}
void CSound::Load(const char*) {}
int CSound::Play() { return -1; }
CSoundManager* CSoundManager::GetInstance() { static CSoundManager* m = new CSoundManager; return m; }
bool CSoundManager::Load(TiXmlElement*) { return true; }
CSound* CSoundManager::GetSound(const char*) const { return nullptr; }
void CSoundManager::Clear() {}
CSoundManager::~CSoundManager() {}
void PlaySound(const char*) {}
void SetSoundObserver(std::function<void(const std::string&)>) {}
void SetAudioOpen(bool) {}
bool IsAudioOpen() { return false; }
void HaltAllChannels() {}
void FadeOutMusic(int) {}
CTextureFont::CTextureFont(const char*, float, FT_Library*) {}
CTextureFont::~CTextureFont() {}
bool CTextureFont::IsValid() const { return false; }
int CTextureFont::GetLineHeight() const { return 0; }
void CTextureFont::DrawText(const char*) const {}
float CTextureFont::GetTextWidth(const char*) const { return 0.0f; }
const CTextureFont::Glyph* CTextureFont::FindGlyph(char) const { return nullptr; }
CFontManager* CFontManager::GetInstance() { static CFontManager* m = new CFontManager; return m; }
bool CFontManager::Load(TiXmlElement*) { return true; }
bool CFontManager::LoadFont(const char*, float, const char*) { return false; }
CTextureFont* CFontManager::GetFont(const char*) const { return nullptr; }
void CFontManager::Clear() {}
CFontManager::~CFontManager() {}
