#include "media/SoundManager.h"

#include <tinyxml.h>

#include "engine/Assert.h"
#include "media/Sound.h"

namespace
{
std::function<void(const std::string&)>& Observer()
{
    static std::function<void(const std::string&)> observer;
    return observer;
}
} // namespace

CSoundManager* CSoundManager::GetInstance()
{
    static CSoundManager* instance = new CSoundManager;
    return instance;
}

bool CSoundManager::Load(TiXmlElement* pXMLElement)
{
    AW_ASSERT(pXMLElement);
    for (TiXmlElement* e = pXMLElement->FirstChildElement("sound"); e; e = e->NextSiblingElement("sound"))
    {
        const char* path = e->Attribute("filepath");
        const char* id = e->Attribute("id");
        if (!path || !id)
            return false;
        // A file that does not decode is still entered; playing it is silent.
        CSound* sound = new CSound;
        sound->Load(path);
        auto it = m_sounds.find(id);
        if (it != m_sounds.end())
        {
            delete it->second;
            it->second = sound;
        }
        else
        {
            m_sounds[id] = sound;
        }
    }
    return true;
}

CSound* CSoundManager::GetSound(const char* pId) const
{
    if (!pId)
        return nullptr;
    auto it = m_sounds.find(pId);
    return it == m_sounds.end() ? nullptr : it->second;
}

void CSoundManager::Clear()
{
    for (auto& entry : m_sounds)
        delete entry.second;
    m_sounds.clear();
}

CSoundManager::~CSoundManager()
{
    Clear();
}

void PlaySound(const char* pId)
{
    AW_ASSERT(pId);
    if (Observer())
        Observer()(pId);
    CSound* sound = CSoundManager::GetInstance()->GetSound(pId);
    // A sound missing from the catalogue, or whose file did not load, is simply not heard.
    if (sound && sound->HasChunk())
        sound->Play();
}

void SetSoundObserver(std::function<void(const std::string&)> pObserver)
{
    Observer() = std::move(pObserver);
}
