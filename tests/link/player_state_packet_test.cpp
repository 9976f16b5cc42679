// The player state packet: the slot's motion and, for the own slot, the wind and gear
// airflow loops and the phrase at the speed of sound.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "link/player_state_packet.h"
#include "reactions/atmosphere.h"
#include "tests/reactions/reaction_test.h"

namespace {

constexpr std::uint8_t kOwn = 3;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A point over the equator at this height (km).
Vector3 Above(float altitude) { return {PLANET_RADIUS + altitude, 0.0f, 0.0f}; }

void State(std::uint8_t slot, Vector3 position, Vector3 velocity, std::int8_t ref = -1) {
  PlayerStatePacket packet;
  packet.slot = slot;
  packet.position = position;
  packet.velocity = velocity;
  packet.ref = ref;
  HandlePlayerStatePacket(EncodePlayerStatePacket(packet));
}

class PlayerStateTest : public ReactionTest {
 protected:
  void SetUp() override {
    ReactionTest::SetUp();
    session.ownSlot = kOwn;
  }

  // The one play of each airflow loop since the last call.
  struct Loops {
    TracedOp wind;
    TracedOp gear;
  };
  Loops AirflowPlays() {
    Loops loops;
    int found = 0;
    for (const TracedOp& op : trace->Plays()) {
      if (op.file == "c5wind3.wav") loops.wind = op, found += 1;
      if (op.file == "GEARAERO.wav") loops.gear = op, found += 10;
    }
    trace->Clear();
    EXPECT_EQ(found, 11) << "each loop played once";
    return loops;
  }
};

PlayerSlot& Slot(int index) { return session.players[index]; }

}  // namespace

TEST(PlayerStatePacket, ReadsItsFieldsAtTheirOffsets) {
  PlayerStatePayload payload{};
  payload.fill(0xEE);  // the unread bytes stay out of every field
  payload[0] = 200;
  const float motion[6] = {1.5f, -2.0f, 3000.0f, 0.25f, -0.5f, 1e-3f};
  std::memcpy(payload.data() + 4, motion, sizeof motion);
  payload[56] = 0xFE;  // -2
  const PlayerStatePacket packet = DecodePlayerStatePacket(payload);
  EXPECT_EQ(packet.slot, 200);
  EXPECT_EQ(packet.position, (Vector3{1.5f, -2.0f, 3000.0f}));
  EXPECT_EQ(packet.velocity, (Vector3{0.25f, -0.5f, 1e-3f}));
  EXPECT_EQ(packet.ref, -2);
  EXPECT_EQ(EncodePlayerStatePacket(packet), payload);
}

TEST_F(PlayerStateTest, PlanetCentredMotionIsTakenOverWithTheTurningSurfaceBeneath) {
  session.planetRotationRate = 1e-4f;
  State(9, Above(1.0f), {0.0f, 0.2f, 0.1f}, -2);
  PlayerSlot& slot = Slot(9);
  EXPECT_EQ(slot.ref, -2);
  EXPECT_EQ(slot.position, Above(1.0f));
  EXPECT_EQ(slot.velocity, (Vector3{0.0f, 0.2f, 0.1f}));
  EXPECT_FLOAT_EQ(slot.latitudeAngle, 0.0f);
  EXPECT_FLOAT_EQ(slot.surfaceVelocity.y, (PLANET_RADIUS + 1.0f) * 1e-4f);  // eastward at the equator
  EXPECT_EQ(slot.surfaceVelocity.x, 0.0f);

  // Halfway to the north pole: the latitude (sign inverted) and a slower surface.
  State(9, {2000.0f, 0.0f, 2000.0f}, {});
  EXPECT_NEAR(slot.latitudeAngle, -0.785398f, 1e-5f);
  EXPECT_NEAR(slot.surfaceVelocity.y, 2000.0f * 1e-4f, 1e-6f);
}

TEST_F(PlayerStateTest, AnotherFrameParksTheSlotAndKeepsItsLastMotion) {
  PlayerSlot& slot = Slot(9);
  slot.active = 1;
  slot.objectId = 4242;
  session.planetRotationRate = 1e-4f;
  State(9, {2000.0f, 0.0f, 2000.0f}, {0.0f, 0.2f, 0.0f});
  const Vector3 surface = slot.surfaceVelocity;
  const float latitude = slot.latitudeAngle;
  State(9, Above(5.0f), {9.0f, 9.0f, 9.0f}, 0);
  EXPECT_EQ(slot.ref, 0);
  EXPECT_EQ(slot.position, (Vector3{9999.0f, 9999.0f, 9999.0f}));
  EXPECT_EQ(slot.velocity, (Vector3{0.0f, 0.2f, 0.0f}));
  EXPECT_EQ(slot.surfaceVelocity, surface);
  EXPECT_EQ(slot.latitudeAngle, latitude);
  EXPECT_EQ(slot.active, 1);  // the roster's fields are not the packet's
  EXPECT_EQ(slot.objectId, 4242);
}

TEST_F(PlayerStateTest, TheSpinAxisAndThePlanetCentreGiveFiniteMotion) {
  session.planetRotationRate = 7.3e-5f;
  for (const Vector3 position : {Vector3{0.0f, 0.0f, 2950.0f}, Vector3{0.0f, 0.0f, -2950.0f}, Vector3{},
                                 Vector3{1e-30f, 0.0f, 2950.0f}}) {
    State(kOwn, position, {0.1f, 0.0f, 0.0f});
    const PlayerSlot& slot = Slot(kOwn);
    EXPECT_TRUE(std::isfinite(slot.latitudeAngle)) << position.z;
    for (float v : {slot.surfaceVelocity.x, slot.surfaceVelocity.y, slot.surfaceVelocity.z}) {
      EXPECT_TRUE(std::isfinite(v)) << position.z;
    }
    const Loops loops = AirflowPlays();
    EXPECT_GT(loops.wind.frequency, 22150);
  }
}

TEST_F(PlayerStateTest, AirflowSetsThePitchAndLoudnessOfWindAndGear) {
  // 0.135 km/s at 8 km: airflow e^-1.
  State(kOwn, Above(8.0f), {0.0f, 0.135f, 0.0f});
  Loops loops = AirflowPlays();
  EXPECT_EQ(loops.wind.frequency, 30261);
  EXPECT_EQ(loops.wind.volume, -1967);
  EXPECT_EQ(loops.wind.flags, 1);
  EXPECT_EQ(loops.gear.frequency, 30261);
  EXPECT_EQ(loops.gear.volume, -5000);  // gear up: gearFade 0
  EXPECT_EQ(loops.gear.flags, 1);

  // Full airflow: fast at sea level; the gear down adds its full noise.
  session.gearFade = 1.0f;
  State(kOwn, Above(0.0f), {0.0f, 0.5f, 0.0f});
  loops = AirflowPlays();
  EXPECT_EQ(loops.wind.frequency, 44200);
  EXPECT_EQ(loops.wind.volume, 0);
  EXPECT_EQ(loops.gear.volume, 0);

  // No airflow, and the cabin keeps a tenth of the loudness span out.
  session.cabinDamping = 0.1f;
  State(kOwn, Above(0.0f), {});
  loops = AirflowPlays();
  EXPECT_EQ(loops.wind.frequency, 22150);
  EXPECT_EQ(loops.wind.volume, -5500);
  EXPECT_EQ(loops.gear.volume, -5500);
}

TEST_F(PlayerStateTest, WindBlowsAgainstTheAirTurningWithThePlanet) {
  session.planetRotationRate = 1e-4f;
  const float surfaceSpeed = (PLANET_RADIUS + 1.0f) * 1e-4f;
  State(kOwn, Above(1.0f), {0.0f, surfaceSpeed, 0.0f});  // still in the co-rotating air
  Loops loops = AirflowPlays();
  EXPECT_EQ(loops.wind.volume, -5000);
  EXPECT_EQ(loops.wind.frequency, 22150);
  State(kOwn, Above(1.0f), {});  // still against the stars
  loops = AirflowPlays();
  EXPECT_GT(loops.wind.volume, -5000);
  EXPECT_GT(loops.wind.frequency, 22150);
}

TEST(Atmosphere, TemperatureAndSpeedOfSoundFollowTheLayers) {
  EXPECT_NEAR(AirTemperature(10.0f), -43.333f, 1e-3f);
  EXPECT_NEAR(AirTemperature(30.0f), -42.0f, 1e-4f);
  EXPECT_EQ(AirTemperature(50.0f), 0.0f);
  EXPECT_NEAR(AirTemperature(66.0f), -45.0f, 1e-4f);
  EXPECT_NEAR(AirTemperature(85.0f), -116.218f, 1e-3f);  // the whole height squared
  EXPECT_NEAR(AirTemperature(79.999f), -89.999f, 1e-2f);
  EXPECT_NEAR(AirTemperature(80.0f), -113.224f, 1e-3f);
  EXPECT_EQ(AirTemperature(190.0f), -221.0f);
  EXPECT_EQ(Altitude({1000.0f, 0.0f, 0.0f}), 0.0f);  // below the surface: the ground
  EXPECT_EQ(AirTemperature(0.0f), 20.0f);
  EXPECT_NEAR(LocalSpeedOfSound(10.0f), 0.3039f, 1e-4f);
  EXPECT_FLOAT_EQ(LocalSpeedOfSound(50.0f), SPEED_OF_SOUND);
}

TEST_F(PlayerStateTest, ThePhraseMarksEachCrossingOfTheSpeedOfSoundOnce) {
  auto phrases = [this] {
    int count = 0;
    for (const std::string& file : NewPlays()) count += file == "voxen-psb.wav";
    return count;
  };
  const std::vector<std::pair<float, int>> steps = {{0.3f, 0}, {0.4f, 1}, {0.4f, 0}, {0.3f, 1}, {0.3f, 0}};
  for (const auto& [speed, heard] : steps) {
    State(kOwn, Above(50.0f), {0.0f, speed, 0.0f});
    EXPECT_EQ(phrases(), heard) << speed;
  }
  // Thinner, colder air at 10 km: sound is slower (about 0.3039 km/s).
  State(kOwn, Above(10.0f), {0.0f, 0.305f, 0.0f});
  EXPECT_EQ(phrases(), 1);
  EXPECT_EQ(session.supersonic, 1);
}

TEST_F(PlayerStateTest, TheLatchFlipsUnheardSoNoPhraseIsOwedLater) {
  session.onboardSwitch = 0;
  State(kOwn, Above(50.0f), {0.0f, 0.4f, 0.0f});
  EXPECT_EQ(session.supersonic, 1);
  session.onboardSwitch = 1;
  State(kOwn, Above(50.0f), {0.0f, 0.4f, 0.0f});
  session.soundsReady = 0;
  State(kOwn, Above(50.0f), {0.0f, 0.3f, 0.0f});
  EXPECT_EQ(session.supersonic, 0);
  EXPECT_EQ(NewOps().size(), 4u) << "the two packets' loops only";
}

TEST_F(PlayerStateTest, OnlyFreeFlightBelowTheAirCeilingKeepsTheLoops) {
  const std::vector<std::string> stops = {"stop c5wind3.wav", "stop GEARAERO.wav"};
  for (const auto& [altitude, ref] : {std::pair{1.0f, std::int8_t{0}}, {1.0f, std::int8_t{-2}}, {100.0f, std::int8_t{-1}}}) {
    State(kOwn, Above(50.0f), {0.0f, 0.4f, 0.0f});
    NewOps();
    State(kOwn, Above(altitude), {0.0f, 0.4f, 0.0f}, ref);
    EXPECT_EQ(NewOps(), stops) << "ref " << int{ref} << " at " << altitude;
    EXPECT_EQ(session.supersonic, 1) << "the latch keeps its value";
  }
}

TEST_F(PlayerStateTest, AnotherSlotNeverTouchesTheLoopsOrTheLatch) {
  State(kOwn + 1, Above(50.0f), {0.0f, 0.4f, 0.0f});
  State(kOwn - 1, Above(50.0f), {0.0f, 0.4f, 0.0f}, 0);
  EXPECT_TRUE(NewOps().empty());
  EXPECT_EQ(session.supersonic, 0);
  EXPECT_EQ(Slot(kOwn + 1).position, Above(50.0f));
}

TEST_F(PlayerStateTest, BeforeTheSoundsAreReadyOnlyTheSlotAndTheLatchChange) {
  session.soundsReady = 0;
  State(kOwn, Above(50.0f), {0.0f, 0.4f, 0.0f});
  State(kOwn, Above(500.0f), {0.0f, 0.4f, 0.0f});
  EXPECT_TRUE(NewOps().empty());
  EXPECT_EQ(session.supersonic, 1);
  EXPECT_EQ(Slot(kOwn).position, Above(500.0f));
}

TEST_F(PlayerStateTest, MotionBeyondMeasureSilencesTheLoopsUntilSaneMotionReturns) {
  State(kOwn, Above(50.0f), {0.0f, 0.4f, 0.0f});
  NewOps();
  const std::vector<std::string> stops = {"stop c5wind3.wav", "stop GEARAERO.wav"};
  for (const auto& [position, velocity] :
       {std::pair{Above(8.0f), Vector3{kNaN, 0.0f, 0.0f}}, {Above(8.0f), Vector3{0.0f, kInf, 0.0f}},
        {Vector3{kNaN, 0.0f, 0.0f}, Vector3{}}, {Vector3{0.0f, 0.0f, -kInf}, Vector3{}}}) {
    State(kOwn, position, velocity);
    EXPECT_EQ(NewOps(), stops);
    EXPECT_EQ(session.supersonic, 1) << "a value beyond measure crosses nothing";
  }
  State(kOwn, Above(8.0f), {0.0f, 0.135f, 0.0f});
  const Loops loops = AirflowPlays();
  EXPECT_EQ(loops.wind.frequency, 30261);
  EXPECT_EQ(loops.wind.volume, -1967);
  EXPECT_EQ(session.supersonic, 0);
}
