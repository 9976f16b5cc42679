// The 20-byte event packet and its handler. HandleEventPacket: link worker threads.
#pragma once

#include <bit>
#include <cstdint>

#include "link/packet_handlers.h"

static_assert(std::endian::native == std::endian::little, "packets are read in place as little-endian");

struct EventPacket {
  std::uint8_t code = 0;
  std::uint8_t index = 0;
  std::uint8_t reserved[2] = {};
  float valueA = 0.0f;
  float valueB = 0.0f;
  float valueC = 0.0f;
  float valueD = 0.0f;
};
static_assert(sizeof(EventPacket) == EVENT_PACKET_SIZE);

EventPacket DecodeEventPacket(const EventPayload& payload);
EventPayload EncodeEventPacket(const EventPacket& packet);

constexpr std::uint8_t EVENT_CONFIGURATION_COMPLETE = 3;
constexpr std::uint8_t EVENT_CODE_LIMIT = 20;

// Decodes the event and reacts to it; codes of 20 and above are ignored.
void HandleEventPacket(const EventPayload& payload);
