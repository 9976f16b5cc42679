// The generated sound pack: every file is a playable WAVE file, distinct from the others,
// tones at their named frequency, loops written at the rate the module plays them and
// closing on themselves, one-shots without clicks, nothing clipped, the same bytes on
// every run, and the onboard voice spoken or a clear failure.
#include "tools/make_sound_pack/sound_pack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "audio/ship_sound_files.h"
#include "audio/sound_bank_table.h"
#include "audio/wave_file.h"
#include "tests/audio/rendered_device.h"
#include "tools/make_sound_pack/sound_roles.h"

namespace {

constexpr int FULL_SCALE = 32767;

struct Loaded {
  WAVEFORMATEX format;
  std::vector<std::int16_t> samples;

  std::size_t Frames() const { return samples.size() / format.nChannels; }
  int At(std::size_t frame, std::size_t channel) const {
    return samples[frame * format.nChannels + channel];
  }
};

std::string Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SoundPackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new ScratchFolder;
    ASSERT_TRUE(WriteSoundPack(folder_->Path().string(), SoundPackOptions{}));
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

// The rate the module asks of each loop whose frequency it sets, in the state it spends
// most time in: nothing moving relative to the nearest ship, still air, engines idling.
std::map<std::string, double> ModulePlayRates() {
  const double dopplerFactor = 1.0;
  const double airflow = 0.0;
  const double airspeedShare = 0.0;
  const double idleLevel = 22050.0;
  std::map<std::string, double> rates{
      {"doppler.wav", dopplerFactor * 8000.0 + 100.0},
      {"c5wind3.wav", 22150.0 + 22050.0 * airflow},
      {"GEARAERO.wav", 22150.0 + 22050.0 * airflow},
  };
  for (const char* rain : {"c2prec1.wav", "c2prec2.wav", "c2prec3.wav", "c2prec4.wav"}) {
    rates[rain] = 22050.0 + 11025.0 * airspeedShare;
  }
  for (const ShipSoundFiles& ship : SHIP_SOUND_FILES) rates[ship.engineLoop] = idleLevel + 100.0;
  return rates;
}

TEST_F(SoundPackTest, LoopsAreAtTheirNaturalPitchWhereTheModulePlaysThem) {
  const std::map<std::string, double> rates = ModulePlayRates();
  for (const SoundBankEntry& entry : SoundBankEntries()) {
    if ((entry.flags & DSBCAPS_CTRLFREQUENCY) == 0) continue;
    EXPECT_TRUE(rates.contains(entry.file)) << entry.file << " has its frequency set";
  }
  for (const auto& [name, rate] : rates) {
    EXPECT_TRUE(IsLoop(name)) << name;
    EXPECT_NEAR(Load(name).format.nSamplesPerSec, rate, rate * 0.01) << name;
  }
}

TEST_F(SoundPackTest, LoopsJoinWithoutAClick) {
  int loops = 0;
  for (const std::string& name : SoundPackFileNames()) {
    if (!IsLoop(name)) continue;
    ++loops;
    const Loaded loaded = Load(name);
    for (std::size_t c = 0; c < loaded.format.nChannels; ++c) {
      double squares = 0.0;
      for (std::size_t i = 1; i < loaded.Frames(); ++i) {
        squares += std::pow(loaded.At(i, c) - loaded.At(i - 1, c), 2);
      }
      const double rmsStep = std::sqrt(squares / static_cast<double>(loaded.Frames() - 1));
      const int joinStep = std::abs(loaded.At(0, c) - loaded.At(loaded.Frames() - 1, c));
      EXPECT_LE(joinStep, 4.0 * rmsStep) << name << " channel " << c;
    }
  }
  EXPECT_EQ(loops, 18);
}

TEST_F(SoundPackTest, OneShotsStartAndEndInSilence) {
  for (const std::string& name : SoundPackFileNames()) {
    if (IsLoop(name)) continue;
    const Loaded loaded = Load(name);
    for (std::size_t c = 0; c < loaded.format.nChannels; ++c) {
      EXPECT_LE(std::abs(loaded.At(0, c)), FULL_SCALE / 100) << name;
      EXPECT_LE(std::abs(loaded.At(loaded.Frames() - 1, c)), FULL_SCALE / 100) << name;
    }
  }
}

TEST_F(SoundPackTest, NoFileClips) {
  for (const std::string& name : SoundPackFileNames()) {
    const Loaded loaded = Load(name);
    int peak = 0;
    for (const std::int16_t sample : loaded.samples) peak = std::max(peak, std::abs(int{sample}));
    EXPECT_LT(peak, FULL_SCALE * 9 / 10) << name;
    EXPECT_GT(peak, FULL_SCALE / 10) << name << " is barely audible";
  }
}

TEST_F(SoundPackTest, WritingAgainGivesTheSameBytesWithOneLinePerGroup) {
  const std::filesystem::path again = folder_->Path() / "again";
  ::testing::internal::CaptureStdout();
  ASSERT_TRUE(WriteSoundPack(again.string(), SoundPackOptions{}));
  std::istringstream progress(::testing::internal::GetCapturedStdout());
  int lines = 0;
  for (std::string line; std::getline(progress, line);) ++lines;
  EXPECT_EQ(lines, static_cast<int>(std::size(SOUND_GROUPS)) + 1);

  EXPECT_EQ(Bytes(again / "universe.dat"), Bytes("universe.dat"));
  for (const std::string& name : SoundPackFileNames()) {
    EXPECT_EQ(Bytes(again / "Sounds" / name), Bytes(folder_->Path() / "Sounds" / name)) << name;
  }
}

TEST_F(SoundPackTest, PhrasesAreSpokenNotToned) {
  for (const char* name : {"voxen-hid.wav", "TURGRND7.wav", "TURGEVAC.wav"}) {
    const Loaded loaded = Load(name);
    // The stand-in two-tone figure lasts half a second; the spoken phrase far longer.
    EXPECT_GT(loaded.Frames(), loaded.format.nSamplesPerSec) << name;
  }
}

TEST(SoundPackSpeakerTest, AMissingSpeakerFailsNamingThePackage) {
  ScratchFolder folder;
  const std::string path = std::getenv("PATH");
  setenv("PATH", folder.Path().c_str(), 1);
  ::testing::internal::CaptureStderr();
  const bool written = WriteSoundPack(folder.Path().string(), SoundPackOptions{});
  const std::string errors = ::testing::internal::GetCapturedStderr();
  setenv("PATH", path.c_str(), 1);
  EXPECT_FALSE(written);
  EXPECT_NE(errors.find("Debian package espeak-ng"), std::string::npos) << errors;
}

}  // namespace
