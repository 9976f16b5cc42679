// A message loop on the thread that calls Run: a queue of tasks, woken by a condition
// variable, and periodic timers that never pile up (a late tick fires once, and the
// next one follows a period later). Post, Invoke and Quit: any thread. SetTimer,
// KillTimer and Run: the loop thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

class MessageLoop {
 public:
  using Task = std::function<void()>;
  using Clock = std::chrono::steady_clock;

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
  struct Timer {
    std::chrono::milliseconds period;
    Clock::time_point due;
    Task tick;
  };

  bool OnLoopThread() const;
  // With the lock held: waits for a task, a due timer or Quit; false on Quit.
  bool WaitForWork(std::unique_lock<std::mutex>& lock);
  void RunDueTimer();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool quit_ = false;
  std::thread::id loopThread_;
  std::map<int, Timer> timers_;  // loop thread only
};
