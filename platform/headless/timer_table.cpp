#include "platform/headless/timer_table.h"

#include <algorithm>

void TimerTable::Set(int id, std::chrono::milliseconds period, Task tick, Clock::time_point now) {
  timers_[id] = Timer{period, now + period, std::move(tick)};
}

void TimerTable::Kill(int id) { timers_.erase(id); }

TimerTable::Clock::time_point TimerTable::NextDue() const {
  Clock::time_point due = Clock::time_point::max();
  for (const auto& [id, timer] : timers_) {
    due = std::min(due, timer.due);
  }
  return due;
}

// Counting the next tick from when this one fires, not from when it was due, keeps a
// late tick from being followed at once by the one it overlapped.
void TimerTable::FireDue(Clock::time_point now) {
  for (auto& [id, timer] : timers_) {
    if (timer.due <= now) {
      timer.due = std::max(timer.due, now) + timer.period;
      Task tick = timer.tick;  // the tick may kill its own timer
      tick();
      return;
    }
  }
}
