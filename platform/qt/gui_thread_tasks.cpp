#include "platform/qt/gui_thread_tasks.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

GuiThreadTasks::~GuiThreadTasks() {
  std::deque<CrossThreadTask> dropped;
  std::scoped_lock lock(mutex_);
  dropped.swap(tasks_);
}

void GuiThreadTasks::Post(CrossThreadTask task) {
  {
    std::scoped_lock lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  QCoreApplication::postEvent(this, new QEvent(QEvent::User));
}

bool GuiThreadTasks::Invoke(const CrossThreadTask& task) {
  if (QThread::currentThread() == thread()) {
    task();
    return true;
  }
  return RunAndWait([this](CrossThreadTask wrapped) { Post(std::move(wrapped)); }, task);
}

// One wake-up per posted task; each runs whatever is queued by then.
void GuiThreadTasks::customEvent(QEvent*) {
  while (true) {
    CrossThreadTask task;
    {
      std::scoped_lock lock(mutex_);
      if (tasks_.empty()) {
        return;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}
