// The bank loaded from a generated sound pack through the real device.
#include "audio/sound_bank.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/session_state.h"
#include "audio/sound_bank_table.h"
#include "tests/audio/sound_bank_fixture.h"

namespace {


TEST_F(SoundBankTest, TableHoldsNinetySevenDistinctFilesAndHandles) {
  std::set<std::string> files;
  std::set<Sound**> handles;
  for (const SoundBankEntry& entry : SoundBankEntries()) {
    files.insert(entry.file);
    handles.insert(entry.handle(session.bank));
  }
  EXPECT_EQ(files.size(), 97u);
  EXPECT_EQ(handles.size(), 97u);
  EXPECT_EQ(SoundPackFileNames().size(), 109u);
}

TEST_F(SoundBankTest, AllLoadWithoutABox) {
  EXPECT_TRUE(LoadSoundBank(nullptr));
  EXPECT_TRUE(presenter_.boxes.empty());
  EXPECT_EQ(LoadedPrefix(), SOUND_BANK_SIZE);
  EXPECT_NE(session.bank.rumbleLoop, nullptr);
  EXPECT_NE(session.bank.computerPhrases[10], nullptr);
}

struct MissingCase {
  const char* file;
  const char* boxText;
  int loadedBefore;
};

void PrintTo(const MissingCase& missing, std::ostream* out) { *out << missing.file; }

class MissingFileTest : public SoundBankTest,
                        public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingFileTest, StopsTheLoadWithTheGroupsBox) {
  std::filesystem::remove(folder_.Path() / "Sounds" / GetParam().file);
  EXPECT_FALSE(LoadSoundBank(nullptr));
  ASSERT_EQ(presenter_.boxes.size(), 1u);
  EXPECT_EQ(presenter_.boxes[0].text, GetParam().boxText);
  EXPECT_EQ(presenter_.boxes[0].title, "Could not find file!");
  EXPECT_EQ(presenter_.boxes[0].type, MB_OK | MB_ICONERROR);
  EXPECT_EQ(LoadedPrefix(), GetParam().loadedBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Bank, MissingFileTest,
    ::testing::Values(MissingCase{"beep32.wav", "beep32.wav", 3},
                      MissingCase{"c2thun3b.wav", "c2thun??.wav", 6 + 7},
                      MissingCase{"c2prec1.wav", "c2prec?.wav", 6 + 15},
                      MissingCase{"TURGRNDB.wav", "TURGRND?.wav", 6 + 15 + 4 + 11},
                      MissingCase{"cycletarget.wav", "Onboard computer failed!", 6 + 15 + 4 + 12 + 10},
                      MissingCase{"c5wind3.wav", "c5wind3.wav", SOUND_BANK_SIZE - 4},
                      MissingCase{"ky100 hi low tone.wav", "ky100 hi low tone.wav", 6 + 42 + 7}),
    [](const ::testing::TestParamInfo<MissingCase>& test) {
      std::string name = test.param.file;
      for (char& c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
      }
      return name;
    });

}  // namespace
