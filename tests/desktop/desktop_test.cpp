// The module as a user runs it: its window on an X server, its sound through a PulseAudio
// server, console-sim as the host. The test clicks "Test Tone", hears the tone on the
// sink's monitor at the file's level, and closes the window with Escape.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/desktop/desktop_servers.h"
#include "tests/frontends/module_run.h"
#include "tools/wave_io/wave_io.h"

namespace {

constexpr const char* TITLE = "Sound Module - Varnholt Industries";

struct Peaks {
  int left = 0;
  int right = 0;
};

Peaks PeaksOf(const Clip& clip) {
  Peaks peaks;
  for (std::size_t i = 0; i + 1 < clip.samples.size(); i += 2) {
    peaks.left = std::max(peaks.left, std::abs(static_cast<int>(clip.samples[i])));
    peaks.right = std::max(peaks.right, std::abs(static_cast<int>(clip.samples[i + 1])));
  }
  return peaks;
}

int PeakOf(const Clip& clip) {
  int peak = 0;
  for (const std::int16_t sample : clip.samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
  return peak;
}

bool TraceHasPlayOf(const std::filesystem::path& trace, const std::string& file) {
  std::ifstream in(trace);
  for (std::string line; std::getline(in, line);) {
    if (line.find("\"play\"") != std::string::npos && line.find(file) != std::string::npos) {
      return true;
    }
  }
  return false;
}

class DesktopTest : public ModuleRunTest {
 protected:
  // The module's window once it is mapped, or an empty id at the deadline.
  std::string FindWindow() {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
      const auto found = servers_->Run("xdotool", {"search", "--onlyvisible", "--name", TITLE});
      if (found && !found->empty()) return found->substr(0, found->find('\n'));
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return {};
  }

  // Clicks the middle of "Test Tone" (280,7 50x14 of the 337x138 dialog units) until the
  // trace shows the tone played: the button is enabled once the sounds are loaded.
  bool ClickTestTone(const std::string& window) {
    const auto geometry = servers_->Run("xdotool", {"getwindowgeometry", window});
    int width = 0;
    int height = 0;
    const auto size = geometry ? geometry->find("Geometry: ") : std::string::npos;
    if (size == std::string::npos ||
        std::sscanf(geometry->c_str() + size, "Geometry: %dx%d", &width, &height) != 2) {
      return false;
    }
    const std::string x = std::to_string(width * 305 / 337);
    const std::string y = std::to_string(height * 14 / 138);
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
      servers_->Run("xdotool", {"mousemove", "--window", window, x, y, "click", "1"});
      const auto heard = Clock::now() + std::chrono::seconds(1);
      while (Clock::now() < heard) {
        if (TraceHasPlayOf(folder_ / "trace.jsonl", "1000hztone.wav")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    }
    return false;
  }

  std::unique_ptr<DesktopServers> servers_;
};

TEST_F(DesktopTest, TheTestToneIsHeardAtItsLevelAndEscapeEndsTheModule) {
  if (const std::vector<std::string> missing = DesktopServers::MissingPrograms(); !missing.empty()) {
    std::string names;
    for (const std::string& name : missing) names += " " + name;
    GTEST_SKIP() << "desktop test skipped: not installed:" << names
                 << " (scripts/setup.sh installs them)";
  }
  servers_ = std::make_unique<DesktopServers>(folder_.string());
  ASSERT_EQ(servers_->Start(), "");
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
  // Under the sanitizers: what the desktop's own libraries keep or hand over unseen.
  setenv("LSAN_OPTIONS", "suppressions=" WINDOWED_LEAKS, 1);
  setenv("TSAN_OPTIONS", "suppressions=" WINDOWED_RACES, 1);
  const auto simulator = StartSimulator(SCENARIO, "directplay");  // the module's default link
  const std::string recording = (folder_ / "monitor.wav").string();
  ChildProcess recorder(*FindProgram("parec"),
                        {"--device", std::string(DesktopServers::SINK) + ".monitor",
                         "--file-format=wav", "--format=s16le", "--rate=44100", "--channels=2",
                         recording},
                        folder_.string(), ChildProcess::Output::Discard);
  ChildProcess module(SOUNDMODULE, {"--trace", "trace.jsonl"}, folder_.string());

  const std::string window = FindWindow();
  ASSERT_FALSE(window.empty()) << "no window titled " << TITLE;
  ASSERT_TRUE(ClickTestTone(window));

  const auto streams = servers_->Run("pactl", {"list", "sink-inputs"});
  ASSERT_TRUE(streams);
  EXPECT_NE(streams->find("application.name = \"Sound Module\""), std::string::npos) << *streams;
  EXPECT_NE(streams->find("media.name = \"Sound Module\""), std::string::npos) << *streams;
  EXPECT_NE(streams->find("application.icon_name = \"soundmodule\""), std::string::npos) << *streams;

  // The tone lasts a second; the recording ends once it has been heard out.
  const auto played = Clock::now() + std::chrono::milliseconds(1500);
  while (Clock::now() < played) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  servers_->Run("xdotool", {"mousemove", "--window", window, "10", "10", "key", "Escape"});
  EXPECT_EQ(module.Wait(Clock::now() + std::chrono::seconds(30)), 0) << module.ErrorOutput();
  recorder.Signal(SIGINT);
  ASSERT_EQ(recorder.Wait(Clock::now() + std::chrono::seconds(10)), 0);

  const std::optional<Clip> tone = ReadWave((folder_ / "Sounds" / "1000hztone.wav").string());
  const std::optional<Clip> heard = ReadWave(recording);
  ASSERT_TRUE(tone && heard);
  const int expected = PeakOf(*tone);
  const Peaks peaks = PeaksOf(*heard);
  EXPECT_NEAR(peaks.left, expected, expected / 50) << "left channel";
  EXPECT_NEAR(peaks.right, expected, expected / 50) << "right channel";
}

}  // namespace
