// A fresh temporary folder that is the current directory while the object lives, and
// is removed afterwards. Test thread.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

class ScratchFolder {
 public:
  ScratchFolder() : previous_(std::filesystem::current_path()) {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("soundmodule-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
  }
  ~ScratchFolder() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};
