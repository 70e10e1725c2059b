#include "media/Sound.h"

#include <SDL/SDL_mixer.h>

#include <string>
#include <vector>

#include "engine/Assert.h"
#include "engine/DataFile.h"
#include "media/WaveHeader.h"

CSound::~CSound()
{
    if (m_Chunk)
        Mix_FreeChunk(m_Chunk);
}

void CSound::Load(const char* pFilePath)
{
    std::vector<unsigned char> bytes;
    std::string why;
    // A file that cannot be read plays nothing, like one missing from the catalogue.
    if (!ReadDataFile(pFilePath, MEDIA_FILE_LIMIT, bytes, why))
        bytes.clear();
    LoadBytes(bytes.data(), bytes.size());
}

void CSound::LoadBytes(const unsigned char* pData, size_t pSize)
{
    if (m_Chunk)
    {
        Mix_FreeChunk(m_Chunk);
        m_Chunk = nullptr;
    }
    // A sound whose header claims no channels or a rate the mixer cannot convert plays nothing.
    if (!pData || !IsPlayableWave(pData, pSize))
        return;
    // The chunk keeps a converted copy of the samples, not the bytes read.
    m_Chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(pData, static_cast<int>(pSize)), 1);
}

int CSound::Play()
{
    AW_ASSERT(m_Chunk);
    return Mix_PlayChannelTimed(-1, m_Chunk, 0, -1);
}
