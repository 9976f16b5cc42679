#include "reactions/periodic_update.h"

#include "app/session_state.h"
#include "audio/sound.h"
#include "reactions/delayed_sound_queue.h"
#include "reactions/doppler_loop.h"
#include "reactions/nearest_ship.h"
#include "reactions/precipitation_loops.h"
#include "reactions/whodat_lines.h"

namespace {

// The test tone button stays grey while the tone plays and comes back once it ends.
void ReenableTestTone(HWND window) {
  if (window->IsItemEnabled(IDC_TEST_TONE)) {
    return;
  }
  Sound* tone = session.bank.testTone;
  if (tone == nullptr || !tone->IsPlaying()) {
    window->EnableItem(IDC_TEST_TONE, true);
  }
}

// The gear's airflow noise comes and goes over four ticks, one second.
void FollowGear() {
  constexpr float kStep = 0.25f;
  float fade = session.gearFade;
  if (session.gearDown) {
    fade += kStep;
    if (fade > 1.0f) fade = 1.0f;
  } else {
    fade -= kStep;
    if (fade < 0.0f) fade = 0.0f;
  }
  session.gearFade = fade;
}

}  // namespace

void PeriodicUpdate(HWND window) {
  ReenableTestTone(window);
  UpdateDelayedSounds();
  FollowGear();
  const NearestShip ship = FindNearestShip();
  const DopplerTarget target = DopplerTargetFor(ship);
  if (session.whodatRequested) {
    LogWhodatLines(window, ship, target);
  }
  PlayDopplerLoop(target);
  UpdatePrecipitationLoops();
}
