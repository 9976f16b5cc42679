#include "reactions/event_packet.h"

#include <cstring>
#include <mutex>

#include "app/main_dialog.h"
#include "app/session_state.h"
#include "audio/sound_actions.h"
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
  LogStatusFormat(session.dialogWindow, "Our slot number as assigned:  P%iV%iT%i", WholeNumber16(packet.valueD),
                  packet.index, type);
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
  if (session.soundsReady != 0) PlayOnce(selfDestructed ? session.bank.selfDestructSound : session.bank.bodyHitSound);
}

// Indexed by event code; codes without a reaction are null.
constexpr EventReaction kEventReactions[EVENT_CODE_LIMIT] = {
    AssignSlot,  nullptr,        ReportDockState,     CompleteConfiguration, nullptr,
    PlayerLeaves, nullptr,       ConsoleState,        nullptr,               nullptr,
    HandleShipEvent, nullptr,    LightsAndGear,       nullptr,               ChangePrecipitation,
    Death,       nullptr,        nullptr,             nullptr,               TransferToSlot,
};

}  // namespace

EventPacket DecodeEventPacket(const EventPayload& payload) {
  EventPacket packet;
  std::memcpy(&packet, payload.data(), sizeof packet);
  return packet;
}

EventPayload EncodeEventPacket(const EventPacket& packet) {
  EventPayload payload;
  std::memcpy(payload.data(), &packet, sizeof packet);
  return payload;
}

void HandleEventPacket(const EventPayload& payload) {
  const EventPacket packet = DecodeEventPacket(payload);
  if (packet.code >= EVENT_CODE_LIMIT) return;
  if (const EventReaction reaction = kEventReactions[packet.code]) reaction(packet);
}
