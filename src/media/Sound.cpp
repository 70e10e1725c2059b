#include "media/Sound.h"

#include <SDL/SDL_mixer.h>

#include "engine/Assert.h"
#include "engine/Platform.h"

CSound::~CSound()
{
    if (m_Chunk)
        Mix_FreeChunk(m_Chunk);
}

void CSound::Load(const char* pFilePath)
{
    if (m_Chunk)
    {
        Mix_FreeChunk(m_Chunk);
        m_Chunk = nullptr;
    }
    // The reader closes the file itself (free source 1), also when decoding fails.
    m_Chunk = Mix_LoadWAV_RW(SDL_RWFromFile(NativePath(pFilePath).c_str(), "rb"), 1);
}

int CSound::Play()
{
    AW_ASSERT(m_Chunk);
    return Mix_PlayChannelTimed(-1, m_Chunk, 0, -1);
}
