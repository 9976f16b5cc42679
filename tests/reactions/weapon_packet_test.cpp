// Weapon launches and explosions: the own ship's at once, others' after the sound's
// travel time, softer with distance and thinner air.
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/session_state.h"
#include "link/notification_packet.h"
#include "reactions/delayed_sound_queue.h"
#include "reactions/weapon_packet.h"
#include "tests/reactions/reaction_test.h"

namespace {

constexpr int kOwn = 2;
constexpr std::uint16_t kOwnId = 100;
constexpr std::uint16_t kOtherId = 300;
constexpr std::int8_t kSinker = 2;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

Vector3 Above(float altitude) { return {PLANET_RADIUS + altitude, 0.0f, 0.0f}; }

void Weapon(std::int8_t kind, std::int8_t weapon, std::uint16_t launcher, std::uint16_t target = 0,
            Vector3 position = {}) {
  WeaponPacket packet;
  packet.kind = kind;
  packet.weapon = weapon;
  packet.launcherId = launcher;
  packet.targetId = target;
  packet.position = position;
  HandleWeaponPacket(EncodeWeaponPacket(packet));
}

void Launch(std::uint16_t launcher, std::int8_t weapon = WEAPON_FUZER) { Weapon(WEAPON_LAUNCH, weapon, launcher); }

void Explosion(Vector3 position, std::uint16_t target = 0, std::int8_t weapon = WEAPON_FUZER) {
  Weapon(WEAPON_EXPLOSION, weapon, 0, target, position);
}

void Ship(int slot, std::uint16_t id, Vector3 position, std::uint8_t active = 1) {
  PlayerSlot& player = session.players[slot];
  player.active = active;
  player.objectId = id;
  player.position = position;
}

// A roster line that gives slot the object id, as the link delivers it.
void RosterLine(std::uint8_t slot, std::uint16_t id) {
  NotificationPayload payload{};
  payload[0] = 9;
  payload[1] = slot;
  const std::string text = "IVR001,Name,1,0,0,0,0," + std::to_string(id);
  std::copy(text.begin(), text.end(), payload.begin() + 2);
  HandleNotificationPacket(payload);
}

int QueuedCount() {
  int count = 0;
  for (const DelayedSoundSlot& slot : session.delayedSounds) count += slot.active;
  return count;
}

class WeaponTest : public ReactionTest {
 protected:
  void SetUp() override {
    ReactionTest::SetUp();
    session.ownSlot = kOwn;
    OwnAt(0.0f);
  }
  static void OwnAt(float altitude) { Ship(kOwn, kOwnId, Above(altitude)); }
  // Another ship `distance` km from the own ship.
  static void OtherAt(int slot, float distance, std::uint16_t id = kOtherId) {
    const Vector3 own = session.players[kOwn].position;
    Ship(slot, id, {own.x, own.y + distance, own.z});
  }
  static const DelayedSoundSlot& Queued(int index) { return session.delayedSounds[index]; }
};

}  // namespace

TEST(WeaponPacket, ReadsItsFieldsAtTheirOffsets) {
  WeaponPayload payload{};
  payload.fill(0xEE);  // the unread bytes stay out of every field
  const float position[3] = {1.0f, -2.5f, 2940.0f};
  std::memcpy(payload.data() + 4, position, sizeof position);
  payload[30] = 0x34, payload[31] = 0x12;
  payload[32] = 0xFF, payload[33] = 0xFF;
  payload[34] = 3;
  payload[35] = 0xFF;
  const WeaponPacket packet = DecodeWeaponPacket(payload);
  EXPECT_EQ(packet.position, (Vector3{1.0f, -2.5f, 2940.0f}));
  EXPECT_EQ(packet.launcherId, 0x1234);
  EXPECT_EQ(packet.targetId, 0xFFFF);
  EXPECT_EQ(packet.kind, WEAPON_EXPLOSION);
  EXPECT_EQ(packet.weapon, -1);
  EXPECT_EQ(EncodeWeaponPacket(packet), payload);
}

TEST_F(WeaponTest, AnotherShipsLaunchIsHeardAfterItsTravelTime) {
  OtherAt(7, 10.0f);
  Launch(kOtherId);
  EXPECT_EQ(NewLines(), std::vector<std::string>{"Weapon detected!"});
  EXPECT_TRUE(NewOps().empty()) << "nothing at once";
  EXPECT_EQ(Queued(0).active, 1);
  EXPECT_EQ(Queued(0).sound, session.bank.fuzerFireSound);
  EXPECT_NEAR(Queued(0).delay, 29.3878f, 1e-3f);  // a = 0.5 at sea level
  EXPECT_EQ(Queued(0).volume, -3535);

  // At 8 km the thinner air carries less: a = 1 - e^-1 / 2.
  OwnAt(8.0f);
  OtherAt(7, 10.0f);
  Launch(kOtherId, kSinker);
  EXPECT_EQ(Queued(1).sound, session.bank.sinkerLaunchSound);
  EXPECT_NEAR(Queued(1).delay, 47.96f, 1e-2f);
  EXPECT_EQ(Queued(1).volume, -4516);

  session.cabinDamping = 0.1f;
  OwnAt(0.0f);
  OtherAt(7, 10.0f);
  Launch(kOtherId);
  EXPECT_EQ(Queued(2).volume, -4035);
}

TEST_F(WeaponTest, LaunchesAreHeardInsideTwentyKilometresOnly) {
  OtherAt(7, 20.0f);
  Launch(kOtherId);
  EXPECT_TRUE(NewLines().empty());
  EXPECT_EQ(QueuedCount(), 0);
  OtherAt(7, 19.99f);
  Launch(kOtherId);
  EXPECT_EQ(NewLines(), std::vector<std::string>{"Weapon detected!"});
  EXPECT_EQ(QueuedCount(), 1);
}

TEST_F(WeaponTest, TheOwnLaunchIsHeardAtOnceFromItsStart) {
  Ship(kOwn, kOwnId, {9999.0f, 9999.0f, 9999.0f});  // no distance test
  Launch(kOwnId, kSinker);
  EXPECT_EQ(NewLines(), std::vector<std::string>{"Weapon launched!"});
  EXPECT_EQ(NewOps(), (std::vector<std::string>{"rewind sinkerLaunch.wav", "play sinkerLaunch.wav"}));
  EXPECT_EQ(QueuedCount(), 0);
}

TEST_F(WeaponTest, EveryMatchingActivePlayerIsHandledInSlotOrder) {
  OtherAt(1, 5.0f);
  OtherAt(200, 15.0f);
  OtherAt(4, 1.0f);
  session.players[4].active = 0;
  OtherAt(5, 1.0f, kOtherId + 1);
  session.players[kOwn].objectId = kOtherId;
  Launch(kOtherId);
  EXPECT_EQ(NewLines(), (std::vector<std::string>{"Weapon detected!", "Weapon launched!", "Weapon detected!"}));
  EXPECT_EQ(NewPlays(), std::vector<std::string>{"fuzerfire.wav"});
  EXPECT_EQ(QueuedCount(), 2);
  EXPECT_LT(Queued(0).delay, Queued(1).delay) << "slot 1 (5 km) before slot 200 (15 km)";
}

// Launches look at the slots' ids without their locks first; roster lines rewriting
// other slots on another link worker meanwhile must neither hide the launcher nor let
// a slot through whose id was never the launcher's.
TEST_F(WeaponTest, LaunchesFindTheirLauncherWhileRosterLinesRewriteOtherSlots) {
  OtherAt(1, 5.0f);
  for (int slot = 10; slot < 60; ++slot) OtherAt(slot, 3.0f, kOtherId + 1);
  std::atomic<bool> stop{false};
  std::thread roster([&stop] {
    for (std::uint16_t round = 0; !stop; ++round) {
      for (std::uint8_t slot = 10; slot < 60; ++slot) RosterLine(slot, kOtherId + 1 + round % 2);
    }
  });
  constexpr int kLaunches = 40;
  int detected = 0;
  for (int i = 0; i < kLaunches; ++i) {
    Launch(kOtherId);
    for (const std::string& line : NewLines()) detected += line == "Weapon detected!" ? 1 : 0;
  }
  stop = true;
  roster.join();
  EXPECT_EQ(detected, kLaunches);
  EXPECT_EQ(QueuedCount(), kLaunches);
}

TEST_F(WeaponTest, TheWeaponsSwitchSilencesLaunchesButNotExplosions) {
  session.weaponsSwitch = 0;
  OtherAt(7, 10.0f);
  Launch(kOtherId);
  Launch(kOwnId);
  EXPECT_EQ(NewLines(), (std::vector<std::string>{"Weapon detected!", "Weapon launched!"}));
  EXPECT_EQ(QueuedCount(), 0);
  EXPECT_TRUE(NewOps().empty());

  Explosion(Above(3.0f));
  Explosion({}, kOwnId);
  EXPECT_EQ(QueuedCount(), 1);
  EXPECT_EQ(NewPlays(), std::vector<std::string>{"Sputter.wav"});
}

TEST_F(WeaponTest, AnExplosionThatHitsTheOwnShipIsHeardAtOnceWithoutALine) {
  Explosion({0.0f, 0.0f, 0.0f}, kOwnId);  // 2939.6 km away: the distance does not count
  Explosion({0.0f, 0.0f, 0.0f}, kOwnId, kSinker);
  EXPECT_TRUE(NewLines().empty());
  EXPECT_EQ(NewOps(), (std::vector<std::string>{"rewind Sputter.wav", "play Sputter.wav", "rewind sinkerint.wav",
                                                "play sinkerint.wav"}));
  EXPECT_EQ(QueuedCount(), 0);
}

TEST_F(WeaponTest, OtherExplosionsAreLoggedAndHeardByDistance) {
  Explosion({PLANET_RADIUS, 25.0f, 0.0f});
  EXPECT_EQ(NewLines(), std::vector<std::string>{"Explosion!  Distance: 25.000"});
  EXPECT_EQ(QueuedCount(), 0);

  session.cabinDamping = 0.1f;
  Explosion(Above(0.0f), 0, kSinker);
  EXPECT_EQ(NewLines(), std::vector<std::string>{"Explosion!  Distance: 0.000"});
  EXPECT_EQ(Queued(0).sound, session.bank.sinkerHitSound);
  EXPECT_EQ(Queued(0).delay, 0.0f);
  EXPECT_EQ(Queued(0).volume, -500);

  session.cabinDamping = 0.0f;
  OwnAt(8.0f);
  Explosion({PLANET_RADIUS + 8.0f, 10.0f, 0.0f});
  EXPECT_EQ(NewLines(), std::vector<std::string>{"Explosion!  Distance: 10.000"});
  EXPECT_EQ(Queued(1).sound, session.bank.fuzerHitSound);
  EXPECT_NEAR(Queued(1).delay, 47.96f, 1e-2f);
  EXPECT_EQ(Queued(1).volume, -4516);
  EXPECT_TRUE(NewOps().empty());
}

TEST_F(WeaponTest, BeforeTheSoundsAreReadyExplosionsAreOnlyLogged) {
  session.soundsReady = 0;
  Explosion(Above(1.0f));
  Explosion(Above(1.0f), kOwnId);
  OtherAt(7, 1.0f);
  Launch(kOtherId);
  EXPECT_EQ(NewLines(), (std::vector<std::string>{"Explosion!  Distance: 1.000", "Weapon detected!"}));
  EXPECT_EQ(QueuedCount(), 0);
  EXPECT_TRUE(NewOps().empty());
}

TEST_F(WeaponTest, OtherKindsAreIgnored) {
  OtherAt(7, 1.0f);
  for (int kind : {0, 2, 6, -3}) {
    Weapon(static_cast<std::int8_t>(kind), WEAPON_FUZER, kOtherId, kOwnId, Above(0.0f));
  }
  EXPECT_TRUE(NewLines().empty());
  EXPECT_TRUE(NewOps().empty());
  EXPECT_EQ(QueuedCount(), 0);
}

TEST_F(WeaponTest, AFullQueueRefusesTheDetectedLaunch) {
  for (int i = 0; i < DELAYED_SOUND_SLOT_COUNT; ++i) QueueDelayedSound(nullptr, 60.0f, 0);
  OtherAt(7, 1.0f);
  Launch(kOtherId);
  EXPECT_EQ(NewLines(),
            (std::vector<std::string>{"Weapon detected!", "Could not find an unused delayed sound slot!"}));
}

TEST_F(WeaponTest, PositionsBeyondMeasureQueueNothingAndSanePositionsAreHeardAgain) {
  OtherAt(7, 1.0f);
  session.players[kOwn].position = {kNaN, 0.0f, 0.0f};
  Launch(kOtherId);
  Explosion(Above(1.0f));
  session.players[kOwn].position = {0.0f, std::numeric_limits<float>::infinity(), 0.0f};
  Explosion({0.0f, std::numeric_limits<float>::infinity(), 0.0f});
  OwnAt(0.0f);
  Explosion({kNaN, kNaN, kNaN});
  EXPECT_EQ(QueuedCount(), 0);
  NewLines();

  Launch(kOtherId);
  Explosion(Above(1.0f));
  EXPECT_EQ(NewLines(), (std::vector<std::string>{"Weapon detected!", "Explosion!  Distance: 1.000"}));
  EXPECT_EQ(QueuedCount(), 2);
}
