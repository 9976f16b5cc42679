#include "platform/audio/al_lock.h"

#include <cstdlib>

namespace {

std::recursive_mutex& AlMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

void TakeForGood() { AlMutex().lock(); }

}  // namespace

AlLock::AlLock(ALCcontext* context) : lock_(AlMutex()) { Use(context); }

void AlLock::Use(ALCcontext* context) {
  if (context != nullptr && alcGetCurrentContext() != context) alcMakeContextCurrent(context);
}

void HoldOpenAlAtExit() {
  static const bool registered = std::atexit(TakeForGood) == 0;
  static_cast<void>(registered);
}
