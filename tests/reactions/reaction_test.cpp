#include "tests/reactions/reaction_test.h"

#include "audio/sound_bank.h"
#include "audio/sound_manager.h"
#include "tests/dialog/fake_sound_device.h"

namespace {

std::vector<std::string> logged;

void Remember(std::string_view line) { logged.emplace_back(line); }

}  // namespace

void ReactionTest::SetUp() {
  ResetSession();
  logged.clear();
  SetStatusLineObserver(Remember);
  InstallFakeSoundDevice();
  WriteSoundBankFiles(folder.Path());
  WriteShipSoundFiles(folder.Path());
  auto* manager = new SoundManager();
  ASSERT_TRUE(Succeeded(manager->Init(&window, DSSCL_NORMAL)));
  session.soundManager = manager;
  session.dialogWindow = &window;
  ASSERT_TRUE(LoadSoundBank(&window));
  session.soundsReady = 1;
  trace.emplace(folder.Path() / "trace.jsonl");
}

void ReactionTest::TearDown() {
  trace.reset();
  SetStatusLineObserver(nullptr);
  DeleteLoadedSounds();
  ResetSession();
}

void ReactionTest::Event(std::uint8_t code, std::uint8_t index, float a, float b, float c, float d) {
  EventPacket packet;
  packet.code = code;
  packet.index = index;
  packet.valueA = a;
  packet.valueB = b;
  packet.valueC = c;
  packet.valueD = d;
  HandleEventPacket(EncodeEventPacket(packet));
}

void ReactionTest::ShipEvent(float subCode, float b, float c, float d, std::uint8_t index) {
  Event(10, index, subCode, b, c, d);
}

std::vector<std::string> ReactionTest::NewLines() {
  std::vector<std::string> lines(logged.begin() + static_cast<std::ptrdiff_t>(linesSeen_), logged.end());
  linesSeen_ = logged.size();
  return lines;
}

std::vector<std::string> ReactionTest::NewPlays() {
  std::vector<std::string> files;
  for (const TracedOp& op : trace->Plays()) files.push_back(op.file);
  trace->Clear();
  return files;
}

std::vector<std::string> ReactionTest::NewOps() {
  std::vector<std::string> ops = trace->Summary();
  trace->Clear();
  return ops;
}
