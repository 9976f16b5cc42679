#include "reactions/doppler_loop.h"

#include <cmath>

#include "app/session_state.h"
#include "audio/sound_actions.h"
#include "reactions/cabin_damping.h"
#include "reactions/float_fields.h"

namespace {

// km: the nearest ship is heard within this distance.
constexpr float kAudibleRange = 6.0f;
constexpr float kSilent = -10000.0f;
// The share of the old value that each tick keeps.
constexpr float kKept = 0.25f;

// A target that is not finite (motion from the link beyond measure) is not followed:
// the loop holds its value for the tick, so what it carries stays finite.
float Smoothed(float target, float last) {
  if (!std::isfinite(target)) target = last;
  return target + (last - target) * kKept;
}

}  // namespace

DopplerTarget DopplerTargetFor(const NearestShip& ship) {
  const float volume = ship.distance < kAudibleRange
                           ? ship.distance / kAudibleRange * -5000.0f * ship.distanceFade - CabinLoss()
                           : kSilent;
  return {volume, ship.dopplerFactor * 8000.0f + 100.0f};
}

void PlayDopplerLoop(const DopplerTarget& target) {
  const float volume = Smoothed(target.volume, session.lastDopplerVolume);
  const float frequency = Smoothed(target.frequency, session.lastDopplerFrequency);
  // Above 32767 Hz the 16-bit frequency turns negative; the device refuses it and the
  // loop keeps its previous pitch.
  PlayLooping(session.bank.dopplerLoop, WholeNumber16(volume), WholeNumber16(frequency));
  session.lastDopplerVolume = volume;
  session.lastDopplerFrequency = frequency;
}
