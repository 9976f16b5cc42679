#include "reactions/weapon_packet.h"

#include <algorithm>
#include <mutex>

#include "app/session_state.h"
#include "audio/sound_actions.h"
#include "link/packet_bytes.h"
#include "reactions/atmosphere.h"
#include "reactions/cabin_damping.h"
#include "reactions/delayed_sound_queue.h"
#include "reactions/float_fields.h"
#include "reactions/slot_pair_lock.h"

namespace {

// km: beyond it nothing is heard.
constexpr float kHearingRange = 20.0f;
// Seconds of travel per unit of attenuation: sound needs about 58.8 s for the whole
// range at sea level.
constexpr float kDelayPerAttenuation = 58.77551f;

struct WeaponSounds {
  Sound* launch;
  Sound* explosion;
  Sound* ownHit;
};

// The bank's handles: read only once soundsReady says it has loaded (before that
// there is nothing to play).
WeaponSounds SoundsOf(std::int8_t weapon) {
  const SoundBank& bank = session.bank;
  if (weapon == WEAPON_FUZER) return {bank.fuzerFireSound, bank.fuzerHitSound, bank.sputterSound};
  return {bank.sinkerLaunchSound, bank.sinkerHitSound, bank.sinkerIntSound};
}

// 0 as loud as can be, 1 inaudible: the share of the range the sound has to cross,
// less what the thinner air around the own ship leaves of it. rangeShare is d / 20,
// at most 1.
float Attenuation(const PlayerSlot& own, float rangeShare) {
  return 1.0f - AirDensity(Altitude(own.position)) * (1.0f - rangeShare);
}

// The sound arrives after its travel time, softer with the attenuation a (below 1).
void QueueDistantSound(Sound* sound, float a) {
  const std::int16_t volume = WholeNumber16(-Sqrtf(a) * 5000.0f - CabinLoss());
  QueueDelayedSound(sound, a * kDelayPerAttenuation, volume);
}

bool WeaponsAudible() { return session.soundsReady && session.weaponsSwitch; }

bool Launched(const PlayerSlot& slot, const WeaponPacket& packet) {
  return slot.active != 0 && slot.objectId == packet.launcherId;
}

// Read without the slot's lock, to skip the slots a launch cannot concern: locking all
// 256 pairs cost several microseconds per launch. A slot that passes is looked at again
// under its locks, so a roster change racing with the launch is seen either way.
bool MayHaveLaunched(const PlayerSlot& slot, const WeaponPacket& packet) {
  return slot.active.load(std::memory_order_relaxed) != 0 &&
         slot.objectId.load(std::memory_order_relaxed) == packet.launcherId;
}

void HearOwnLaunch(PlayerSlot& own, const WeaponPacket& packet) {
  std::scoped_lock lock(own.lock);
  if (!Launched(own, packet)) return;
  LogStatus(session.dialogWindow, "Weapon launched!");
  if (WeaponsAudible()) RewindAndPlayOnce(SoundsOf(packet.weapon).launch);
}

// Another ship launched: heard within range, after the sound has travelled.
void HearLaunch(PlayerSlot& launcher, PlayerSlot& own, const WeaponPacket& packet) {
  const auto locks = LockSlotPair(launcher, own);
  if (!Launched(launcher, packet)) return;
  const float d = Length(Subtract(launcher.position, own.position));
  if (!(d < kHearingRange)) return;
  const float a = Attenuation(own, d / kHearingRange);
  LogStatus(session.dialogWindow, "Weapon detected!");
  if (WeaponsAudible() && a < 1.0f) QueueDistantSound(SoundsOf(packet.weapon).launch, a);
}

void HandleLaunch(const WeaponPacket& packet) {
  const int ownSlot = session.ownSlot;
  PlayerSlot& own = session.players[ownSlot];
  for (int i = 0; i < PLAYER_SLOT_COUNT; ++i) {
    if (i == ownSlot) {
      HearOwnLaunch(own, packet);
    } else if (MayHaveLaunched(session.players[i], packet)) {
      HearLaunch(session.players[i], own, packet);
    }
  }
}

// Heard whatever the weapons switch says.
void HandleExplosion(const WeaponPacket& packet) {
  PlayerSlot& own = session.players[session.ownSlot];
  std::scoped_lock lock(own.lock);
  const float d = Length(Subtract(own.position, packet.position));
  if (own.objectId == packet.targetId) {
    if (session.soundsReady) RewindAndPlayOnce(SoundsOf(packet.weapon).ownHit);
    return;
  }
  LogStatusFormat(session.dialogWindow, "Explosion!  Distance: %.3f", static_cast<double>(d));
  const float a = Attenuation(own, std::min(d / kHearingRange, 1.0f));
  if (session.soundsReady && a < 1.0f) QueueDistantSound(SoundsOf(packet.weapon).explosion, a);
}

}  // namespace

WeaponPacket DecodeWeaponPacket(const WeaponPayload& payload) { return PacketFromBytes<WeaponPacket>(payload); }

WeaponPayload EncodeWeaponPacket(const WeaponPacket& packet) { return BytesOfPacket(packet); }

void HandleWeaponPacket(const WeaponPayload& payload) {
  const WeaponPacket packet = DecodeWeaponPacket(payload);
  if (packet.kind == WEAPON_LAUNCH) {
    HandleLaunch(packet);
  } else if (packet.kind == WEAPON_EXPLOSION) {
    HandleExplosion(packet);
  }
}
