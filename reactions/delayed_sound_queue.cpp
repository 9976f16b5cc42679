#include "reactions/delayed_sound_queue.h"

#include "audio/sound.h"

namespace {
// The countdown step: the timer period, not measured time.
constexpr float kTickSeconds = 0.25f;
}  // namespace

void DelayedSoundClaim::Fill(Sound* sound, float delay, std::int16_t volume) {
  slot_->active = 1;
  slot_->sound = sound;
  slot_->delay = delay;
  slot_->volume = volume;
  GiveBack();
}

void DelayedSoundClaim::GiveBack() {
  lock_.unlock();
  slot_ = nullptr;
}

DelayedSoundClaim ClaimDelayedSoundSlot() {
  for (DelayedSoundSlot& slot : session.delayedSounds) {
    DelayedSoundClaim claim(slot);
    if (slot.active == 0) {
      return claim;
    }
  }
  LogStatus(session.dialogWindow, "Could not find an unused delayed sound slot!");
  return {};
}

bool QueueDelayedSound(Sound* sound, float delay, std::int16_t volume) {
  DelayedSoundClaim claim = ClaimDelayedSoundSlot();
  if (!claim) {
    return false;
  }
  claim.Fill(sound, delay, volume);
  return true;
}

void UpdateDelayedSounds() {
  for (DelayedSoundSlot& slot : session.delayedSounds) {
    std::scoped_lock lock(slot.lock);
    if (slot.active == 0) {
      continue;
    }
    const float before = slot.delay;
    slot.delay -= kTickSeconds;
    if (slot.delay > 0.0f && slot.delay < before) {
      continue;
    }
    slot.active = 0;
    if (!(slot.delay <= 0.0f)) {
      continue;  // it can never reach zero (infinite, NaN or too large to count down)
    }
    if (slot.sound != nullptr) {
      slot.sound->Play(0, 0, slot.volume, -1, 0);
    }
  }
}
