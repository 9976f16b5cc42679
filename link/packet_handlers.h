// The receive handlers, one per packet kind, chosen by exact payload size. Each gets
// its own copy of the payload. Called on the link's worker threads, several at once.
#pragma once

#include <array>
#include <cstdint>

constexpr std::size_t PLAYER_STATE_PACKET_SIZE = 64;
constexpr std::size_t EVENT_PACKET_SIZE = 20;
constexpr std::size_t WEAPON_PACKET_SIZE = 36;
constexpr std::size_t NOTIFICATION_PACKET_SIZE = 82;

using PlayerStatePayload = std::array<std::uint8_t, PLAYER_STATE_PACKET_SIZE>;
using EventPayload = std::array<std::uint8_t, EVENT_PACKET_SIZE>;
using WeaponPayload = std::array<std::uint8_t, WEAPON_PACKET_SIZE>;
using NotificationPayload = std::array<std::uint8_t, NOTIFICATION_PACKET_SIZE>;

struct PacketHandlers {
  void (*playerState)(const PlayerStatePayload&) = nullptr;
  void (*event)(const EventPayload&) = nullptr;
  void (*weapon)(const WeaponPayload&) = nullptr;
  void (*notification)(const NotificationPayload&) = nullptr;
};

// The table LinkMessageHandler routes to. A kind whose handler is null is dropped.
// Set before the link starts; tests replace it to observe the dispatch.
extern PacketHandlers packetHandlers;
