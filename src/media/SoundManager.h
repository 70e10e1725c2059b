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

    // False at an entry without a path or id, the sounds before it staying; false with no
    // sound left when the sounds decoded together would grow past their budget.
    bool Load(TiXmlElement* pXMLElement);
    // Why the last Load went over the budget, for the start-up message; empty otherwise.
    const std::string& GetLastError() const { return m_lastError; }
    CSound* GetSound(const char* pId) const;
    void Clear();

    ~CSoundManager();

  private:
    CSoundManager() = default;
    std::map<std::string, CSound*> m_sounds;
    std::string m_lastError;
};

// Every effect is played through here: an id that is missing, or whose file did not load,
// plays nothing. The observer (tests install one) hears every request.
void PlaySound(const char* pId);
void SetSoundObserver(std::function<void(const std::string&)> pObserver);
