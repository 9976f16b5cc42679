#include "tests/stress/link_traffic.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "app/session_state.h"
#include "link/direct_play.h"
#include "link/message_dispatch.h"
#include "link/player_state_packet.h"
#include "reactions/event_packet.h"
#include "reactions/weapon_packet.h"

namespace soak {

namespace {

template <std::size_t N>
void Receive(std::array<std::uint8_t, N> payload) {
  DPNMSG_RECEIVE message;
  message.pReceiveData = payload.data();
  message.dwReceiveDataSize = static_cast<DWORD>(N);
  LinkMessageHandler(nullptr, DPN_MSGID_RECEIVE, &message);
}

void SendEventPacket(std::uint8_t code, int index, float a, float b, float c, float d) {
  EventPacket packet;
  packet.code = code;
  packet.index = static_cast<std::uint8_t>(index);
  packet.valueA = a;
  packet.valueB = b;
  packet.valueC = c;
  packet.valueD = d;
  Receive(EncodeEventPacket(packet));
}

float Phase(int slot, std::uint64_t frame) {
  return static_cast<float>(slot) * 0.1f + static_cast<float>(frame % 3600) / 600.0f;
}

constexpr std::uint8_t kEventShip = 10;
constexpr std::uint8_t kShipTypes[] = {1, 3, 4, 5, 6};

}  // namespace

void SendPlayerState(int slot, std::uint64_t frame) {
  const float angle = Phase(slot, frame);
  PlayerStatePacket packet;
  packet.slot = static_cast<std::uint8_t>(slot);
  const float radius = PLANET_RADIUS + 1.0f + static_cast<float>(slot % 16) * 0.05f;
  packet.position = Vector3{radius * std::cos(angle), radius * std::sin(angle), 0.0f};
  packet.velocity = Vector3{-0.3f * std::sin(angle), 0.3f * std::cos(angle), 0.0f};
  packet.ref = REF_FREE_FLIGHT;
  Receive(EncodePlayerStatePacket(packet));
}

void SendEvent(int slot, std::uint64_t frame) {
  const float shipEvents[] = {1.0f, 2.0f, 3.0f, 4.0f, 6.0f, 7.0f, 9.0f, 10.0f, 11.0f, 12.0f, 13.0f};
  switch (frame % 8) {
    case 0: SendEventPacket(2, slot, 0.0f, 0.0f, static_cast<float>(frame % 2), 0.0f); break;
    case 1: SendEventPacket(3, slot, 0.0f, 0.0f, 0.0f, 0.0f); break;
    case 2: SendEventPacket(12, 0, 0.0f, 0.0f, 0.0f, frame % 16 < 8 ? 6.0f : 7.0f); break;
    case 3: SendEventPacket(14, slot, static_cast<float>(frame % 5) * 0.25f, 0.0f, 0.0f, 0.0f); break;
    case 4: SendEventPacket(15, slot, 0.0f, 0.0f, 0.0f, 5.0f); break;
    default: {
      const float sub = shipEvents[(frame / 8 + static_cast<std::uint64_t>(slot)) % std::size(shipEvents)];
      SendEventPacket(kEventShip, 0, sub, 1.0f, -1500.0f, 4000.0f);
    }
  }
}

void SendWeapon(int slot, std::uint64_t frame) {
  WeaponPacket packet;
  packet.position = Vector3{PLANET_RADIUS + 1.0f, 0.0f, 0.0f};
  packet.launcherId = static_cast<std::uint16_t>(100 + slot);
  packet.targetId = static_cast<std::uint16_t>(100 + (slot + 1) % PLAYER_SLOT_COUNT);
  packet.kind = frame % 2 == 0 ? WEAPON_LAUNCH : WEAPON_EXPLOSION;
  packet.weapon = static_cast<std::int8_t>(1 + frame % 2);
  Receive(EncodeWeaponPacket(packet));
}

void SendNotification(int slot, std::uint64_t frame) {
  std::array<std::uint8_t, 82> payload{};
  const std::uint8_t kinds[] = {0, 2, 9};
  payload[0] = kinds[frame % 3];
  payload[1] = static_cast<std::uint8_t>(payload[0] == 2 ? 1 + frame % 2 : static_cast<std::uint64_t>(slot));
  std::snprintf(reinterpret_cast<char*>(payload.data() + 2), payload.size() - 2, "S%03d,Soaker,3,0,0,0,0,%d",
                slot, 100 + slot);
  Receive(payload);
}

void SendDistantLightning(std::uint64_t frame) {
  SendEventPacket(kEventShip, 0, 0.0f, 30.0f, static_cast<float>(frame % 100), 0.0f);
}

void SendShipChange(std::uint64_t count) {
  const std::uint8_t type = kShipTypes[count % std::size(kShipTypes)];
  SendEventPacket(count % 2 == 0 ? 0 : 19, 0, 0.0f, type, 0.0f, 1.0f);
}

}  // namespace soak
