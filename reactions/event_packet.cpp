#include "reactions/event_packet.h"

#include <mutex>

#include "app/main_dialog.h"
#include "app/session_state.h"
#include "audio/sound_actions.h"
#include "link/packet_bytes.h"
#include "reactions/docking.h"
#include "reactions/float_fields.h"
#include "reactions/ship_event.h"
#include "reactions/ship_sounds.h"
#include "reactions/weather.h"

namespace {

using EventReaction = void (*)(const EventPacket& packet);

constexpr std::uint8_t kNoSlot = 255;

// Slot 255 means the console has no place for the module: it closes, but takes the
// assignment all the same.
void AssignSlot(const EventPacket& packet) {
  if (packet.index == kNoSlot) RequestDialogClose();
  const std::uint8_t type = TruncateToByte(packet.valueB);
  LogStatusFormat(session.dialogWindow, "Our slot number as assigned:  P%iV%iT%i",
                  WholeNumber16(packet.valueD), packet.index, type);
  session.ownSlot = packet.index;
  session.ownPlayerNumber = TruncateToByte(packet.valueD);
  session.shipType = type;
  AssignShipSounds(type);
}

void PlayerLeaves(const EventPacket& packet) {
  PlayerSlot& slot = session.players[packet.index];
  std::scoped_lock lock(slot.lock);
  slot.active = 0;
}

void ConsoleState(const EventPacket& packet) {
  if (IsZero(packet.valueC)) {
    RequestDialogClose();
  } else if (IsExactly(packet.valueC, 1.0f) && IsExactly(packet.valueD, 1.0f)) {
    ShutDownPropulsion();
  }
}

// The whole event, flag changes included, waits for the sounds and the Onboard Effects box.
void LightsAndGear(const EventPacket& packet) {
  if (packet.index != session.ownSlot || session.soundsReady == 0 || session.onboardSwitch == 0) return;
  const SoundBank& bank = session.bank;
  const float kind = packet.valueD;
  if (IsExactly(kind, 2.0f)) {
    PlayOnce(VoiceOrChime(bank.computerPhrases[5]));
    LogStatus(session.dialogWindow, "Landing lights activated...");
  } else if (IsExactly(kind, 3.0f)) {
    PlayOnce(VoiceOrChime(bank.computerPhrases[4]));
    LogStatus(session.dialogWindow, "Landing lights deactivated...");
  } else if (IsExactly(kind, 6.0f) || IsExactly(kind, 7.0f)) {
    const bool down = IsExactly(kind, 6.0f);
    LogStatus(session.dialogWindow, "In transit!");
    PlayOnce(down ? bank.gearDownSound : bank.gearUpSound);
    session.gearDown = down ? 1 : 0;
  }
}

void Death(const EventPacket& packet) {
  const bool selfDestructed = WholeNumber16(packet.valueD) == 5;
  LogStatus(session.dialogWindow, selfDestructed ? "Self destructed!" : "Fatality!");
  if (session.soundsReady == 0) return;
  PlayOnce(selfDestructed ? session.bank.selfDestructSound : session.bank.bodyHitSound);
}

// Indexed by event code; codes without a reaction are null.
constexpr EventReaction kEventReactions[EVENT_CODE_LIMIT] = {
    AssignSlot,            // 0
    nullptr,               // 1
    ReportDockState,       // 2
    CompleteConfiguration, // 3
    nullptr,               // 4
    PlayerLeaves,          // 5
    nullptr,               // 6
    ConsoleState,          // 7
    nullptr,               // 8
    nullptr,               // 9
    HandleShipEvent,       // 10
    nullptr,               // 11
    LightsAndGear,         // 12
    nullptr,               // 13
    ChangePrecipitation,   // 14
    Death,                 // 15
    nullptr,               // 16
    nullptr,               // 17
    nullptr,               // 18
    TransferToSlot,        // 19
};

}  // namespace

EventPacket DecodeEventPacket(const EventPayload& payload) { return PacketFromBytes<EventPacket>(payload); }

EventPayload EncodeEventPacket(const EventPacket& packet) { return BytesOfPacket(packet); }

void HandleEventPacket(const EventPayload& payload) {
  const EventPacket packet = DecodeEventPacket(payload);
  if (packet.code >= EVENT_CODE_LIMIT) return;
  if (const EventReaction reaction = kEventReactions[packet.code]) reaction(packet);
}
