// Another player's slot and the own slot, held together while the two are compared.
// Any thread.
#pragma once

#include <mutex>

#include "app/session_state.h"

// Both locks are taken as a pair, never one while waiting for the other: two threads
// that read ownSlot on either side of its change would otherwise take the same two
// slots in opposite orders.
[[nodiscard]] inline std::scoped_lock<Lock, Lock> LockSlotPair(PlayerSlot& other, PlayerSlot& own) {
  return std::scoped_lock<Lock, Lock>(other.lock, own.lock);
}
