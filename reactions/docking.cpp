#include "reactions/docking.h"

#include "app/session_state.h"
#include "audio/sound_actions.h"
#include "reactions/delayed_sound_queue.h"
#include "reactions/event_packet.h"
#include "reactions/float_fields.h"

namespace {

constexpr float kUndockPhraseDelay = 3.0f;  // seconds after the release sound
constexpr float kAnnouncementDelay = 1.5f;  // seconds after the chime
constexpr int kAnnouncementCount = 12;

bool Audible() { return session.configurationComplete != 0 && session.soundsReady != 0; }

void Dock(const EventPacket& packet) {
  if (session.docked != 0) return;
  LogStatusFormat(session.dialogWindow, "Client docked to port %.0f...", packet.valueA);
  session.docked = 1;
  if (Audible()) PlayOnce(session.bank.dockedSound);
}

void Undock() {
  if (session.docked == 0) return;
  LogStatus(session.dialogWindow, "Client undocked...");
  if (Audible()) {
    const SoundBank& bank = session.bank;
    StopSounds(bank.dockAnnouncements);
    StopSound(bank.dockEvacAnnouncement);
    PlayOnce(bank.undockedSound);
    if (session.onboardSwitch != 0 && QueueDelayedSound(bank.computerPhrases[1], kUndockPhraseDelay, 0)) {
      LogStatus(session.dialogWindow, "Computer phrase 1...");
    }
  }
  session.docked = 0;
}

}  // namespace

void CompleteConfiguration(const EventPacket& /*packet*/) { session.configurationComplete = 1; }

void ReportDockState(const EventPacket& packet) {
  if (IsExactly(packet.valueB, 1.0f)) {
    Dock(packet);
  } else {
    Undock();
  }
}

// The chime sounds only once a slot for its announcement is held, so a full queue
// never leaves a chime without its announcement.
void QueueDockAnnouncement(const EventPacket& packet) {
  if (session.soundsReady == 0 || session.dockAnnouncementsSwitch == 0) return;
  DelayedSoundClaim claim = ClaimDelayedSoundSlot();
  if (!claim) return;
  if (packet.index >= kAnnouncementCount) {
    claim.GiveBack();
    LogStatus(session.dialogWindow, "Invalid dock announcement queued!");
    return;
  }
  PlayOnce(session.bank.dockChime);
  claim.Fill(session.bank.dockAnnouncements[packet.index], kAnnouncementDelay, 0);
  LogStatusFormat(session.dialogWindow, "Dock announcement %i...", packet.index);
}
