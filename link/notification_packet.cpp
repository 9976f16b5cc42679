#include "link/notification_packet.h"

#include <algorithm>
#include <mutex>
#include <string_view>

#include "app/session_state.h"
#include "audio/sound_actions.h"
#include "link/roster_line.h"

namespace {

constexpr std::uint8_t kChat = 0;
constexpr std::uint8_t kCargoNotice = 2;
constexpr std::uint8_t kRosterLine = 9;
constexpr std::size_t kTextOffset = 2;

// The module's own messages do not chime.
void IncomingChat(std::uint8_t sender) {
  LogStatus(session.dialogWindow, "Incoming chat message...");
  if (sender != session.ownPlayerNumber && session.soundsReady != 0 && session.notificationsSwitch != 0) {
    PlayOnce(session.bank.chatBeep);
  }
}

void CargoNotice(std::uint8_t kind) {
  if (kind == 1) {
    if (session.soundsReady != 0 && session.notificationsSwitch != 0) PlayOnce(session.bank.chaChingSound);
  } else if (kind == 2) {
    if (session.soundsReady != 0 && session.onboardSwitch != 0) PlayOnce(session.bank.computerPhrases[0]);
    LogStatus(session.dialogWindow, "There was a disturbance in the cargo bay...");
  }
}

// A text without its zero byte ends with the packet.
std::string_view RosterText(const NotificationPayload& payload) {
  const auto* begin = reinterpret_cast<const char*>(payload.data() + kTextOffset);
  const auto* end = begin + (payload.size() - kTextOffset);
  return std::string_view(begin, static_cast<std::size_t>(std::find(begin, end, '\0') - begin));
}

// Never rejected: whatever the line holds, the slot becomes active with it.
void StoreRosterLine(std::uint8_t slotNumber, std::string_view text) {
  const RosterLine line = ParseRosterLine(text);
  PlayerSlot& slot = session.players[slotNumber];
  std::scoped_lock lock(slot.lock);
  SetIvr(slot, line.ivr);
  slot.type = static_cast<std::uint8_t>(line.shipType & 0xFFu);
  slot.active = 1;
  slot.objectId = static_cast<std::uint16_t>(line.objectId & 0xFFFFu);
}

}  // namespace

void HandleNotificationPacket(const NotificationPayload& payload) {
  const std::uint8_t subtype = payload[0];
  const std::uint8_t index = payload[1];
  switch (subtype) {
    case kChat:
      IncomingChat(index);
      break;
    case kCargoNotice:
      CargoNotice(index);
      break;
    case kRosterLine:
      StoreRosterLine(index, RosterText(payload));
      break;
    default:
      break;
  }
}
