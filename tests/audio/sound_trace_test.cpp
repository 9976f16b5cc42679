#include "audio/sound_trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio/sound_manager.h"
#include "tests/audio/rendered_device.h"

namespace {

std::vector<std::string> Lines(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(SoundTraceTest, OneLinePerOperationWithItsFields) {
  RenderedDevice device;
  const auto path = std::filesystem::current_path() / "trace.jsonl";
  ASSERT_TRUE(OpenSoundTrace(path.string()));
  WriteFile("Sounds/ky100 hi low tone.wav", PcmWave(1, 8000, 8, Bytes(60, 0x80)));
  SoundManager manager;
  ASSERT_EQ(manager.Init(nullptr, DSSCL_NORMAL), S_OK);
  Sound* sound = nullptr;
  manager.CreateSound(&sound, "Sounds\\absent.wav", 0x8000, GUID_NULL, 1);
  manager.CreateSound(&sound, "Sounds\\ky100 hi low tone.wav", 0x80A0, GUID_NULL, 1);
  ASSERT_NE(sound, nullptr);
  sound->Play(0, DSBPLAY_LOOPING, -1200, 11025, 0);
  sound->Stop();
  sound->Rewind();
  delete sound;
  CloseSoundTrace();

  const std::vector<std::string> lines = Lines(path);
  ASSERT_EQ(lines.size(), 6u);
  const std::string number = R"(\{"t":[0-9]+\.[0-9]+,)";
  const std::string file = R"("file":"ky100 hi low tone\.wav")";
  EXPECT_TRUE(std::regex_match(
      lines[0], std::regex(number + R"("op":"create","file":"absent\.wav","flags":32768,"status":-2147467259\})")))
      << lines[0];
  EXPECT_TRUE(std::regex_match(
      lines[1], std::regex(number + R"("op":"create",)" + file + R"(,"flags":32928,"status":0\})")))
      << lines[1];
  EXPECT_TRUE(std::regex_match(
      lines[2], std::regex(number + R"("op":"play",)" + file +
                           R"(,"priority":0,"flags":1,"volume":-1200,"frequency":11025,"pan":0,"status":0\})")))
      << lines[2];
  EXPECT_TRUE(std::regex_match(lines[3], std::regex(number + R"("op":"stop",)" + file + R"(,"status":0\})")))
      << lines[3];
  EXPECT_TRUE(std::regex_match(lines[4], std::regex(number + R"("op":"rewind",)" + file + R"(,"status":0\})")))
      << lines[4];
  EXPECT_TRUE(std::regex_match(lines[5], std::regex(number + R"("op":"delete",)" + file + R"(\})")))
      << lines[5];
}

TEST(SoundTraceTest, UncreatableFileTracesNothing) {
  EXPECT_FALSE(OpenSoundTrace("/nonexistent-folder/trace.jsonl"));
  TraceStop("beep.wav", 0);  // must not crash
}

}  // namespace
