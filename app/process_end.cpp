#include "app/process_end.h"

#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define SOUNDMODULE_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOUNDMODULE_LEAK_CHECK 1
#endif
#endif

#ifdef SOUNDMODULE_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {

struct EndSteps {
  std::mutex lock;  // taken for good by the end
  std::vector<ProcessEndStep> steps;
};

// Never destroyed, like everything else the end leaves to the system.
EndSteps& Steps() {
  static auto* steps = new EndSteps;
  return *steps;
}

void CheckLeaks() {
#ifdef SOUNDMODULE_LEAK_CHECK
  __lsan_do_leak_check();  // reports and fails the process when there are leaks
#endif
}

}  // namespace

void AddProcessEndStep(ProcessEndStep step) {
  EndSteps& end = Steps();
  std::scoped_lock hold(end.lock);
  end.steps.push_back(step);
}

// Ends with _exit rather than exit: exit would destroy the statics (locks, the sound
// buffers' registry, the network library's state) under the threads still using them,
// and joining those threads first is no way out, as one may be waiting for the very
// thread that ends the process. _exit also stops them all at once, with nothing of
// theirs half written, because every output that matters is finished by a step that
// holds its lock to the end.
void EndProcess(int code) {
  EndSteps& end = Steps();
  end.lock.lock();
  for (const ProcessEndStep step : end.steps) {
    step();
  }
  std::fflush(stdout);
  std::fflush(stderr);
  CheckLeaks();
  _exit(code);
}
