#include "media/Music.h"

#include <SDL/SDL_mixer.h>

#include <cstring>
#include <string>

#include "engine/DataFile.h"

CMusic::~CMusic()
{
    Free();
}

void CMusic::Free()
{
    if (m_music)
        Mix_FreeMusic(m_music);
    m_music = nullptr;
    m_bytes.clear();
}

bool CMusic::Load(const char* pPath)
{
    Free();
    std::vector<unsigned char> bytes;
    std::string why;
    if (!ReadDataFile(pPath, MEDIA_FILE_LIMIT, bytes, why))
        return false;
    return LoadBytes(std::move(bytes));
}

bool CMusic::LoadBytes(std::vector<unsigned char> pBytes)
{
    Free();
    if (pBytes.size() < 4 || std::memcmp(pBytes.data(), "OggS", 4) != 0)
        return false;
    m_bytes = std::move(pBytes);
    // The music owns the reader and closes it when freed, also when it fails to load.
    m_music =
        Mix_LoadMUSType_RW(SDL_RWFromConstMem(m_bytes.data(), static_cast<int>(m_bytes.size())), MUS_OGG, 1);
    if (!m_music)
        m_bytes.clear();
    return m_music != nullptr;
}
