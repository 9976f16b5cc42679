// Reads the lines typed on stdin while the simulator runs, on a thread of its own,
// and hands each complete line to a callback (on that thread); a line of more than
// 4096 bytes is dropped. Stops at end of input or when destroyed.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace console_sim {

class TypedInput {
 public:
  explicit TypedInput(std::function<void(const std::string&)> onLine);
  ~TypedInput();
  TypedInput(const TypedInput&) = delete;
  TypedInput& operator=(const TypedInput&) = delete;

 private:
  void Run();

  std::function<void(const std::string&)> onLine_;
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

}  // namespace console_sim
