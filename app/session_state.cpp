#include "app/session_state.h"

#include <algorithm>

SessionState session;

void SetIvr(PlayerSlot& slot, std::string_view text) {
  const std::size_t length = std::min<std::size_t>(text.size(), IVR_CHARS);
  // copy_n, not memcpy: a roster line without an ivr hands over an empty view whose
  // data pointer is null, which memcpy must never be given.
  std::copy_n(text.data(), length, slot.ivr);
  slot.ivr[length] = '\0';
}

void FlipSwitch(Flag& flag) { flag = flag == 0 ? 1 : 0; }

void ClearSessionTables() {
  std::fill(std::begin(session.bank.thunderSounds), std::end(session.bank.thunderSounds), nullptr);
  std::fill(std::begin(session.bank.precipitationLoops), std::end(session.bank.precipitationLoops), nullptr);
  std::fill(std::begin(session.bank.dockAnnouncements), std::end(session.bank.dockAnnouncements), nullptr);
  std::fill(std::begin(session.bank.computerPhrases), std::end(session.bank.computerPhrases), nullptr);
  for (PlayerSlot& slot : session.players) {
    std::scoped_lock lock(slot.lock);
    slot.active = 0;
  }
  for (DelayedSoundSlot& slot : session.delayedSounds) {
    std::scoped_lock lock(slot.lock);
    slot.active = 0;
  }
  std::scoped_lock lock(session.precipitationLock);
  session.precipitationIntensity = 0.0f;
}
