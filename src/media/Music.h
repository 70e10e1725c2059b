#pragma once

#include <cstddef>
#include <vector>

struct _Mix_Music;

// A piece of music streamed from memory. The file is read whole first, so a FIFO or a device
// in its place never blocks the game; only Ogg Vorbis is handed to the mixer.
class CMusic
{
  public:
    CMusic() = default;
    ~CMusic();
    CMusic(const CMusic&) = delete;
    CMusic& operator=(const CMusic&) = delete;

    // False when the file cannot be read or decoded; any earlier music is freed either way.
    bool Load(const char* pPath);
    bool LoadBytes(std::vector<unsigned char> pBytes);
    _Mix_Music* Get() const { return m_music; }
    void Free();

  private:
    std::vector<unsigned char> m_bytes; // the mixer streams from these
    _Mix_Music* m_music = nullptr;
};
