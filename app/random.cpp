#include "app/random.h"

#include <atomic>
#include <cstdint>

namespace sm {
namespace {
// Atomic so that concurrent draws never tear the state; each draw still advances
// the one sequence exactly once.
std::atomic<std::uint32_t> state{1};
}  // namespace

int rand() {
  std::uint32_t old = state.load(std::memory_order_relaxed);
  std::uint32_t next = 0;
  do {
    next = old * 214013u + 2531011u;
  } while (!state.compare_exchange_weak(old, next, std::memory_order_relaxed));
  return static_cast<int>((next >> 16) & 0x7FFFu);
}

}  // namespace sm
