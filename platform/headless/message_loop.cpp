#include "platform/headless/message_loop.h"

#include "app/cross_thread_call.h"

void MessageLoop::Post(Task task) {
  {
    std::scoped_lock lock(mutex_);
    if (quit_) {
      return;
    }
    tasks_.push_back(std::move(task));
  }
  wake_.notify_one();
}

bool MessageLoop::Invoke(const Task& task) {
  if (OnLoopThread()) {
    task();
    return true;
  }
  return RunAndWait([this](Task wrapped) { Post(std::move(wrapped)); }, task);
}

void MessageLoop::Quit() {
  {
    std::scoped_lock lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
}

void MessageLoop::SetTimer(int id, std::chrono::milliseconds period, Task tick) {
  timers_[id] = Timer{period, Clock::now() + period, std::move(tick)};
}

void MessageLoop::KillTimer(int id) { timers_.erase(id); }

bool MessageLoop::OnLoopThread() const {
  std::scoped_lock lock(mutex_);
  return loopThread_ == std::this_thread::get_id();
}

bool MessageLoop::WaitForWork(std::unique_lock<std::mutex>& lock) {
  while (!quit_ && tasks_.empty()) {
    if (timers_.empty()) {
      wake_.wait(lock);
      continue;
    }
    Clock::time_point due = Clock::time_point::max();
    for (const auto& [id, timer] : timers_) {
      due = std::min(due, timer.due);
    }
    if (wake_.wait_until(lock, due) == std::cv_status::timeout) {
      break;
    }
  }
  return !quit_;
}

// The earliest due timer fires once; a tick missed while the thread was busy is not
// made up for.
void MessageLoop::RunDueTimer() {
  const Clock::time_point now = Clock::now();
  for (auto& [id, timer] : timers_) {
    if (timer.due <= now) {
      timer.due = std::max(timer.due + timer.period, now);
      Task tick = timer.tick;  // the tick may kill its own timer
      tick();
      return;
    }
  }
}

void MessageLoop::Run() {
  std::unique_lock lock(mutex_);
  loopThread_ = std::this_thread::get_id();
  while (WaitForWork(lock)) {
    if (!tasks_.empty()) {
      Task task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
    } else {
      lock.unlock();
      RunDueTimer();
    }
    lock.lock();
  }
  std::deque<Task> dropped;
  dropped.swap(tasks_);
  loopThread_ = {};
  lock.unlock();
}
