#include "reactions/lost_loops.h"

#include "app/session_state.h"
#include "audio/sound.h"
#include "audio/sound_bank_table.h"

void ResumeLostLoops() {
  for (const SoundBankEntry& entry : SoundBankEntries()) {
    if (Sound* sound = *entry.handle(session.bank)) {
      // A device still away stays away for every sound: no point asking the others.
      if (sound->ResumeLostLoop() == DSERR_BUFFERLOST) return;
    }
  }
  for (const SharedSound* ship : {&session.cockpitAmbience, &session.engineLoop, &session.cockpitStartup}) {
    if (const auto sound = ship->Get()) {
      if (sound->ResumeLostLoop() == DSERR_BUFFERLOST) return;
    }
  }
}
