#include "media/SoundManager.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "media/Audio.h"
#include "media/Sound.h"

namespace
{
void Put16(std::vector<unsigned char>& pOut, unsigned pValue)
{
    pOut.push_back(pValue & 0xFF);
    pOut.push_back((pValue >> 8) & 0xFF);
}

void Put32(std::vector<unsigned char>& pOut, unsigned pValue)
{
    Put16(pOut, pValue & 0xFFFF);
    Put16(pOut, pValue >> 16);
}

// A 16-bit PCM tone of 2205 samples per channel whose header claims the given rate and channels.
std::vector<unsigned char> Wav(unsigned pRate, unsigned pChannels, unsigned pSamples = 2205)
{
    std::vector<unsigned char> data;
    data.insert(data.end(), {'R', 'I', 'F', 'F'});
    Put32(data, 36 + pSamples * 2);
    data.insert(data.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(data, 16);
    Put16(data, 1); // PCM
    Put16(data, pChannels);
    Put32(data, pRate);
    Put32(data, pRate * pChannels * 2);
    Put16(data, pChannels * 2);
    Put16(data, 16);
    data.insert(data.end(), {'d', 'a', 't', 'a'});
    Put32(data, pSamples * 2);
    for (unsigned i = 0; i < pSamples; ++i)
        Put16(data, (i / 25) % 2 ? 0x2000 : 0xE000);
    return data;
}

// A mono tone of the given length.
void WriteWav(const std::string& pPath, int pMs, unsigned pRate = 22050)
{
    std::vector<unsigned char> data = Wav(pRate, 1, pRate * static_cast<unsigned>(pMs) / 1000);
    FILE* f = std::fopen(pPath.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

class SoundManagerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        char dir[] = "/tmp/aw_sound_XXXXXX";
        ASSERT_TRUE(mkdtemp(dir));
        m_dir = dir;
        m_tone = m_dir + "/tone.wav";
        m_long = m_dir + "/long.wav";
        WriteWav(m_tone, 100);
        WriteWav(m_long, 3000);
        CSoundManager::GetInstance()->Clear();
        // Chunks decode only with an open device; the dummy driver gives one without hardware.
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
            m_audio = Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0;
    }

    void TearDown() override
    {
        SetSoundObserver(nullptr);
        // Chunks go before the device, as at shutdown.
        CSoundManager::GetInstance()->Clear();
        SetAudioOpen(false);
        if (m_audio)
            Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        std::remove(m_tone.c_str());
        std::remove(m_long.c_str());
        std::remove(m_dir.c_str());
    }

    bool LoadBlock(const std::string& pXml)
    {
        m_doc.Clear();
        m_doc.Parse(pXml.c_str());
        return CSoundManager::GetInstance()->Load(m_doc.RootElement());
    }

    std::string Entry(const std::string& pId, const std::string& pPath)
    {
        return "<sound id=\"" + pId + "\" filepath=\"" + pPath + "\"/>";
    }

    std::string m_dir, m_tone, m_long;
    bool m_audio = false;
    TiXmlDocument m_doc;
};
} // namespace

TEST_F(SoundManagerTest, EntryWithoutIdStopsTheBlockAndKeepsEarlierOnes)
{
    EXPECT_FALSE(LoadBlock("<sounds>" + Entry("A", m_tone) + "<other/>" + Entry("B", m_tone) +
                           "<sound filepath=\"" + m_tone + "\"/>" + Entry("D", m_tone) + "</sounds>"));
    CSoundManager* sounds = CSoundManager::GetInstance();
    EXPECT_NE(nullptr, sounds->GetSound("A"));
    EXPECT_NE(nullptr, sounds->GetSound("B"));
    EXPECT_EQ(nullptr, sounds->GetSound("D"));

    sounds->Clear();
    EXPECT_FALSE(LoadBlock("<sounds>" + Entry("A", m_tone) + "<sound id=\"C\"/></sounds>"));
    EXPECT_NE(nullptr, sounds->GetSound("A"));
    EXPECT_EQ(nullptr, sounds->GetSound("C"));

    sounds->Clear();
    EXPECT_TRUE(LoadBlock("<sounds/>"));
    EXPECT_EQ(nullptr, sounds->GetSound("A"));
}

TEST_F(SoundManagerTest, SoundsPastTheirBudgetOnceDecodedRefuseTheBlockByName)
{
    if (!m_audio)
        GTEST_SKIP() << "no audio device, not even the dummy one";
    // 200 s at 8 kHz mono: 3.2 MB read, 35 MB at the device's 44.1 kHz in stereo.
    const std::string slow = m_dir + "/slow.wav";
    WriteWav(slow, 200000, 8000);
    EXPECT_FALSE(LoadBlock("<sounds>" + Entry("A", m_tone) + Entry("Slow", slow) + "</sounds>"));
    std::remove(slow.c_str());
    EXPECT_EQ("sound 'Slow' (" + slow + ") takes the sounds past their 32 MB once decoded",
              CSoundManager::GetInstance()->GetLastError());
    EXPECT_EQ(nullptr, CSoundManager::GetInstance()->GetSound("A"));
}

TEST_F(SoundManagerTest, LaterEntryWithTheSameIdReplacesTheEarlier)
{
    if (!m_audio)
        GTEST_SKIP() << "no audio device, not even the dummy one";
    const std::string missing = m_dir + "/missing.wav";
    CSoundManager* sounds = CSoundManager::GetInstance();
    // The catalogue writes its paths with backslashes.
    const std::string windowsTone = m_dir + "\\tone.wav";
    EXPECT_TRUE(LoadBlock("<sounds>" + Entry("A", missing) + Entry("A", windowsTone) + "</sounds>"));
    ASSERT_NE(nullptr, sounds->GetSound("A"));
    EXPECT_TRUE(sounds->GetSound("A")->HasChunk());

    sounds->Clear();
    EXPECT_TRUE(LoadBlock("<sounds>" + Entry("A", m_tone) + Entry("A", missing) + "</sounds>"));
    ASSERT_NE(nullptr, sounds->GetSound("A"));
    EXPECT_FALSE(sounds->GetSound("A")->HasChunk());
}

TEST_F(SoundManagerTest, UnreadableFileIsEnteredAndPlaysSilently)
{
    std::vector<std::string> heard;
    SetSoundObserver([&](const std::string& pId) { heard.push_back(pId); });
    const std::string notWav = m_dir + "/tone.txt";
    FILE* f = std::fopen(notWav.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fputs("not a sound", f);
    std::fclose(f);

    EXPECT_TRUE(
        LoadBlock("<sounds>" + Entry("Gone", m_dir + "/missing.wav") + Entry("Junk", notWav) + "</sounds>"));
    std::remove(notWav.c_str());
    CSoundManager* sounds = CSoundManager::GetInstance();
    ASSERT_NE(nullptr, sounds->GetSound("Gone"));
    EXPECT_FALSE(sounds->GetSound("Gone")->HasChunk());
    ASSERT_NE(nullptr, sounds->GetSound("Junk"));
    EXPECT_FALSE(sounds->GetSound("Junk")->HasChunk());

    // Neither a chunkless sound nor an unknown id ends the program; the observer hears both.
    PlaySound("Gone");
    PlaySound("NoSuchSound");
    ASSERT_EQ(2u, heard.size());
    EXPECT_EQ("Gone", heard[0]);
    EXPECT_EQ("NoSuchSound", heard[1]);
    if (m_audio)
    {
        EXPECT_EQ(0, Mix_Playing(-1));
    }
}

TEST_F(SoundManagerTest, AHeaderTheMixerCannotConvertOrAFifoPlaysNothing)
{
    if (!m_audio)
        GTEST_SKIP() << "no audio device, not even the dummy one";
    // The mixer's converter crashed on these; plain mono and stereo still play.
    const struct
    {
        unsigned rate, channels;
        bool plays;
    } cases[] = {{0, 1, false}, {1, 1, false},    {22050, 0, false},
                 {3, 2, false}, {22050, 1, true}, {48000, 2, true}};
    for (const auto& c : cases)
    {
        std::vector<unsigned char> bytes = Wav(c.rate, c.channels);
        CSound sound;
        sound.LoadBytes(bytes.data(), bytes.size());
        EXPECT_EQ(c.plays, sound.HasChunk()) << c.rate << " Hz, " << c.channels << " channels";
    }
    // Reading a FIFO would wait for a writer for ever.
    const std::string fifo = m_dir + "/fifo.wav";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    CSound sound;
    sound.Load(fifo.c_str());
    std::remove(fifo.c_str());
    EXPECT_FALSE(sound.HasChunk());
}

TEST_F(SoundManagerTest, SameEffectTwiceInOneFramePlaysOnTwoChannels)
{
    if (!m_audio)
        GTEST_SKIP() << "no audio device, not even the dummy one";
    ASSERT_TRUE(LoadBlock("<sounds>" + Entry("Build", m_long) + "</sounds>"));
    CSound* sound = CSoundManager::GetInstance()->GetSound("Build");
    ASSERT_TRUE(sound && sound->HasChunk());
    int first = sound->Play();
    int second = sound->Play();
    EXPECT_GE(first, 0);
    EXPECT_GE(second, 0);
    EXPECT_NE(first, second);

    PlaySound("Build");
    EXPECT_EQ(3, Mix_Playing(-1));
}

TEST_F(SoundManagerTest, ChannelsAreHaltedOnlyWhenTheDeviceCountsAsOpen)
{
    if (!m_audio)
        GTEST_SKIP() << "no audio device, not even the dummy one";
    ASSERT_TRUE(LoadBlock("<sounds>" + Entry("Long", m_long) + "</sounds>"));
    PlaySound("Long");
    ASSERT_EQ(1, Mix_Playing(-1));
    SetAudioOpen(false);
    HaltAllChannels();
    FadeOutMusic(100);
    EXPECT_EQ(1, Mix_Playing(-1));
    SetAudioOpen(true);
    EXPECT_TRUE(IsAudioOpen());
    HaltAllChannels();
    EXPECT_EQ(0, Mix_Playing(-1));
}

TEST(SoundDeathTest, PlayingWithoutAChunkIsAProgrammingError)
{
    CSound sound;
    EXPECT_DEATH(sound.Play(), "m_Chunk");
}
