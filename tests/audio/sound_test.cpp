// Sound's own logic against a scripted buffer: which calls Play makes, and how lost
// buffers are restored and refilled.
#include "audio/sound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/audio/scripted_buffer.h"
#include "tests/audio/wave_bytes.h"

namespace {

using Calls = std::vector<std::string>;

class SoundTest : public ::testing::Test {
 protected:
  std::unique_ptr<Sound> MakeSound(DWORD flags, DWORD bufferSize = 8) {
    WriteFile(folder_.Path() / "Sounds" / "s.wav", PcmWave(1, 8000, 8, Bytes(6, 0x42)));
    auto file = std::make_unique<WaveFile>();
    file->Open("Sounds\\s.wav", WaveFile::READ);
    auto owned = std::make_unique<ScriptedBuffer>();
    buffer_ = owned.get();
    Sound::Buffers buffers;
    buffers.push_back(std::move(owned));
    auto sound = std::make_unique<Sound>(std::move(buffers), bufferSize, std::move(file), flags,
                                         "Sounds\\s.wav");
    buffer_->calls.clear();
    return sound;
  }

  ScratchFolder folder_;
  ScriptedBuffer* buffer_ = nullptr;
};

TEST_F(SoundTest, ConstructionFillsTheBufferAndPadsIt) {
  auto sound = MakeSound(DSBCAPS_GLOBALFOCUS);
  EXPECT_EQ(buffer_->memory, (Bytes{0x42, 0x42, 0x42, 0x42, 0x42, 0x42, 0x80, 0x80}));
}

TEST_F(SoundTest, PlaySetsOnlyTheControlsTheSoundWasCreatedWith) {
  auto plain = MakeSound(DSBCAPS_GLOBALFOCUS);
  EXPECT_EQ(plain->Play(0, 0, -500, 22050, 300), DS_OK);
  EXPECT_EQ(buffer_->calls, Calls{"Play"});

  auto controlled =
      MakeSound(DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN);
  controlled->Play(0, DSBPLAY_LOOPING, -500, -1, 300);
  EXPECT_EQ(buffer_->calls, (Calls{"SetVolume -500", "SetPan 300", "Play"}));
  buffer_->calls.clear();
  controlled->Play(0, DSBPLAY_LOOPING, -700, 11025, 0);
  EXPECT_EQ(buffer_->calls, (Calls{"SetVolume -700", "SetFrequency 11025", "SetPan 0", "Play"}));
}

TEST_F(SoundTest, StopAndRewindCombineTheBufferStatuses) {
  auto sound = MakeSound(DSBCAPS_GLOBALFOCUS);
  buffer_->stopResult = S_FALSE;
  EXPECT_EQ(sound->Stop(), S_FALSE);
  EXPECT_EQ(sound->Rewind(), DS_OK);
  EXPECT_EQ(buffer_->calls, (Calls{"Stop", "SetCurrentPosition"}));
}

TEST_F(SoundTest, LostBufferIsRestoredAndRefilledBeforePlaying) {
  auto sound = MakeSound(DSBCAPS_GLOBALFOCUS);
  buffer_->lost = true;
  buffer_->restoreResults = {DSERR_BUFFERLOST, DS_OK};
  EXPECT_EQ(sound->Play(0, 0, 0, -1, 0), DS_OK);
  EXPECT_EQ(buffer_->calls, (Calls{"Restore", "Restore", "Lock", "Unlock", "Play"}));
  EXPECT_EQ(buffer_->memory[0], 0x42);
}

TEST_F(SoundTest, RestoreFailingOtherwiseCountsAsRestoredAndTheRefillDecides) {
  auto sound = MakeSound(DSBCAPS_GLOBALFOCUS);
  buffer_->lost = true;
  buffer_->restoreResults = {E_FAIL, E_FAIL};
  buffer_->lockResult = DSERR_INVALIDPARAM;
  EXPECT_EQ(sound->Play(0, 0, 0, -1, 0), DSERR_INVALIDPARAM);
  EXPECT_FALSE(buffer_->playing);
}

TEST_F(SoundTest, RestoreGivesUpWhenTheDeviceStaysLost) {
  auto sound = MakeSound(DSBCAPS_GLOBALFOCUS);
  buffer_->lost = true;
  buffer_->restoreResults.assign(100, DSERR_BUFFERLOST);
  EXPECT_EQ(sound->Play(0, 0, 0, -1, 0), DSERR_BUFFERLOST);
  EXPECT_EQ(buffer_->calls.size(), 2u * Sound::RESTORE_PASS_LIMIT);
  EXPECT_FALSE(buffer_->playing);
}

// The tick asks every sound; only a loop that was playing when the device went away
// comes back, and a device still away costs one Restore call, never a wait.
TEST_F(SoundTest, OnlyALostLoopIsResumedAndADeviceStillAwayIsAskedOnce) {
  auto sound = MakeSound(DSBCAPS_GLOBALFOCUS);
  sound->Play(0, 0, 0, -1, 0);
  buffer_->lost = true;
  buffer_->calls.clear();
  EXPECT_EQ(sound->ResumeLostLoop(), S_FALSE) << "a one-shot is not replayed";
  EXPECT_TRUE(buffer_->calls.empty());

  buffer_->lost = false;
  sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
  buffer_->lost = true;
  buffer_->playing = false;
  buffer_->restoreResults.assign(10, DSERR_BUFFERLOST);
  buffer_->calls.clear();
  EXPECT_EQ(sound->ResumeLostLoop(), DSERR_BUFFERLOST);
  EXPECT_EQ(buffer_->calls, Calls{"Restore"});

  buffer_->restoreResults.clear();
  buffer_->calls.clear();
  EXPECT_EQ(sound->ResumeLostLoop(), DS_OK);
  EXPECT_EQ(buffer_->calls, (Calls{"Restore", "Lock", "Unlock", "Play"}));
  EXPECT_EQ(buffer_->memory[0], 0x42) << "refilled before it plays";
  EXPECT_EQ(sound->ResumeLostLoop(), S_FALSE) << "nothing lost any more";

  sound->Stop();
  buffer_->lost = true;
  buffer_->calls.clear();
  EXPECT_EQ(sound->ResumeLostLoop(), S_FALSE) << "a stopped loop stays stopped";
  EXPECT_TRUE(buffer_->calls.empty());
}

TEST_F(SoundTest, SoundWithoutBuffersIsNotInitialised) {
  Sound sound({}, 0, nullptr, 0, "none.wav");
  EXPECT_EQ(sound.Play(0, 0, 0, -1, 0), CO_E_NOTINITIALIZED);
  EXPECT_EQ(sound.Stop(), CO_E_NOTINITIALIZED);
  EXPECT_EQ(sound.Rewind(), CO_E_NOTINITIALIZED);
  EXPECT_FALSE(sound.IsPlaying());
  EXPECT_EQ(sound.PickFreeBuffer(), nullptr);
}

}  // namespace
