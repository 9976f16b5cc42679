// The generated sound pack: every file is a playable WAVE file, distinct from the others,
// tones at their named frequency, loops that close on themselves.
#include "tools/make_sound_pack/sound_pack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>

#include "audio/wave_file.h"
#include "tests/audio/rendered_device.h"
#include "tools/make_sound_pack/sound_recipes.h"
#include "tools/make_sound_pack/speech.h"

namespace {

struct Loaded {
  WAVEFORMATEX format;
  std::vector<std::int16_t> samples;
};

class SoundPackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new ScratchFolder;
    ASSERT_TRUE(WriteSoundPack(folder_->Path().string(), SoundPackOptions{.speech = false}));
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  static Loaded Load(const std::string& name) {
    WaveFile wave;
    EXPECT_EQ(wave.Open(("Sounds\\" + name).c_str(), WaveFile::READ), S_OK) << name;
    Loaded loaded{*wave.Format(), std::vector<std::int16_t>(wave.DataSize() / 2)};
    DWORD read = 0;
    wave.Read(reinterpret_cast<BYTE*>(loaded.samples.data()), wave.DataSize(), &read);
    return loaded;
  }

  static ScratchFolder* folder_;
};

ScratchFolder* SoundPackTest::folder_ = nullptr;

TEST_F(SoundPackTest, EveryFileIsADistinctPlayableWave) {
  std::set<std::vector<std::int16_t>> contents;
  for (const std::string& name : SoundPackFileNames()) {
    const Loaded loaded = Load(name);
    EXPECT_EQ(loaded.format.wFormatTag, WAVE_FORMAT_PCM) << name;
    EXPECT_EQ(loaded.format.wBitsPerSample, 16) << name;
    EXPECT_GT(loaded.samples.size(), 1000u) << name;
    contents.insert(loaded.samples);
  }
  EXPECT_EQ(contents.size(), 109u);
}

TEST_F(SoundPackTest, UniverseHoldsTheRotationRate) {
  std::ifstream in("universe.dat", std::ios::binary);
  in.seekg(1017);
  float rate = 0.0f;
  in.read(reinterpret_cast<char*>(&rate), sizeof rate);
  ASSERT_TRUE(in);
  EXPECT_EQ(rate, PACK_ROTATION_RATE);
}

TEST_F(SoundPackTest, TonesSoundAtTheirNamedFrequency) {
  for (const auto& [name, frequency] : std::map<std::string, double>{
           {"1000hztone.wav", 1000.0}, {"2450hztone.wav", 2450.0}}) {
    const Loaded loaded = Load(name);
    std::vector<float> samples(loaded.samples.begin(), loaded.samples.end());
    const double measured =
        RenderedDevice::Frequency(samples) * loaded.format.nSamplesPerSec / OUT_RATE;
    EXPECT_NEAR(measured, frequency, frequency * 0.01) << name;
  }
}

TEST_F(SoundPackTest, LoopsJoinWithoutAClick) {
  int loops = 0;
  for (const std::string& name : SoundPackFileNames()) {
    if (!IsLoop(name)) continue;
    ++loops;
    const Loaded loaded = Load(name);
    const auto& s = loaded.samples;
    const std::size_t channels = loaded.format.nChannels;
    int largestStep = 0;
    for (std::size_t i = channels; i < s.size(); ++i) {
      largestStep = std::max(largestStep, std::abs(s[i] - s[i - channels]));
    }
    for (std::size_t c = 0; c < channels; ++c) {
      EXPECT_LE(std::abs(s[c] - s[s.size() - channels + c]), largestStep) << name;
    }
  }
  EXPECT_EQ(loops, 18);
}

TEST(SpeechTest, PhrasesAreSpokenWhenTheSpeakerIsInstalled) {
  ScratchFolder folder;
  if (!SpeakToFile("Landing lights on.", "spoken.wav")) GTEST_SKIP() << "no espeak-ng";
  WaveFile wave;
  ASSERT_EQ(wave.Open("spoken.wav", WaveFile::READ), S_OK);
  EXPECT_GT(wave.DataSize(), wave.Format()->nAvgBytesPerSec / 4);
}

}  // namespace
