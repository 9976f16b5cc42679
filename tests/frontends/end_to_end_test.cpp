// The soundmodule program headless against console-sim, both as processes in a folder
// prepared by make-sound-pack: it reaches "Ready!", and when the simulator ends the
// session it closes and exits with code 0.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/frontends/child_process.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLinkPort = 2400;

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("soundmodule_e2e_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    ASSERT_EQ(RunToEnd(MAKE_SOUND_PACK, {folder_.string()}, folder_.string()), 0);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
};

bool Contains(const std::vector<std::string>& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

TEST_F(EndToEndTest, ReachesReadyAndClosesWhenTheSimulatorEndsTheSession) {
  ASSERT_FALSE(PortListening(kLinkPort)) << "another program holds the link port";
  ChildProcess simulator(CONSOLE_SIM, {"--quiet", "--scenario", SCENARIO}, folder_.string(),
                         ChildProcess::Output::Discard);
  const auto listenDeadline = Clock::now() + std::chrono::seconds(20);
  while (!PortListening(kLinkPort) && Clock::now() < listenDeadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(PortListening(kLinkPort));

  ChildProcess module(SOUNDMODULE, {"--headless", "--audio-out", "null"}, folder_.string());
  std::vector<std::string> lines;
  const auto readyDeadline = Clock::now() + std::chrono::seconds(60);
  while (!Contains(lines, "Ready!")) {
    const auto line = module.ReadLine(readyDeadline);
    ASSERT_TRUE(line.has_value()) << "no Ready! ; stderr: " << module.ErrorOutput();
    lines.push_back(*line);
  }
  const std::vector<std::string> startup{"Loading barycentrics data...", "Connecting to client...",
                                         "Connected, getting configuration...", "Loading sound files...",
                                         "Ready!"};
  auto next = lines.begin();
  for (const std::string& step : startup) {
    next = std::find(next, lines.end(), step);
    EXPECT_NE(next, lines.end()) << "missing or out of order: " << step;
  }

  const auto endDeadline = Clock::now() + std::chrono::seconds(240);
  while (!Contains(lines, "Closing connection...")) {
    const auto line = module.ReadLine(endDeadline);
    ASSERT_TRUE(line.has_value()) << "the module did not close; stderr: " << module.ErrorOutput();
    lines.push_back(*line);
  }
  const auto closing = Clock::now();
  EXPECT_EQ(module.Wait(Clock::now() + std::chrono::seconds(30)), 0);
  const auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - closing);
  RecordProperty("close_to_exit_ms", static_cast<int>(pause.count()));
  const std::string errors = module.ErrorOutput();
  EXPECT_NE(errors.find("[end] 2"), std::string::npos) << errors;
  EXPECT_EQ(simulator.Wait(Clock::now() + std::chrono::seconds(30)), 0);
}

}  // namespace
