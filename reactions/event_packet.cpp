#include "reactions/event_packet.h"

#include <cstring>

#include "app/session_state.h"

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
  if (packet.code >= EVENT_CODE_LIMIT) {
    return;
  }
  switch (packet.code) {
    case EVENT_CONFIGURATION_COMPLETE:
      session.configurationComplete = 1;
      break;
    default:
      break;  // the other events' reactions are not built yet
  }
}
