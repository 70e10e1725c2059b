#include "media/SoundManager.h"

#include <SDL/SDL_mixer.h>
#include <tinyxml.h>

#include <vector>

#include "engine/Assert.h"
#include "engine/DataFile.h"
#include "media/MediaBudget.h"
#include "media/Sound.h"
#include "media/WaveHeader.h"

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
    m_lastError.clear();
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    // Without a device nothing decodes, and nothing is kept.
    const unsigned frameBytes =
        Mix_QuerySpec(&rate, &format, &channels) ? static_cast<unsigned>(channels * (format & 0xFF) / 8) : 0;
    size_t played = 0;
    for (TiXmlElement* e = pXMLElement->FirstChildElement("sound"); e; e = e->NextSiblingElement("sound"))
    {
        const char* path = e->Attribute("filepath");
        const char* id = e->Attribute("id");
        if (!path || !id)
            return false;
        std::vector<unsigned char> bytes;
        std::string why;
        // A file that cannot be read or decoded is still entered; playing it is silent.
        if (!ReadDataFile(path, MEDIA_FILE_LIMIT, bytes, why))
            bytes.clear();
        WaveShape shape;
        if (ReadPlayableWave(bytes.data(), bytes.size(), shape))
            played += PlayedWaveBytes(shape, static_cast<unsigned>(rate), frameBytes);
        if (played > SOUND_BYTES_LIMIT)
        {
            m_lastError = std::string("sound '") + id + "' (" + path + ") takes the sounds past their " +
                          std::to_string(SOUND_BYTES_LIMIT >> 20) + " MB once decoded";
            Clear();
            return false;
        }
        CSound* sound = new CSound;
        sound->LoadBytes(bytes.data(), bytes.size());
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
