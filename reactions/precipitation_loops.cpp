#include "reactions/precipitation_loops.h"

#include <cmath>
#include <cstdint>
#include <mutex>

#include "app/session_state.h"
#include "audio/sound_actions.h"
#include "reactions/atmosphere.h"
#include "reactions/cabin_damping.h"
#include "reactions/float_fields.h"

namespace {

// The level at and below which nothing is heard; also the target out of the weather.
constexpr float kDry = 2.0f;
// km: the weather reaches no higher.
constexpr float kCloudTop = 3.3f;
constexpr std::int16_t kNoLoop = -1;
constexpr int kLoopCount = 4;

struct OwnAir {
  float altitude;  // km
  float airspeed;  // km/s
  float rate;      // how far the level moves in one tick
};

OwnAir ReadOwnAir() {
  PlayerSlot& own = session.players[session.ownSlot];
  std::scoped_lock lock(own.lock);
  const float airspeed = Length(Subtract(own.velocity, own.surfaceVelocity));
  return {Altitude(own.position), airspeed, (0.0353f * Cosf(own.latitudeAngle) + airspeed) * 0.15f};
}

// Motion from the link that is not finite moves and plays nothing this tick.
bool Measurable(const OwnAir& air) { return std::isfinite(air.rate) && !std::isnan(air.altitude); }

float TargetLevel(float altitude, bool environmental) {
  if (!(altitude < kCloudTop) || !environmental) return kDry;
  std::scoped_lock lock(session.precipitationLock);
  return session.precipitationIntensity;
}

// A change of the switch (and the first tick) puts the level at its target at once.
void FollowSwitch(std::uint8_t environmental, float target) {
  if (!session.environmentalSwitchSeen) {
    session.lastEnvironmentalSwitch = environmental != 0 ? 0 : 1;
    session.environmentalSwitchSeen = true;
  }
  if (session.lastEnvironmentalSwitch != environmental) {
    session.precipitationLevel = target;
    session.lastEnvironmentalSwitch = environmental;
  }
}

void MoveLevel(float target, float rate) {
  float& level = session.precipitationLevel;
  if (level < target) {
    level += rate;
    if (level > target) level = target;
  } else if (level > target) {
    level -= rate;
    if (level < target) level = target;
  }
}

// The loops run from light rain to the heaviest: a level up to 5 plays the first, up
// to 8 the second, up to 11 the third; above 11 the fourth, whose band runs to 14 and
// on to 16, where the volume formula peaks.
std::int16_t LoopIndex(bool environmental) {
  const float level = session.precipitationLevel;
  if (level <= kDry || !environmental) return kNoLoop;
  constexpr float kBandTops[kLoopCount - 1] = {5.0f, 8.0f, 11.0f};
  std::int16_t index = 0;
  while (index < kLoopCount - 1 && level > kBandTops[index]) ++index;
  return index;
}

// Faster through denser air: higher and louder; heavier rain: louder.
void PlayLoop(Sound* loop, const OwnAir& air) {
  float s = AirDensity(air.altitude) * air.airspeed / 0.2f;
  if (s > 1.0f) s = 1.0f;
  const LONG frequency = WholeNumber16(11025.0f * s) + 22050;
  const float h = Sqrtf((session.precipitationLevel - kDry) / 14.0f);
  const LONG volume = WholeNumber16((1.0f - s) * (1.0f - h) * -5000.0f - CabinLoss());
  PlayLooping(loop, volume, frequency);
}

void StopLoopsBut(std::int16_t kept) {
  for (int index = 0; index < kLoopCount; ++index) {
    if (index != kept) StopSound(session.bank.precipitationLoops[index]);
  }
}

}  // namespace

void UpdatePrecipitationLoops() {
  const OwnAir air = ReadOwnAir();
  const std::uint8_t environmental = session.environmentalSwitch;
  float target = TargetLevel(air.altitude, environmental != 0);
  // An intensity from the link that is not finite is no news: the level holds.
  if (!std::isfinite(target)) target = session.precipitationLevel;
  FollowSwitch(environmental, target);
  const bool measurable = Measurable(air);
  if (measurable) MoveLevel(target, air.rate);
  const std::int16_t index = LoopIndex(environmental != 0);
  if (index != kNoLoop && measurable) PlayLoop(session.bank.precipitationLoops[index], air);
  if (index != session.precipitationLoopIndex) {
    StopLoopsBut(index);
    session.precipitationLoopIndex = index;
  }
}
