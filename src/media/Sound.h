#pragma once

struct Mix_Chunk;

// One sound effect, loaded whole into memory.
class CSound
{
  public:
    CSound() = default;
    ~CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    void Load(const char* pFilePath);
    // Plays once on the first free channel; the chunk must exist.
    int Play();
    bool HasChunk() const { return m_Chunk != nullptr; }

  private:
    Mix_Chunk* m_Chunk = nullptr;
};
