// The stage for running the soundmodule program against console-sim: a folder made by
// make-sound-pack, the simulator started on the link port, and the module's stdout read
// line by line. Test thread; the tests using it take the port's resource lock.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/frontends/child_process.h"

using Clock = std::chrono::steady_clock;
constexpr int kLinkPort = 2400;

class ModuleRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("soundmodule_e2e_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    ASSERT_EQ(RunToEnd(MAKE_SOUND_PACK, {folder_.string()}, folder_.string()), 0);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // `link` as console-sim's --link; the module must be given the same.
  std::unique_ptr<ChildProcess> StartSimulator(const char* scenario, const char* link = "tcp") {
    EXPECT_FALSE(PortListening(kLinkPort)) << "another program holds the link port";
    auto simulator = std::make_unique<ChildProcess>(
        CONSOLE_SIM, std::vector<std::string>{"--link", link, "--quiet", "--scenario", scenario}, folder_.string(),
        ChildProcess::Output::Discard);
    const auto listenDeadline = Clock::now() + std::chrono::seconds(20);
    while (!PortListening(kLinkPort) && Clock::now() < listenDeadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(PortListening(kLinkPort));
    return simulator;
  }

  // Reads stdout lines into `lines` until `wanted` is among them; false at the deadline.
  static bool ReadUntil(ChildProcess& module, const std::string& wanted, std::vector<std::string>& lines,
                        std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    while (std::find(lines.begin(), lines.end(), wanted) == lines.end()) {
      const auto line = module.ReadLine(deadline);
      if (!line) return false;
      lines.push_back(*line);
    }
    return true;
  }

  std::filesystem::path folder_;
};
