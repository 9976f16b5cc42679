// The 36-byte weapon packet: launches and explosions, heard near at once and far after
// the sound's travel time. HandleWeaponPacket: link worker threads. Decode and Encode:
// any thread.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "app/vector3.h"
#include "link/packet_handlers.h"

static_assert(std::endian::native == std::endian::little, "packets are read in place as little-endian");

struct WeaponPacket {
  std::uint8_t unread1[4] = {};
  Vector3 position;  // km: where an explosion happened
  float unread2[3] = {};
  std::uint8_t unread3[2] = {};
  std::uint16_t launcherId = 0;  // objectId of the launching player
  std::uint16_t targetId = 0;    // objectId of the player hit
  std::int8_t kind = 0;
  std::int8_t weapon = 0;  // 1 fuzer, anything else sinker
};
static_assert(sizeof(WeaponPacket) == WEAPON_PACKET_SIZE);
static_assert(offsetof(WeaponPacket, launcherId) == 30 && offsetof(WeaponPacket, kind) == 34);

constexpr std::int8_t WEAPON_LAUNCH = 1;
constexpr std::int8_t WEAPON_EXPLOSION = 3;
constexpr std::int8_t WEAPON_FUZER = 1;

WeaponPacket DecodeWeaponPacket(const WeaponPayload& payload);
WeaponPayload EncodeWeaponPacket(const WeaponPacket& packet);

// Launches by every matching player and explosions; other kinds are ignored.
void HandleWeaponPacket(const WeaponPayload& payload);
