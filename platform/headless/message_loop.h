// A message loop on the thread that calls Run: a queue of tasks, woken by a condition
// variable, and periodic timers that never pile up (see TimerTable). Post, Invoke and
// Quit: any thread. SetTimer, KillTimer and Run: the loop thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/headless/timer_table.h"

class MessageLoop {
 public:
  using Task = std::function<void()>;
  using Clock = TimerTable::Clock;

  // Dropped once the loop has quit.
  void Post(Task task);
  // Runs the task on the loop thread and waits for it (at once when called there).
  // False when the loop quit before the task could run.
  bool Invoke(const Task& task);
  void Quit();

  void SetTimer(int id, std::chrono::milliseconds period, Task tick);
  void KillTimer(int id);

  // Runs tasks, then due timers, until Quit; tasks still queued then are dropped.
  void Run();

 private:
  bool OnLoopThread() const;
  // With the lock held: waits for a task, a due timer or Quit; false on Quit.
  bool WaitForWork(std::unique_lock<std::mutex>& lock);

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool quit_ = false;
  std::thread::id loopThread_;
  TimerTable timers_;  // loop thread only
};
