// The periodic update: the gear fade, the Doppler loop of the nearest ship, the
// "&Whodat?" lines and the rain loops, tick by tick; and every reaction at once under
// load from several threads.
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "link/player_state_packet.h"
#include "reactions/delayed_sound_queue.h"
#include "reactions/periodic_update.h"
#include "reactions/weapon_packet.h"
#include "tests/reactions/reaction_test.h"

namespace {

constexpr int kOwn = 1;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
// So high that the air no longer shelters: the distance alone sets the loop's volume.
constexpr Vector3 kHigh{3100.0f, 0.0f, 0.0f};

const std::vector<std::string> kAllRainStopped = {"stop c2prec1.wav", "stop c2prec2.wav", "stop c2prec3.wav",
                                                  "stop c2prec4.wav"};

Vector3 Above(float altitude) { return {PLANET_RADIUS + altitude, 0.0f, 0.0f}; }

void Place(int slot, Vector3 position, Vector3 velocity = {}, std::int8_t ref = -1) {
  PlayerSlot& player = session.players[slot];
  player.position = position;
  player.velocity = velocity;
  player.ref = ref;
}

// Another ship in free flight `distance` km north of the high own ship.
void Other(int slot, float distance, Vector3 velocity = {}, std::uint8_t type = 1) {
  Place(slot, {kHigh.x, kHigh.y, kHigh.z + distance}, velocity);
  session.players[slot].active = 1;
  session.players[slot].type = type;
}

void SetIntensity(float intensity) {
  std::scoped_lock lock(session.precipitationLock);
  session.precipitationIntensity = intensity;
}

class PeriodicUpdateTest : public ReactionTest {
 protected:
  void SetUp() override {
    ReactionTest::SetUp();
    session.ownSlot = kOwn;
    Place(kOwn, kHigh);
  }

  void Tick() { PeriodicUpdate(&window); }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) Tick();
  }
  std::vector<std::string> Whodat() {
    NewLines();
    session.whodatRequested = 1;
    Tick();
    return NewLines();
  }
  // The plays of one file since the last call.
  std::vector<TracedOp> PlaysOf(const std::string& file) {
    std::vector<TracedOp> plays;
    for (const TracedOp& op : trace->Plays()) {
      if (op.file == file) plays.push_back(op);
    }
    trace->Clear();
    return plays;
  }
  TracedOp DopplerPlay() {
    const std::vector<TracedOp> plays = PlaysOf("doppler.wav");
    EXPECT_EQ(plays.size(), 1u);
    return plays.empty() ? TracedOp{} : plays.back();
  }
  // The loop's play once the smoothing has reached its target.
  TracedOp SettledDopplerPlay() {
    Ticks(20);
    PlaysOf("doppler.wav");
    Tick();
    return DopplerPlay();
  }
  // Puts the rain level where the weather already is: nothing to move, no switch change.
  static void SettledRain(float level) {
    SetIntensity(level);
    session.precipitationLevel = level;
    session.environmentalSwitchSeen = true;
    session.lastEnvironmentalSwitch = session.environmentalSwitch;
  }
  // The precipitation loops played or stopped since the last call.
  std::vector<std::string> RainOps() {
    std::vector<std::string> ops;
    for (const std::string& op : NewOps()) {
      if (op.find("c2prec") != std::string::npos) ops.push_back(op);
    }
    return ops;
  }
};

}  // namespace

TEST_F(PeriodicUpdateTest, TheGearNoiseFadesInAndOutOverFourTicks) {
  session.gearDown = 1;
  for (float fade : {0.25f, 0.5f, 0.75f, 1.0f, 1.0f}) {
    Tick();
    EXPECT_EQ(session.gearFade, fade);
  }
  session.gearDown = 0;
  for (float fade : {0.75f, 0.5f, 0.25f, 0.0f, 0.0f}) {
    Tick();
    EXPECT_EQ(session.gearFade, fade);
  }
}

TEST_F(PeriodicUpdateTest, TheFirstTicksMoveTheLoopThreeQuartersOfTheWayToItsTarget) {
  Other(5, 3.0f);  // target -2500 at a steady 8100 Hz
  Tick();
  TracedOp play = DopplerPlay();
  EXPECT_EQ(play.volume, -4375);
  EXPECT_EQ(play.frequency, 8075);
  EXPECT_EQ(play.flags, 1);
  Tick();
  play = DopplerPlay();
  EXPECT_EQ(play.volume, -2968);
  EXPECT_EQ(play.frequency, 8093);
  play = SettledDopplerPlay();
  EXPECT_EQ(play.volume, -2500);
  EXPECT_EQ(play.frequency, 8100);
}

TEST_F(PeriodicUpdateTest, TheClosingSpeedShiftsThePitch) {
  Other(5, 1.0f, {0.0f, 0.5f, 0.0f});
  Place(kOwn, kHigh, {0.0f, 0.5f, 0.0f});
  EXPECT_EQ(Whodat(), (std::vector<std::string>{"slts our 1 clo 5 @ 1.000 (ing 1.0)",
                                                 "refs our -1 clo -1 / typs our 0 clo 1", "IVRs our  clo  (ET 0.250)",
                                                 "vols new -833.3 old -10000.0 / frqs new 8100.0 old 8000.0"}));
  Other(5, 1.0f, {0.0f, 0.0f, -SPEED_OF_SOUND});
  Place(kOwn, kHigh);
  const std::vector<std::string> lines = Whodat();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "slts our 1 clo 5 @ 1.000 (ing 2.0)");
  EXPECT_EQ(lines[3], "vols new -833.3 old -3125.0 / frqs new 16100.0 old 8075.0");
}

TEST_F(PeriodicUpdateTest, WithoutATargetTheLoopDriftsToSilenceAt8100Hz) {
  EXPECT_EQ(Whodat(), (std::vector<std::string>{"No target found...",
                                                 "vols new -10000.0 old -10000.0 / frqs new 8100.0 old 8000.0"}));
  EXPECT_EQ(session.whodatRequested, 0);
  Tick();
  EXPECT_TRUE(NewLines().empty()) << "one press, one set of lines";
  const TracedOp play = SettledDopplerPlay();
  EXPECT_EQ(play.volume, -10000);
  EXPECT_EQ(play.frequency, 8100);
}

TEST_F(PeriodicUpdateTest, OfEqualDistancesTheLowerSlotIsTaken) {
  Other(9, 0.0f);
  Place(9, {kHigh.x, kHigh.y + 2.0f, kHigh.z});
  Other(4, 0.0f);
  Place(4, {kHigh.x, kHigh.y - 2.0f, kHigh.z});
  EXPECT_EQ(Whodat().front(), "slts our 1 clo 4 @ 2.000 (ing 1.0)");
}

TEST_F(PeriodicUpdateTest, OnlyActiveShipsInFreeFlightOutsideTypes10To19AreTaken) {
  Other(2, 0.5f, {}, 10);
  Other(3, 0.5f, {}, 19);
  Other(4, 0.5f);
  Place(4, {kHigh.x, kHigh.y, kHigh.z + 0.5f}, {}, -2);
  Other(6, 0.5f);
  Place(6, {kHigh.x, kHigh.y, kHigh.z + 0.5f}, {}, 0);
  Other(7, 0.5f);
  session.players[7].active = 0;
  Other(8, 4.0f, {}, 20);
  Other(200, 3.0f, {}, 9);
  SetIvr(session.players[kOwn], "ABC");
  SetIvr(session.players[200], "XYZ");
  session.players[kOwn].type = 7;
  std::vector<std::string> lines = Whodat();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "slts our 1 clo 200 @ 3.000 (ing 1.0)");
  EXPECT_EQ(lines[1], "refs our -1 clo -1 / typs our 7 clo 9");
  EXPECT_EQ(lines[2], "IVRs our ABC clo XYZ (ET 0.250)");
  session.players[200].active = 0;
  EXPECT_EQ(Whodat().front(), "slts our 1 clo 8 @ 4.000 (ing 1.0)");
}

TEST_F(PeriodicUpdateTest, NoSearchWhileTheOwnShipMovesInAnotherFrame) {
  Other(5, 0.5f);
  Place(kOwn, kHigh, {}, 0);
  EXPECT_EQ(Whodat().front(), "No target found...");
  Place(kOwn, kHigh, {}, -2);
  EXPECT_EQ(Whodat().front(), "slts our 1 clo 5 @ 0.500 (ing 1.0)");
}

TEST_F(PeriodicUpdateTest, AtTheGroundTheDistanceNoLongerLowersTheVolume) {
  session.cabinDamping = 0.1f;
  Place(kOwn, Above(0.0f));
  Other(5, 0.0f);
  Place(5, {PLANET_RADIUS, 5.0f, 0.0f});
  const std::vector<std::string> lines = Whodat();
  EXPECT_EQ(lines.back(), "vols new -500.0 old -10000.0 / frqs new 8100.0 old 8000.0");
}

TEST_F(PeriodicUpdateTest, AFrequencyBeyond16BitsIsPassedOnAsTheDeviceReceivesIt) {
  session.lastDopplerFrequency = 200000.0f;  // closing at many times the speed of sound
  Tick();
  EXPECT_EQ(DopplerPlay().frequency, 56075 - 65536);
  Tick();
  EXPECT_EQ(DopplerPlay().frequency, 20093);
}

TEST_F(PeriodicUpdateTest, MotionBeyondMeasureHoldsTheLoopUntilSaneMotionReturns) {
  Other(5, 3.0f);
  Tick();
  PlaysOf("doppler.wav");
  const float volume = session.lastDopplerVolume;
  const float frequency = session.lastDopplerFrequency;
  for (const auto& [own, other] : {std::pair{Vector3{}, Vector3{kNaN, 0.0f, 0.0f}}, {Vector3{0.0f, kInf, 0.0f}, Vector3{}},
                                   {Vector3{0.0f, 3e38f, 0.0f}, Vector3{0.0f, -3e38f, 0.0f}}}) {
    Place(kOwn, kHigh, own);
    Place(5, {kHigh.x, kHigh.y, kHigh.z + 3.0f}, other);
    Tick();
    EXPECT_EQ(DopplerPlay().frequency, 8075) << "the last pitch held";
    EXPECT_EQ(session.lastDopplerFrequency, frequency);
    EXPECT_TRUE(std::isfinite(session.lastDopplerVolume));
  }
  EXPECT_LT(session.lastDopplerVolume, -2500.0f);
  EXPECT_GT(session.lastDopplerVolume, volume) << "the distance was still measured";
  Place(kOwn, kHigh);
  Place(5, {kHigh.x, kHigh.y, kHigh.z + 3.0f});
  const TracedOp play = SettledDopplerPlay();
  EXPECT_EQ(play.volume, -2500);
  EXPECT_EQ(play.frequency, 8100);
}

TEST_F(PeriodicUpdateTest, TheStepsRunInTheirOrder) {
  QueueDelayedSound(session.bank.fuzerHitSound, 0.0f, -100);
  SetIntensity(9.0f);
  Place(kOwn, Above(0.0f));
  session.whodatRequested = 1;
  Tick();
  EXPECT_EQ(NewOps(), (std::vector<std::string>{"play fuzerhit.wav", "play doppler.wav", "play c2prec3.wav",
                                                "stop c2prec1.wav", "stop c2prec2.wav", "stop c2prec4.wav"}));
  EXPECT_EQ(NewLines().back(), "vols new -10000.0 old -10000.0 / frqs new 8100.0 old 8000.0")
      << "the lines show the loop before it moves";
}

TEST_F(PeriodicUpdateTest, RainIsHeardLouderWithItsIntensityAndTheSpeedThroughTheAir) {
  SetIntensity(9.0f);
  Place(kOwn, Above(0.0f));
  Tick();  // the first tick starts at the intensity
  std::vector<TracedOp> plays = PlaysOf("c2prec3.wav");
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].volume, -1464);
  EXPECT_EQ(plays[0].frequency, 22050);
  EXPECT_EQ(plays[0].flags, 1);
  Place(kOwn, Above(0.0f), {0.0f, 0.1f, 0.0f});
  session.cabinDamping = 0.1f;
  Tick();
  plays = PlaysOf("c2prec3.wav");
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0].volume, -1232);
  EXPECT_EQ(plays[0].frequency, 27562);
}

TEST_F(PeriodicUpdateTest, EachBandOfTheLevelHasItsLoopAndAChangeStopsTheOthers) {
  session.precipitationLoopIndex = -1;
  const std::vector<std::pair<float, std::vector<std::string>>> bands = {
      {2.0f, {}},
      {2.5f, {"play c2prec1.wav", "stop c2prec2.wav", "stop c2prec3.wav", "stop c2prec4.wav"}},
      {5.0f, {"play c2prec1.wav"}},
      {5.25f, {"play c2prec2.wav", "stop c2prec1.wav", "stop c2prec3.wav", "stop c2prec4.wav"}},
      {8.0f, {"play c2prec2.wav"}},
      {9.0f, {"play c2prec3.wav", "stop c2prec1.wav", "stop c2prec2.wav", "stop c2prec4.wav"}},
      {11.0f, {"play c2prec3.wav"}},
      {11.5f, {"play c2prec4.wav", "stop c2prec1.wav", "stop c2prec2.wav", "stop c2prec3.wav"}},
      {14.5f, {"play c2prec4.wav"}},
      {20.0f, {"play c2prec4.wav"}},
      {1.0f, kAllRainStopped}};
  Place(kOwn, Above(0.0f));
  for (const auto& [level, ops] : bands) {
    SettledRain(level);
    Tick();
    EXPECT_EQ(RainOps(), ops) << "level " << level;
  }
}

TEST_F(PeriodicUpdateTest, AboveTheCloudsTheRainFadesAtTheRateOfTheAirAndStops) {
  SetIntensity(9.0f);
  Place(kOwn, Above(0.0f));
  Tick();
  Place(kOwn, Above(4.0f), {0.0f, 4.6f, 0.0f});
  const float rate = (0.0353f + 4.6f) * 0.15f;
  Tick();
  EXPECT_FLOAT_EQ(session.precipitationLevel, 9.0f - rate);
  int ticks = 1;
  while (session.precipitationLevel > 2.0f && ticks < 20) {
    RainOps();
    Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 11);
  EXPECT_EQ(session.precipitationLevel, 2.0f);
  EXPECT_EQ(RainOps(), kAllRainStopped);
}

TEST_F(PeriodicUpdateTest, TheEnvironmentalSwitchStopsTheRainAndRestartsItAtOnce) {
  SetIntensity(12.0f);
  Place(kOwn, Above(0.0f));
  Tick();
  RainOps();
  FlipSwitch(session.environmentalSwitch);
  Tick();
  EXPECT_EQ(RainOps(), kAllRainStopped);
  EXPECT_EQ(session.precipitationLevel, 2.0f);
  FlipSwitch(session.environmentalSwitch);
  Tick();
  EXPECT_EQ(session.precipitationLevel, 12.0f);
  EXPECT_EQ(RainOps(), (std::vector<std::string>{"play c2prec4.wav", "stop c2prec1.wav", "stop c2prec2.wav",
                                                 "stop c2prec3.wav"}));
}

TEST_F(PeriodicUpdateTest, AnIntensityBeyondMeasureLeavesTheLevelWhereItWas) {
  Place(kOwn, Above(0.0f));
  SettledRain(6.0f);
  for (float intensity : {kNaN, kInf, -kInf}) {
    SetIntensity(intensity);
    FlipSwitch(session.environmentalSwitch);
    Tick();
    FlipSwitch(session.environmentalSwitch);
    Tick();  // the switch's jump to a target beyond measure
    EXPECT_EQ(session.precipitationLevel, 2.0f) << intensity;
  }
  RainOps();
  SetIntensity(9.0f);
  Tick();
  EXPECT_GT(session.precipitationLevel, 2.0f);
  EXPECT_EQ(RainOps(), (std::vector<std::string>{"play c2prec1.wav", "stop c2prec2.wav", "stop c2prec3.wav",
                                                 "stop c2prec4.wav"}));
}

TEST_F(PeriodicUpdateTest, OwnMotionBeyondMeasurePlaysNoRainAndMovesNoLevel) {
  Place(kOwn, Above(0.0f));
  SettledRain(6.0f);
  session.precipitationLoopIndex = 1;  // its band's loop already plays
  SetIntensity(9.0f);
  for (const auto& [position, velocity] : {std::pair{Above(0.0f), Vector3{kNaN, 0.0f, 0.0f}},
                                           {Above(0.0f), Vector3{kInf, 0.0f, 0.0f}},
                                           {Vector3{kNaN, 0.0f, 0.0f}, Vector3{}}}) {
    Place(kOwn, position, velocity);
    RainOps();
    Tick();
    EXPECT_TRUE(RainOps().empty());
    EXPECT_EQ(session.precipitationLevel, 6.0f);
  }
  Place(kOwn, Above(0.0f));
  Tick();
  EXPECT_GT(session.precipitationLevel, 6.0f);
  EXPECT_EQ(RainOps(), std::vector<std::string>{"play c2prec2.wav"});
}

// Packets for every slot from two link threads, weapons from a third and the weather
// from a fourth, while the dialog thread ticks and the own slot changes now and then:
// no data race and no deadlock (the test ends), and the carried state stays finite.
TEST_F(PeriodicUpdateTest, AllReactionsTogetherKeepTheLockOrder) {
  for (int i = 0; i < PLAYER_SLOT_COUNT; ++i) {
    session.players[i].active = 1;
    session.players[i].objectId = static_cast<std::uint16_t>(i % 8);
    session.players[i].type = static_cast<std::uint8_t>(i % 24);
  }
  auto stream = [](int seed) {
    for (int round = 0; round < 30; ++round) {
      for (int slot = 0; slot < PLAYER_SLOT_COUNT; ++slot) {
        PlayerStatePacket packet;
        packet.slot = static_cast<std::uint8_t>(slot);
        const float spread = static_cast<float>((slot * 7 + round * 3 + seed) % 40) * 0.25f;
        packet.position = {PLANET_RADIUS + spread, spread, 1.0f};
        packet.velocity = {0.0f, (round + seed) % 17 == 0 ? kNaN : 0.2f * spread, 0.0f};
        packet.ref = static_cast<std::int8_t>(slot % 11 == 0 ? 0 : -1);
        HandlePlayerStatePacket(EncodePlayerStatePacket(packet));
      }
    }
  };
  auto weapons = [] {
    for (int n = 0; n < 600; ++n) {
      WeaponPacket packet;
      packet.kind = n % 2 == 0 ? WEAPON_LAUNCH : WEAPON_EXPLOSION;
      packet.weapon = static_cast<std::int8_t>(n % 3);
      packet.launcherId = static_cast<std::uint16_t>(n % 8);
      packet.targetId = static_cast<std::uint16_t>(n % 9);
      packet.position = {PLANET_RADIUS, static_cast<float>(n % 30), 0.0f};
      HandleWeaponPacket(EncodeWeaponPacket(packet));
    }
  };
  auto weather = [] {
    for (int n = 0; n < 600; ++n) SetIntensity(n % 50 == 0 ? kNaN : static_cast<float>(n % 16));
  };
  std::atomic<int> running{4};
  auto untilDone = [&running](auto work) {
    return [&running, work] {
      work();
      --running;
    };
  };
  std::vector<std::thread> link;
  link.emplace_back(untilDone([&stream] { stream(0); }));
  link.emplace_back(untilDone([&stream] { stream(5); }));
  link.emplace_back(untilDone(weapons));
  link.emplace_back(untilDone(weather));
  // The timer ticks for as long as the link threads run (and a few ticks at least).
  for (int tick = 0; (running > 0 || tick < 50) && tick < 20000; ++tick) {
    if (tick % 10 == 0) session.whodatRequested = 1;
    if (tick % 25 == 0) FlipSwitch(session.environmentalSwitch);
    if (tick % 5 == 0) session.ownSlot = tick % 10 == 0 ? kOwn : kOwn + 1;  // a new slot assigned
    Tick();
  }
  for (std::thread& thread : link) thread.join();
  Tick();
  EXPECT_TRUE(std::isfinite(session.lastDopplerVolume));
  EXPECT_TRUE(std::isfinite(session.lastDopplerFrequency));
  EXPECT_TRUE(std::isfinite(session.precipitationLevel));
}
