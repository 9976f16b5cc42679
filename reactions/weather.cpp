#include "reactions/weather.h"

#include <algorithm>
#include <mutex>

#include "app/random.h"
#include "app/session_state.h"
#include "audio/sound_actions.h"
#include "reactions/delayed_sound_queue.h"
#include "reactions/event_packet.h"
#include "reactions/float_fields.h"

namespace {

constexpr int kThunderCount = 15;
constexpr float kIonizationThreshold = 12.5f;
constexpr float kSilenceBelow = -5000.0f;

}  // namespace

int ThunderIndex(int draw) {
  const int index = WholeNumber(static_cast<float>(draw) / 32767.0f * static_cast<float>(kThunderCount));
  return std::clamp(index, 0, kThunderCount - 1);
}

// Gated by its switch alone: before the bank is loaded the thunder handle is empty, and
// the queue frees such an entry without playing it.
void StrikeLightning(const EventPacket& packet) {
  if (session.environmentalSwitch == 0) return;
  DelayedSoundClaim claim = ClaimDelayedSoundSlot();
  if (!claim) return;
  const int index = ThunderIndex(sm::rand());
  claim.Fill(session.bank.thunderSounds[index], packet.valueB, WholeNumber16(packet.valueC));
  LogStatusFormat(session.dialogWindow, "Lightning!  Distance: %.3f  Intensity: %.3f", packet.valueB,
                  packet.valueC);
}

// The warning sounds once per rise above the threshold and is re-armed only below it.
void ChangePrecipitation(const EventPacket& packet) {
  const float intensity = packet.valueC;
  {
    std::scoped_lock lock(session.precipitationLock);
    session.precipitationIntensity = intensity;
  }
  LogStatusFormat(session.dialogWindow, "Precipitation intensity changed to %.0f", intensity);
  if (session.hullIonized == 0 && intensity > kIonizationThreshold) {
    session.hullIonized = 1;
    if (session.soundsReady != 0 && session.onboardSwitch != 0) PlayOnce(session.bank.computerPhrases[8]);
    LogStatus(session.dialogWindow, "Hull ionization detected!");
  }
  if (session.hullIonized != 0 && intensity < kIonizationThreshold) session.hullIonized = 0;
}

// A level below the silence threshold mutes a loop without stopping it.
void SetEnvironmentLoops(const EventPacket& packet) {
  if (session.soundsReady == 0 || session.environmentalSwitch == 0) return;
  const LONG volume = packet.valueC < kSilenceBelow
                          ? DSBVOLUME_MIN
                          : WholeNumber(packet.valueC - 5000.0f * session.cabinDamping.load());
  if (IsExactly(packet.valueB, 3.0f)) PlayLooping(session.bank.miningLoop, volume, -1);
  if (IsExactly(packet.valueD, 6.0f)) PlayLooping(session.bank.waveLoop, volume, -1);
}
