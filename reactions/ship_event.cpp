#include "reactions/ship_event.h"

#include <iterator>

#include "app/random.h"
#include "app/session_state.h"
#include "audio/sound_actions.h"
#include "reactions/docking.h"
#include "reactions/event_packet.h"
#include "reactions/float_fields.h"
#include "reactions/ship_sounds.h"
#include "reactions/weather.h"

namespace {

using ShipReaction = void (*)(const EventPacket& packet);

bool Ready() { return session.soundsReady != 0; }
bool ReadyWith(const Flag& categorySwitch) { return Ready() && categorySwitch != 0; }
void Log(const char* text) { LogStatus(session.dialogWindow, text); }

// One-shot reactions: a sound behind readiness (and a category switch where one is named).
template <Sound* SoundBank::*sound>
void PlayWhenReady(const EventPacket&) {
  if (Ready()) PlayOnce(session.bank.*sound);
}
template <Sound* SoundBank::*sound, Flag SessionState::*categorySwitch>
void PlayWhenSwitchedOn(const EventPacket&) {
  if (ReadyWith(session.*categorySwitch)) PlayOnce(session.bank.*sound);
}

// One of two sounds by an even draw, drawn only when a sound will play.
void PlayByDrawWhenReady(Sound* upperHalf, Sound* lowerHalf) {
  if (Ready()) PlayOnce(sm::rand() >= 16384 ? upperHalf : lowerHalf);
}

void Touchdown(const EventPacket& packet) {
  Log("Touchdown!");
  PlayWhenReady<&SoundBank::touchLbSound>(packet);
}

void Leveling(const EventPacket& packet) {
  Log("Leveling...");
  PlayWhenReady<&SoundBank::touchLdSound>(packet);
}

void Nothing(const EventPacket&) {}

void PullGs(const EventPacket&) {
  Log("Pulling some G's!");
  if (Ready()) PlayOnce(PainSound(sm::rand()));
}

void RosterNotice(const EventPacket& packet) {
  const bool audible = ReadyWith(session.notificationsSwitch);
  const SoundBank& bank = session.bank;
  switch (packet.index) {
    case 0:
      if (audible) PlayOnce(bank.notifyBeep);
      break;
    case 1:
      if (audible) PlayOnce(bank.playerAddedBeep);
      Log("Player added...");
      break;
    case 5:
      if (audible) PlayOnce(bank.playerRemovedBeep);
      Log("Player removed...");
      break;
    default:
      break;
  }
}

void ComputerPhrase(const EventPacket& packet) {
  if (!ReadyWith(session.onboardSwitch)) return;
  const SoundBank& bank = session.bank;
  Sound* const phrases[] = {bank.computerSrPhrase, bank.computerPuPhrase, bank.computerTtPhrase,
                            bank.computerStrutsPhrase, bank.computerBaPhrase};
  const int which = WholeNumber16(packet.valueB);
  if (which >= 0 && which < static_cast<int>(std::size(phrases))) PlayOnce(phrases[which]);
}

// Signal 2 is a plain tone, heard whatever the Onboard Effects box says.
void CockpitSignal(const EventPacket& packet) {
  const SoundBank& bank = session.bank;
  const int signal = WholeNumber16(packet.valueB);
  if (signal == 2) {
    if (Ready()) PlayOnce(bank.hiLowTone);
    return;
  }
  if (!ReadyWith(session.onboardSwitch)) return;
  switch (signal) {
    case 3:
      PlayOnce(VoiceOrChime(bank.computerCflPhrase));
      break;
    case 4:
      PlayOnce(bank.computerPhrases[2]);
      break;
    case 5:
      PlayOnce(bank.computerPhrases[3]);
      break;
    default:
      break;
  }
}

void Splashdown(const EventPacket&) {
  Log("Splashdown!");
  PlayByDrawWhenReady(session.bank.jsplash2Sound, session.bank.jsplash1Sound);
}

void CycleTarget(const EventPacket&) {
  if (ReadyWith(session.onboardSwitch)) PlayOnce(session.bank.computerPhrases[10]);
}

void Struts(const EventPacket& packet) {
  if (Ready()) PlayOnce(session.bank.computerPhrases[IsZero(packet.valueB) ? 7 : 6]);
}

void EmDisturbance(const EventPacket& packet) {
  PlayWhenReady<&SoundBank::dihvSound>(packet);
  Log("There was an EM disturbance...");
}

void Impact(const EventPacket& packet) {
  const SoundBank& bank = session.bank;
  switch (WholeNumber16(packet.valueD)) {
    case 1:
    case 4:
      Log(WholeNumber16(packet.valueD) == 1 ? "Ground impact!" : "Impacted with city!");
      PlayByDrawWhenReady(bank.bncrash1Sound, bank.bncrash2Sound);
      break;
    case 6:
      Log("Water impact!");
      PlayByDrawWhenReady(bank.bnsplas1Sound, bank.bnsplas2Sound);
      break;
    default:
      break;
  }
}

constexpr ShipReaction kShipReactions[SHIP_EVENT_COUNT] = {
    StrikeLightning,
    Touchdown,
    Leveling,
    SetEngineLevel,
    SetRumbleLevel,
    Nothing,
    PullGs,
    QueueDockAnnouncement,
    RosterNotice,
    ComputerPhrase,
    CockpitSignal,
    Splashdown,
    Struts,
    EmDisturbance,
    PlayWhenReady<&SoundBank::tailBreak01Sound>,
    PlayWhenReady<&SoundBank::tailBreak02Sound>,
    PlayWhenReady<&SoundBank::wingBreak01Sound>,
    PlayWhenReady<&SoundBank::wingBreak02Sound>,
    PlayWhenSwitchedOn<&SoundBank::endOfTransmissionTone, &SessionState::endOfTransmissionSwitch>,
    StartPropulsion,
    SetEnvironmentLoops,
    CycleTarget,
    PlayWhenSwitchedOn<&SoundBank::collisionSound, &SessionState::weaponsSwitch>,
    PlayWhenReady<&SoundBank::tireSkidSound>,
    PlayWhenSwitchedOn<&SoundBank::repairSound, &SessionState::onboardSwitch>,
    Impact,
    PlayWhenReady<&SoundBank::gearShiftSound>,
};

}  // namespace

Sound* PainSound(int draw) {
  const SoundBank& bank = session.bank;
  return draw >= 21845 ? bank.pain1Sound : draw >= 10923 ? bank.pain2Sound : bank.pain3Sound;
}

void HandleShipEvent(const EventPacket& packet) {
  const int subCode = WholeNumber16(packet.valueA);
  if (subCode >= 0 && subCode < SHIP_EVENT_COUNT) kShipReactions[subCode](packet);
}
