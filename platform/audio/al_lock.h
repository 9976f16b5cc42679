// Serialises every OpenAL call of the process. This OpenAL version keeps one error state
// and one current context for all threads, so each caller holds AlLock around its calls
// and the context it needs is made current inside. Any thread.
#pragma once

#include <mutex>

#include <AL/alc.h>

class AlLock {
 public:
  // context may be null for device-level calls (rendering) that need none.
  explicit AlLock(ALCcontext* context);
  AlLock(const AlLock&) = delete;
  AlLock& operator=(const AlLock&) = delete;

  // Switches to another context while the lock is held.
  void Use(ALCcontext* context);

 private:
  std::scoped_lock<std::mutex> lock_;
};
