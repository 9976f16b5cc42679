// Docking edges and dock announcements on the delayed queue; lightning, precipitation
// with its hull-ionization latch, and the environment loops.
#include <limits>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "reactions/delayed_sound_queue.h"
#include "reactions/weather.h"
#include "tests/reactions/reaction_test.h"

namespace {

using Lines = std::vector<std::string>;

class DockingTest : public ReactionTest {
 protected:
  // Running ticks until something plays; the tick it played on, counted from 1.
  int TicksUntilPlay(int limit) {
    for (int tick = 1; tick <= limit; ++tick) {
      UpdateDelayedSounds();
      if (!trace->Plays().empty()) return tick;
    }
    return 0;
  }
  void FillQueue() {
    for (int i = 0; i < DELAYED_SOUND_SLOT_COUNT; ++i) QueueDelayedSound(nullptr, 100.0f, 0);
    NewLines();
  }
};

TEST_F(DockingTest, DockingDuringTheConfigurationBurstIsSilentAndUndockingLaterIsHeard) {
  Event(2, 0, 7.0f, 1.0f);
  Event(2, 0, 7.0f, 1.0f);
  EXPECT_EQ(session.docked, 1);
  EXPECT_EQ(NewLines(), Lines{"Client docked to port 7..."});
  EXPECT_TRUE(NewOps().empty());
  Event(3, 0, 0.0f);
  Event(2, 0, 7.0f, 1.0000001f);
  EXPECT_EQ(session.docked, 0);
  EXPECT_EQ(NewLines(), (Lines{"Client undocked...", "Computer phrase 1..."}));
  Lines expected;
  for (const char* id : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B"}) {
    expected.push_back(std::string("stop TURGRND") + id + ".wav");
  }
  expected.insert(expected.end(), {"stop TURGEVAC.wav", "play RELEASE.wav"});
  EXPECT_EQ(NewOps(), expected);
  EXPECT_EQ(TicksUntilPlay(20), 12);
  EXPECT_EQ(NewPlays(), Lines{"voxen-amc.wav"});
}

TEST_F(DockingTest, UndockingBeforeTheConfigurationIsCompleteOnlyLogs) {
  session.docked = 1;
  Event(2, 0, 0.0f, 0.0f);
  EXPECT_EQ(session.docked, 0);
  EXPECT_EQ(NewLines(), Lines{"Client undocked..."});
  EXPECT_TRUE(NewOps().empty());
  EXPECT_EQ(session.delayedSounds[0].active, 0);
}

TEST_F(DockingTest, UndockingWithoutOnboardEffectsQueuesNoPhrase) {
  session.configurationComplete = 1;
  session.onboardSwitch = 0;
  Event(2, 0, 3.0f, 1.0f);
  NewLines();
  Event(2, 0, 3.0f, -0.0f);
  EXPECT_EQ(NewLines(), Lines{"Client undocked..."});
  EXPECT_EQ(session.delayedSounds[0].active, 0);
}

TEST_F(DockingTest, AnnouncementsFollowTheirChimeAndBadNumbersAreRefused) {
  ShipEvent(7.0f, 0.0f, 0.0f, 0.0f, 11);
  EXPECT_EQ(NewLines(), Lines{"Dock announcement 11..."});
  EXPECT_EQ(NewPlays(), Lines{"CHIME_A.wav"});
  EXPECT_EQ(TicksUntilPlay(20), 6);
  EXPECT_EQ(NewPlays(), Lines{"TURGRNDB.wav"});
  ShipEvent(7.0f, 0.0f, 0.0f, 0.0f, 12);
  EXPECT_EQ(NewLines(), Lines{"Invalid dock announcement queued!"});
  EXPECT_TRUE(NewPlays().empty());
  EXPECT_EQ(session.delayedSounds[0].active, 0);
  session.dockAnnouncementsSwitch = 0;
  ShipEvent(7.0f, 0.0f, 0.0f, 0.0f, 12);
  EXPECT_TRUE(NewLines().empty());
}

TEST_F(DockingTest, AFullQueueDropsAnnouncementsPhrasesAndThunderWithItsLine) {
  FillQueue();
  ShipEvent(7.0f, 0.0f, 0.0f, 0.0f, 3);
  ShipEvent(0.0f, 4.0f, -1200.0f);
  session.configurationComplete = 1;
  session.docked = 1;
  Event(2, 0, 0.0f, 0.0f);
  EXPECT_EQ(NewLines(), (Lines{"Could not find an unused delayed sound slot!",
                               "Could not find an unused delayed sound slot!", "Client undocked...",
                               "Could not find an unused delayed sound slot!"}));
  EXPECT_EQ(session.docked, 0);
  EXPECT_EQ(NewPlays(), Lines{"RELEASE.wav"});
}

class WeatherTest : public DockingTest {};

TEST_F(WeatherTest, LightningQueuesThunderAtTheGivenDelayAndVolume) {
  ShipEvent(0.0f, 4.0f, -1200.0f);
  EXPECT_EQ(NewLines(), Lines{"Lightning!  Distance: 4.000  Intensity: -1200.000"});
  EXPECT_EQ(TicksUntilPlay(40), 16);
  const auto plays = trace->Plays();
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].file.substr(0, 6), "c2thun");
  EXPECT_EQ(plays[0].volume, -1200);
  EXPECT_EQ(plays[0].frequency, -1);
  session.environmentalSwitch = 0;
  ShipEvent(0.0f, 4.0f, -1200.0f);
  EXPECT_TRUE(NewLines().empty());
  EXPECT_EQ(session.delayedSounds[0].active, 0);
}

TEST_F(WeatherTest, ThunderIndexStaysInsideTheTable) {
  EXPECT_EQ(ThunderIndex(0), 0);
  EXPECT_EQ(ThunderIndex(2184), 0);
  EXPECT_EQ(ThunderIndex(2185), 1);
  EXPECT_EQ(ThunderIndex(32766), 14);
  EXPECT_EQ(ThunderIndex(32767), 14);
}

// The log shows what printf shows, cut to the line's 89 characters.
TEST_F(WeatherTest, LightningLinesFormatExtremeValuesAsPrintfDoes) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float infinity = std::numeric_limits<float>::infinity();
  ShipEvent(0.0f, -0.0f, infinity);
  ShipEvent(0.0f, nan, -infinity);
  ShipEvent(0.0f, 3.4e38f, -3.4e38f);
  const Lines lines = NewLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Lightning!  Distance: -0.000  Intensity: inf");
  EXPECT_EQ(lines[1], "Lightning!  Distance: nan  Intensity: -inf");
  EXPECT_EQ(lines[2].size(), 89u);
  EXPECT_EQ(lines[2].substr(0, 32), "Lightning!  Distance: 3399999952");
}

// A thunder too far ever to arrive gives its slot back instead of holding it for ever.
TEST_F(WeatherTest, AnEndlessDelayFreesItsSlotWithoutPlaying) {
  ShipEvent(0.0f, std::numeric_limits<float>::infinity(), 0.0f);
  ShipEvent(0.0f, 1e30f, 0.0f);
  UpdateDelayedSounds();
  EXPECT_EQ(session.delayedSounds[0].active, 0);
  EXPECT_EQ(session.delayedSounds[1].active, 0);
  EXPECT_TRUE(NewPlays().empty());
}

TEST_F(WeatherTest, HullIonizationWarnsOnceForEachRiseAboveTheThreshold) {
  for (float intensity : {13.0f, 14.0f, 12.5f, 12.0f, 13.0f}) Event(14, 0, 0.0f, 0.0f, intensity);
  EXPECT_EQ(NewLines(), (Lines{"Precipitation intensity changed to 13", "Hull ionization detected!",
                               "Precipitation intensity changed to 14", "Precipitation intensity changed to 12",
                               "Precipitation intensity changed to 12", "Precipitation intensity changed to 13",
                               "Hull ionization detected!"}));
  EXPECT_EQ(NewPlays(), (Lines{"voxen-hid.wav", "voxen-hid.wav"}));
  std::scoped_lock lock(session.precipitationLock);
  EXPECT_EQ(session.precipitationIntensity, 13.0f);
}

TEST_F(WeatherTest, EnvironmentLoopsAreLoweredByTheCabinAndSilencedBelowTheThreshold) {
  session.cabinDamping = 0.125f;
  for (float level : {-2000.0f, -5000.0f, -5000.1f}) ShipEvent(20.0f, 3.0f, level, 6.0f);
  ShipEvent(20.0f, 2.0f, 0.0f, 5.0f);
  const auto plays = trace->Plays();
  ASSERT_EQ(plays.size(), 6u);
  const long volumes[] = {-2625, -5625, -10000};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(plays[2 * i].file, "mining.wav");
    EXPECT_EQ(plays[2 * i + 1].file, "waveloop.wav");
    EXPECT_EQ(plays[2 * i].volume, volumes[i]);
    EXPECT_EQ(plays[2 * i + 1].volume, volumes[i]);
    EXPECT_EQ(plays[2 * i].flags, 1);
  }
}

}  // namespace
