// The 64-byte player state packet: one player's motion. HandlePlayerStatePacket: link
// worker threads. Decode and Encode: any thread.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "app/vector3.h"
#include "link/packet_handlers.h"

static_assert(std::endian::native == std::endian::little, "packets are read in place as little-endian");

struct PlayerStatePacket {
  std::uint8_t slot = 0;
  std::uint8_t unread1[3] = {};
  Vector3 position;  // km, planet-centred
  Vector3 velocity;  // km/s
  float unread2[3] = {};
  std::uint8_t unread3[16] = {};
  std::int8_t ref = 0;  // negative: planet-centred motion; 0 or more: another frame
  std::uint8_t unread4[7] = {};
};
static_assert(sizeof(PlayerStatePacket) == PLAYER_STATE_PACKET_SIZE);
static_assert(offsetof(PlayerStatePacket, ref) == 56);

// The reference frame of free flight: the only one in which the own ship hears its
// airflow and other ships are heard by the Doppler loop.
constexpr std::int8_t REF_FREE_FLIGHT = -1;

PlayerStatePacket DecodePlayerStatePacket(const PlayerStatePayload& payload);
PlayerStatePayload EncodePlayerStatePacket(const PlayerStatePacket& packet);

// Updates the slot's motion; for the own slot also the wind and gear airflow loops.
void HandlePlayerStatePacket(const PlayerStatePayload& payload);
