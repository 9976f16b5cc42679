#include "platform/audio/al_lock.h"

namespace {

std::mutex& AlMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

AlLock::AlLock(ALCcontext* context) : lock_(AlMutex()) { Use(context); }

void AlLock::Use(ALCcontext* context) {
  if (context != nullptr && alcGetCurrentContext() != context) alcMakeContextCurrent(context);
}
