#include "reactions/nearest_ship.h"

#include <mutex>

#include "app/session_state.h"
#include "link/player_state_packet.h"
#include "reactions/atmosphere.h"
#include "reactions/slot_pair_lock.h"

namespace {

bool IsCandidate(const PlayerSlot& slot) {
  return slot.active != 0 && slot.ref == REF_FREE_FLIGHT && (slot.type < 10 || slot.type > 19);
}

// Keeps the other ship if it is nearer than the best so far; the Doppler factor
// compares the distance now with the distance one second later.
void Measure(int index, const PlayerSlot& other, const PlayerSlot& own, NearestShip& ship) {
  const float d = Length(Subtract(own.position, other.position));
  if (!(d < ship.distance)) return;
  const float later = Length(Subtract(Add(own.position, own.velocity), Add(other.position, other.velocity)));
  ship.distance = d;
  ship.slot = index;
  ship.dopplerFactor = (d - later) / SPEED_OF_SOUND + 1.0f;
}

template <typename Field>
auto ReadOwn(PlayerSlot& own, Field field) {
  std::scoped_lock lock(own.lock);
  return own.*field;
}

}  // namespace

NearestShip FindNearestShip() {
  NearestShip ship;
  ship.ownSlot = session.ownSlot;
  PlayerSlot& own = session.players[ship.ownSlot];
  if (ReadOwn(own, &PlayerSlot::ref) >= 0) return ship;
  for (int i = 0; i < PLAYER_SLOT_COUNT; ++i) {
    if (i == ship.ownSlot) continue;
    PlayerSlot& other = session.players[i];
    const auto locks = LockSlotPair(other, own);
    if (IsCandidate(other)) Measure(i, other, own, ship);
  }
  ship.distanceFade = 1.0f - AirDensity(Altitude(ReadOwn(own, &PlayerSlot::position)));
  return ship;
}
