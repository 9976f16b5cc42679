// Packets read and written in place: a packet structure's layout is its payload's,
// little-endian. Pure; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

template <typename Packet, std::size_t N>
Packet PacketFromBytes(const std::array<std::uint8_t, N>& payload) {
  static_assert(sizeof(Packet) == N);
  Packet packet;
  std::memcpy(&packet, payload.data(), N);
  return packet;
}

template <typename Packet>
std::array<std::uint8_t, sizeof(Packet)> BytesOfPacket(const Packet& packet) {
  std::array<std::uint8_t, sizeof(Packet)> payload;
  std::memcpy(payload.data(), &packet, sizeof(Packet));
  return payload;
}
