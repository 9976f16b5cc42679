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
  timers_.Set(id, period, std::move(tick), Clock::now());
}

void MessageLoop::KillTimer(int id) { timers_.Kill(id); }

bool MessageLoop::OnLoopThread() const {
  std::scoped_lock lock(mutex_);
  return loopThread_ == std::this_thread::get_id();
}

bool MessageLoop::WaitForWork(std::unique_lock<std::mutex>& lock) {
  while (!quit_ && tasks_.empty()) {
    if (timers_.Empty()) {
      wake_.wait(lock);
      continue;
    }
    if (wake_.wait_until(lock, timers_.NextDue()) == std::cv_status::timeout) {
      break;
    }
  }
  return !quit_;
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
      timers_.FireDue(Clock::now());
    }
    lock.lock();
  }
  std::deque<Task> dropped;
  dropped.swap(tasks_);
  loopThread_ = {};
  lock.unlock();
}
