// The delayed sound queue: lowest free slot first, the full queue, and the countdown by
// ticks.
#include <limits>
#include <thread>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "audio/sound.h"
#include "reactions/delayed_sound_queue.h"
#include "tests/dialog/dialog_fakes.h"
#include "tests/dialog/fake_sound_device.h"

namespace {

class DelayedSoundQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSession();
    InstallFakeSoundDevice();
    sound = MakeTestSound(folder.Path(), "thunder.wav");
  }
  void TearDown() override { ResetSession(); }

  // The running tick on which the sound starts, counted from 1; 0 if it never does.
  int TickOfFirstPlay(int limit) {
    for (int tick = 1; tick <= limit; ++tick) {
      UpdateDelayedSounds();
      if (sound.buffer->plays > 0) {
        return tick;
      }
    }
    return 0;
  }

  ScratchFolder folder;
  TestSound sound;
};

TEST_F(DelayedSoundQueueTest, DelaysCountDownAQuarterSecondPerTick) {
  for (const auto& [delay, tick] : {std::pair{1.5f, 6}, {3.0f, 12}, {0.0f, 1}, {-2.0f, 1}, {0.3f, 2}}) {
    sound.buffer->plays = 0;
    ASSERT_TRUE(QueueDelayedSound(sound.sound.get(), delay, -1200));
    EXPECT_EQ(TickOfFirstPlay(20), tick) << "delay " << delay;
    EXPECT_EQ(sound.buffer->volume, -1200);
    EXPECT_EQ(sound.buffer->playFlags, 0u);
    EXPECT_EQ(session.delayedSounds[0].active, 0);
  }
}

TEST_F(DelayedSoundQueueTest, DelaysFarBelowZeroPlayOnTheNextTick) {
  for (const float delay : {-std::numeric_limits<float>::infinity(), -1e30f}) {
    sound.buffer->plays = 0;
    ASSERT_TRUE(QueueDelayedSound(sound.sound.get(), delay, -300));
    EXPECT_EQ(TickOfFirstPlay(1), 1) << "delay " << delay;
    EXPECT_EQ(session.delayedSounds[0].active, 0);
  }
}

TEST_F(DelayedSoundQueueTest, DelaysThatCanNeverReachZeroAreFreedWithoutPlaying) {
  for (const float delay : {std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(), 1e30f}) {
    ASSERT_TRUE(QueueDelayedSound(sound.sound.get(), delay, 0));
    EXPECT_EQ(TickOfFirstPlay(1), 0) << "delay " << delay;
    EXPECT_EQ(session.delayedSounds[0].active, 0) << "delay " << delay;
  }
}

TEST_F(DelayedSoundQueueTest, TheLowestFreeSlotIsTakenAgainAfterItPlays) {
  QueueDelayedSound(sound.sound.get(), 0.25f, 0);
  for (int i = 0; i < 5; ++i) {
    QueueDelayedSound(sound.sound.get(), 10.0f, 0);
  }
  UpdateDelayedSounds();
  EXPECT_EQ(session.delayedSounds[0].active, 0);
  EXPECT_EQ(session.delayedSounds[5].active, 1);
  QueueDelayedSound(sound.sound.get(), 1.0f, -5);
  EXPECT_EQ(session.delayedSounds[0].active, 1);
  EXPECT_EQ(session.delayedSounds[0].volume, -5);
  EXPECT_EQ(session.delayedSounds[6].active, 0);
}

TEST_F(DelayedSoundQueueTest, AFullQueueRefusesAndLogsWithoutChangingAnyEntry) {
  for (int i = 0; i < DELAYED_SOUND_SLOT_COUNT; ++i) {
    ASSERT_TRUE(QueueDelayedSound(sound.sound.get(), static_cast<float>(i), 0));
  }
  EXPECT_FALSE(QueueDelayedSound(nullptr, 99.0f, -1));
  EXPECT_EQ(StatusText(), "Could not find an unused delayed sound slot!");
  for (int i = 0; i < DELAYED_SOUND_SLOT_COUNT; ++i) {
    EXPECT_EQ(session.delayedSounds[i].delay, static_cast<float>(i));
    EXPECT_EQ(session.delayedSounds[i].sound, sound.sound.get());
  }
}

TEST_F(DelayedSoundQueueTest, AClaimGivenBackUnfilledLeavesTheSlotFree) {
  {
    DelayedSoundClaim claim = ClaimDelayedSoundSlot();
    EXPECT_TRUE(claim);
  }
  EXPECT_EQ(session.delayedSounds[0].active, 0);
  QueueDelayedSound(sound.sound.get(), 1.0f, 0);
  EXPECT_EQ(session.delayedSounds[0].active, 1);
}

TEST_F(DelayedSoundQueueTest, AMissingSoundIsFreedWithoutPlaying) {
  QueueDelayedSound(nullptr, 0.0f, 0);
  UpdateDelayedSounds();
  EXPECT_EQ(session.delayedSounds[0].active, 0);
}

TEST_F(DelayedSoundQueueTest, ConcurrentRequestsTakeDifferentSlots) {
  constexpr int kPerThread = 30;
  auto queue = [this] {
    for (int i = 0; i < kPerThread; ++i) {
      QueueDelayedSound(sound.sound.get(), 5.0f, 0);
    }
  };
  std::thread first(queue);
  std::thread second(queue);
  first.join();
  second.join();
  int waiting = 0;
  for (DelayedSoundSlot& slot : session.delayedSounds) {
    waiting += slot.active;
  }
  EXPECT_EQ(waiting, 2 * kPerThread);
}

}  // namespace
