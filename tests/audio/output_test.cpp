// The live outputs: a WAV file and nothing, both paced in real time, and the audio
// device through SDL2's dummy driver. Waits are generous polls, never timing checks.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio/sound.h"
#include "audio/sound_manager.h"
#include "audio/wave_file.h"
#include "platform/audio/openal_sound_device.h"
#include "tests/audio/rendered_device.h"

namespace {

constexpr DWORD GLOBAL = DSBCAPS_GLOBALFOCUS;

bool FinishesWithin(Sound& sound, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (sound.IsPlaying()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

class OutputTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDirectSoundFactory({}); }

  std::unique_ptr<Sound> MakeTone(SoundManager& manager, double seconds) {
    WriteFile("Sounds/tone.wav",
              PcmWave(1, 22050, 16, Pcm16(SineSamples(440, seconds, 22050))));
    Sound* sound = nullptr;
    EXPECT_EQ(manager.CreateSound(&sound, "Sounds\\tone.wav", GLOBAL, GUID_NULL, 1), S_OK);
    return std::unique_ptr<Sound>(sound);
  }

  ScratchFolder folder_;
};

TEST_F(OutputTest, WavFileOutputRecordsTheMixAsItGoes) {
  const std::string path = (folder_.Path() / "mix.wav").string();
  UseOpenAlSoundDevice({AudioOutput::Kind::WavFile, path});
  auto manager = std::make_unique<SoundManager>();
  ASSERT_EQ(manager->Init(nullptr, DSSCL_NORMAL), S_OK);
  auto sound = MakeTone(*manager, 0.3);
  ASSERT_EQ(sound->Play(0, 0, 0, -1, 0), DS_OK);
  EXPECT_TRUE(sound->IsPlaying());
  ASSERT_TRUE(FinishesWithin(*sound, std::chrono::seconds(10)));

  // Valid while still being written: the header follows the data.
  WaveFile recorded;
  ASSERT_EQ(recorded.Open(path.c_str(), WaveFile::READ), S_OK);
  EXPECT_EQ(recorded.Format()->nChannels, 2);
  EXPECT_EQ(recorded.Format()->nSamplesPerSec, 44100u);
  EXPECT_EQ(recorded.Format()->wBitsPerSample, 16);
  EXPECT_GE(recorded.DataSize(), 0.3 * 44100 * 4 - 4096);
  EXPECT_EQ(recorded.DataSize() % 4, 0u);
  std::vector<std::int16_t> samples(recorded.DataSize() / 2);
  DWORD read = 0;
  recorded.Read(reinterpret_cast<BYTE*>(samples.data()), recorded.DataSize(), &read);
  int loud = 0;
  for (const std::int16_t sample : samples) loud += std::abs(sample) > 8000 ? 1 : 0;
  EXPECT_GT(loud, 1000) << "the tone is in the file";
  sound.reset();
  manager.reset();
}

TEST_F(OutputTest, NullOutputLetsAOneShotTakeItsLength) {
  UseOpenAlSoundDevice({AudioOutput::Kind::Null, ""});
  SoundManager manager;
  ASSERT_EQ(manager.Init(nullptr, DSSCL_NORMAL), S_OK);
  auto sound = MakeTone(manager, 2.0);
  sound->Play(0, 0, 0, -1, 0);
  EXPECT_TRUE(sound->IsPlaying());
  EXPECT_TRUE(FinishesWithin(*sound, std::chrono::seconds(20)));
}

TEST_F(OutputTest, AnOutputThatCannotOpenFailsInit) {
  UseOpenAlSoundDevice({AudioOutput::Kind::WavFile, "/nonexistent-folder/mix.wav"});
  SoundManager manager;
  EXPECT_TRUE(Failed(manager.Init(nullptr, DSSCL_NORMAL)));
}

TEST_F(OutputTest, AudioDeviceThroughSdl) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  UseOpenAlSoundDevice({});
  SoundManager manager;
  ASSERT_EQ(manager.Init(nullptr, DSSCL_NORMAL), S_OK);
  auto sound = MakeTone(manager, 0.2);
  sound->Play(0, 0, 0, -1, 0);
  EXPECT_TRUE(FinishesWithin(*sound, std::chrono::seconds(10)));
  unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
