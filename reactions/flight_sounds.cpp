#include "reactions/flight_sounds.h"

#include <cmath>

#include "app/session_state.h"
#include "audio/sound_actions.h"
#include "link/player_state_packet.h"
#include "reactions/atmosphere.h"
#include "reactions/cabin_damping.h"
#include "reactions/float_fields.h"

namespace {

// km: above it there is no air to hear.
constexpr float kAirCeiling = 100.0f;
// km/s at sea level that make the loudest airflow.
constexpr float kFullAirflowSpeed = 0.135f;
constexpr int kSpeedOfSoundPhrase = 9;

void StopAirflowLoops() {
  if (!session.soundsReady) return;
  StopSound(session.bank.windLoop);
  StopSound(session.bank.gearAeroLoop);
}

// airflow 0..1: pitch and loudness rise together; the gear adds its noise as it
// comes down.
void PlayAirflowLoops(float airflow) {
  const LONG frequency = 22150 + WholeNumber16(22050.0f * airflow);
  const float g = Sqrtf(airflow);
  const LONG windVolume = WholeNumber16((1.0f - g) * -5000.0f - CabinLoss());
  if (session.soundsReady) PlayLooping(session.bank.windLoop, windVolume, frequency);
  const LONG gearVolume = WholeNumber16((1.0f - g * session.gearFade) * -5000.0f - CabinLoss());
  if (session.soundsReady) PlayLooping(session.bank.gearAeroLoop, gearVolume, frequency);
}

// The latch flips on every crossing, heard or not, so no phrase is owed later; the
// exchange lets one thread only speak for a crossing.
void MarkSoundBarrier(float airspeed, float altitude) {
  const std::uint8_t faster = LocalSpeedOfSound(altitude) < airspeed ? 1 : 0;
  if (session.supersonic.exchange(faster) == faster) return;
  if (session.onboardSwitch && session.soundsReady) {
    PlayOnce(session.bank.computerPhrases[kSpeedOfSoundPhrase]);
  }
}

}  // namespace

void PlayFlightSounds(std::int8_t ref, const Airflow& airflow) {
  const float airspeed = Length(airflow.airVelocity);
  // Motion that is not finite is not flight: silence rather than a full-volume gust.
  if (ref != REF_FREE_FLIGHT || !(airflow.altitude < kAirCeiling) || !std::isfinite(airspeed)) {
    StopAirflowLoops();
    return;
  }
  float flow = airspeed * AirDensity(airflow.altitude) / kFullAirflowSpeed;
  if (flow > 1.0f) flow = 1.0f;
  PlayAirflowLoops(flow);
  MarkSoundBarrier(airspeed, airflow.altitude);
}
