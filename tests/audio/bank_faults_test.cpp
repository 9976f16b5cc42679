// The sound bank and the ship's sounds against what can go wrong on disk and with the
// device: a Sounds folder that is a file, a first file cut short, unreadable or lying
// about its sizes, and the audio output going away while sounds play.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "audio/sound_bank.h"
#include "reactions/lost_loops.h"
#include "reactions/ship_sounds.h"
#include "tests/audio/sound_bank_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kFirstFile = "1000hztone.wav";

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutLe32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::size_t DataChunkOffset(const Bytes& wave) {
  const std::string id = "data";
  return static_cast<std::size_t>(std::search(wave.begin(), wave.end(), id.begin(), id.end()) - wave.begin());
}

TEST_F(SoundBankTest, ASoundsFolderThatIsAFileStopsTheLoadAtTheFirstFile) {
  fs::remove_all(folder_.Path() / "Sounds");
  WriteFile(folder_.Path() / "Sounds", Bytes(100, 0x52));
  EXPECT_FALSE(LoadSoundBank(nullptr));
  ASSERT_EQ(presenter_.boxes.size(), 1u);
  EXPECT_EQ(presenter_.boxes[0].text, kFirstFile);
  EXPECT_EQ(presenter_.boxes[0].title, "Could not find file!");
  EXPECT_EQ(LoadedPrefix(), 0);
}

struct Damage {
  const char* name;
  void (*apply)(const fs::path& file);
  bool loads;  // else the load stops at this file with its box
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

class DamagedFileTest : public SoundBankTest, public ::testing::WithParamInterface<Damage> {};

// A file cut inside its headers or that cannot be read is as good as missing; one that
// is only short of samples, or claims more than it holds, loads what is there.
TEST_P(DamagedFileTest, IsMissingOrLoadsWhatItHolds) {
  GetParam().apply(folder_.Path() / "Sounds" / kFirstFile);
  EXPECT_EQ(LoadSoundBank(nullptr), GetParam().loads);
  if (GetParam().loads) {
    EXPECT_TRUE(presenter_.boxes.empty());
    EXPECT_EQ(LoadedPrefix(), SOUND_BANK_SIZE);
    EXPECT_EQ(session.bank.testTone->Play(0, 0, 0, -1, 0), DS_OK);
  } else {
    ASSERT_EQ(presenter_.boxes.size(), 1u);
    EXPECT_EQ(presenter_.boxes[0].text, kFirstFile);
    EXPECT_EQ(LoadedPrefix(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bank, DamagedFileTest,
    ::testing::Values(
        Damage{"CutInItsHeaders", [](const fs::path& file) { fs::resize_file(file, 30); }, false},
        Damage{"Empty", [](const fs::path& file) { fs::resize_file(file, 0); }, false},
        Damage{"AFolder",
               [](const fs::path& file) {
                 fs::remove(file);
                 fs::create_directory(file);
               },
               false},
        Damage{"ALinkToItself",
               [](const fs::path& file) {
                 fs::remove(file);
                 fs::create_symlink(file.filename(), file);
               },
               false},
        Damage{"SamplesCutShort",
               [](const fs::path& file) { fs::resize_file(file, fs::file_size(file) / 2); }, true},
        Damage{"SizesThatLie",
               [](const fs::path& file) {
                 Bytes wave = ReadBytes(file);
                 PutLe32(wave, 4, 0xFFFFFFF0u);
                 PutLe32(wave, DataChunkOffset(wave) + 4, 0x7FFFFFF0u);
                 WriteFile(file, wave);
               },
               true}),
    [](const ::testing::TestParamInfo<Damage>& test) { return std::string(test.param.name); });

// The output goes away while a loop and a one-shot play: everything stops. Once it is
// back, the tick's resume brings the loop back and leaves the one-shot and the loop
// that was stopped meanwhile silent.
TEST_F(SoundBankTest, LoopsComeBackAfterTheDeviceDoesAndOneShotsDoNot) {
  ASSERT_TRUE(LoadSoundBank(nullptr));
  AssignShipSounds(3);
  const auto ambience = session.cockpitAmbience.Get();
  ASSERT_NE(ambience, nullptr);
  Sound* rain = session.bank.precipitationLoops[0];
  ambience->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
  rain->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
  session.bank.thunderSounds[0]->Play(0, 0, 0, -1, 0);
  output_->Disconnect();
  output_->Render(64);
  EXPECT_FALSE(ambience->IsPlaying());
  EXPECT_FALSE(session.bank.thunderSounds[0]->IsPlaying());

  ResumeLostLoops();
  EXPECT_FALSE(ambience->IsPlaying()) << "nothing to play on while the device is away";
  rain->Stop();

  output_->Reconnect();
  ResumeLostLoops();
  EXPECT_TRUE(ambience->IsPlaying());
  EXPECT_FALSE(rain->IsPlaying()) << "stopped while the device was away";
  EXPECT_FALSE(session.bank.thunderSounds[0]->IsPlaying()) << "a one-shot is not replayed";
  const std::vector<std::int16_t> mix = output_->Render(4410);
  EXPECT_TRUE(std::ranges::any_of(mix, [](std::int16_t sample) { return sample != 0; })) << "refilled";
  ReleaseShipSounds();
}

}  // namespace
