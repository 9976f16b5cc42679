// The message loop's periodic timers, kept apart from any clock: the loop passes the time
// in. Like a dialog's timer they never pile up: a tick that comes late (the thread was
// busy, or the previous tick ran long) fires once, and the next follows a whole period
// after it. Loop thread only.
#pragma once

#include <chrono>
#include <functional>
#include <map>

class TimerTable {
 public:
  using Clock = std::chrono::steady_clock;
  using Task = std::function<void()>;

  // Starts or restarts timer id: its first tick is due a period after now.
  void Set(int id, std::chrono::milliseconds period, Task tick, Clock::time_point now);
  void Kill(int id);
  bool Empty() const { return timers_.empty(); }
  // When the earliest timer is due; time_point::max() when there is none.
  Clock::time_point NextDue() const;
  // Fires the earliest timer that is due at now, if any, once.
  void FireDue(Clock::time_point now);

 private:
  struct Timer {
    std::chrono::milliseconds period;
    Clock::time_point due;
    Task tick;
  };

  std::map<int, Timer> timers_;
};
