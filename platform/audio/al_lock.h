// Serialises every OpenAL call of the process. This OpenAL version keeps one error state
// and one current context for all threads, so each caller holds AlLock around its calls
// and the context it needs is made current inside. Any thread.
// At process exit the exiting thread takes the lock for good (see HoldOpenAlAtExit).
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
  std::scoped_lock<std::recursive_mutex> lock_;
};

// Registers, once, an exit handler that takes the lock and keeps it: output threads and
// worker threads then wait for the end of the process instead of calling into OpenAL
// while its library is torn down; the exiting thread itself may still use it. This is
// for programs that end through exit (the tests and benchmarks); the module ends
// through EndProcess, which runs no exit handlers and tears nothing down.
// Main thread, before the first device.
void HoldOpenAlAtExit();
