// The 64 delayed sounds: distant thunder, weapons and explosions, and announcements
// that follow their chime. Claiming and queueing: link worker threads (any thread).
// UpdateDelayedSounds: dialog thread, once per running tick.
#pragma once

#include <cstdint>
#include <mutex>

#include "app/session_state.h"

// The lowest free delayed-sound slot, held under its lock until it is filled or given
// back. A claim that is never filled leaves the slot free.
class DelayedSoundClaim {
 public:
  DelayedSoundClaim() = default;
  explicit DelayedSoundClaim(DelayedSoundSlot& slot) : slot_(&slot), lock_(slot.lock) {}

  explicit operator bool() const { return slot_ != nullptr; }
  // Makes the slot wait for `delay` seconds, then play `sound` once at `volume`;
  // releases the slot to the countdown.
  void Fill(Sound* sound, float delay, std::int16_t volume);
  // Leaves the slot free and releases it.
  void GiveBack();

 private:
  DelayedSoundSlot* slot_ = nullptr;
  std::unique_lock<Lock> lock_;
};

// Claims the lowest free slot; when all 64 wait, logs "Could not find an unused delayed
// sound slot!" and returns an empty claim.
DelayedSoundClaim ClaimDelayedSoundSlot();

// Claims and fills in one go; false (and the log line) when the queue is full.
bool QueueDelayedSound(Sound* sound, float delay, std::int16_t volume);

// Takes 0.25 s off every waiting slot; a slot whose delay reaches 0 or less (negative
// infinity too) is freed and its sound (if any) played once with the stored volume. A
// delay that can never reach zero (infinite, NaN, or too large for a quarter second to
// change it) would hold its slot for ever: such a slot is freed without playing.
void UpdateDelayedSounds();
