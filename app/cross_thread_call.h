// Running a task on another thread and waiting for it, for the front ends' message
// loops: the loop's own post function carries the task; a task the loop drops unrun
// releases the waiter. Any thread (never the loop's own thread, which would wait on
// itself).
#pragma once

#include <functional>
#include <future>
#include <memory>

using CrossThreadTask = std::function<void()>;

// False when the loop dropped the task instead of running it.
template <typename PostFunction>
bool RunAndWait(PostFunction&& post, const CrossThreadTask& task) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  post([task, done] {
    task();
    done->set_value();
  });
  done.reset();  // from here the queued task holds the only promise
  try {
    finished.get();
    return true;
  } catch (const std::future_error&) {
    return false;
  }
}
