#pragma once

#include <cstddef>

struct Mix_Chunk;

// One sound effect, loaded whole into memory.
class CSound
{
  public:
    CSound() = default;
    ~CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // A file that cannot be read, or is not a plain PCM WAV the mixer converts safely, leaves
    // the sound without a chunk: it plays nothing.
    void Load(const char* pFilePath);
    void LoadBytes(const unsigned char* pData, size_t pSize);
    // Plays once on the first free channel; the chunk must exist.
    int Play();
    bool HasChunk() const { return m_Chunk != nullptr; }

  private:
    Mix_Chunk* m_Chunk = nullptr;
};
