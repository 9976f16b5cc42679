#include "reactions/periodic_update.h"

#include "app/session_state.h"
#include "audio/sound.h"
#include "reactions/delayed_sound_queue.h"

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

}  // namespace

void PeriodicUpdate(HWND window) {
  ReenableTestTone(window);
  UpdateDelayedSounds();
}
