#pragma once

#include <functional>
#include <map>
#include <string>

class CSound;
class TiXmlElement;

// Owns the sound effects of the catalogue by id.
class CSoundManager
{
  public:
    static CSoundManager* GetInstance();

    bool Load(TiXmlElement* pXMLElement);
    CSound* GetSound(const char* pId) const;
    void Clear();

    ~CSoundManager();

  private:
    CSoundManager() = default;
    std::map<std::string, CSound*> m_sounds;
};

// Every effect is played through here: an id that is missing, or whose file did not load,
// plays nothing. The observer (tests install one) hears every request.
void PlaySound(const char* pId);
void SetSoundObserver(std::function<void(const std::string&)> pObserver);
