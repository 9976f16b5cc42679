// Work handed to the GUI thread from any thread. The tasks travel through a queue of
// our own under a standard mutex, so that race detectors see the hand-over; Qt only
// carries an empty wake-up event. Construct and destroy on the GUI thread.
#pragma once

#include <deque>
#include <mutex>

#include <QObject>

#include "app/cross_thread_call.h"

class GuiThreadTasks : public QObject {
 public:
  GuiThreadTasks() = default;
  // Drops tasks not yet run, which releases their waiters.
  ~GuiThreadTasks() override;

  // Any thread: queue the task and return.
  void Post(CrossThreadTask task);
  // Any thread: run the task on the GUI thread (at once when already there) and wait;
  // false when it was dropped unrun.
  bool Invoke(const CrossThreadTask& task);

 protected:
  void customEvent(QEvent* event) override;

 private:
  std::mutex mutex_;
  std::deque<CrossThreadTask> tasks_;
};
