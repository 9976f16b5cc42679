#include "link/player_state_packet.h"

#include <mutex>

#include "app/session_state.h"
#include "link/packet_bytes.h"
#include "reactions/atmosphere.h"
#include "reactions/flight_sounds.h"

namespace {

// Where a slot moving in another frame is kept: far beyond every hearing range.
constexpr Vector3 kParkedPosition{9999.0f, 9999.0f, 9999.0f};
// Height given to a parked slot, above all air.
constexpr float kParkedAltitude = 10000.0f;
constexpr float kHalfPi = 1.5707964f;

// Takes over the planet-centred motion, with the surface and the air turning beneath it.
Airflow TakeOverMotion(PlayerSlot& slot, const PlayerStatePacket& packet) {
  slot.position = packet.position;
  const Vector3 up = Normalize(slot.position);
  const Vector3 east = Normalize(Cross(spinAxis, up));
  slot.latitudeAngle = Acosf(Dot(up, spinAxis)) - kHalfPi;
  const float surfaceSpeed = Cosf(slot.latitudeAngle) * (Length(slot.position) * session.planetRotationRate);
  slot.surfaceVelocity = Scale(east, surfaceSpeed);
  slot.velocity = packet.velocity;
  return {Subtract(slot.velocity, slot.surfaceVelocity), Altitude(slot.position)};
}

Airflow UpdateSlot(const PlayerStatePacket& packet) {
  PlayerSlot& slot = session.players[packet.slot];
  std::scoped_lock lock(slot.lock);
  slot.ref = packet.ref;
  if (packet.ref < 0) {
    return TakeOverMotion(slot, packet);
  }
  slot.position = kParkedPosition;
  return {Vector3{}, kParkedAltitude};
}

}  // namespace

PlayerStatePacket DecodePlayerStatePacket(const PlayerStatePayload& payload) {
  return PacketFromBytes<PlayerStatePacket>(payload);
}

PlayerStatePayload EncodePlayerStatePacket(const PlayerStatePacket& packet) { return BytesOfPacket(packet); }

void HandlePlayerStatePacket(const PlayerStatePayload& payload) {
  const PlayerStatePacket packet = DecodePlayerStatePacket(payload);
  const Airflow airflow = UpdateSlot(packet);
  if (packet.slot == session.ownSlot) {
    PlayFlightSounds(packet.ref, airflow);
  }
}
