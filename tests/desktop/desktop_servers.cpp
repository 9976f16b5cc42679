#include "tests/desktop/desktop_servers.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto START_LIMIT = std::chrono::seconds(20);
const std::vector<std::string> PROGRAMS{"Xvfb", "xdotool", "pulseaudio", "pactl", "parec"};

void Stop(std::unique_ptr<ChildProcess>& server) {
  if (server == nullptr) return;
  server->Signal(SIGTERM);  // lets Xvfb remove its lock file and socket
  server->Wait(Clock::now() + std::chrono::seconds(10));
  server.reset();
}

}  // namespace

std::optional<std::string> FindProgram(const std::string& name) {
  std::istringstream path(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
  for (std::string folder; std::getline(path, folder, ':');) {
    const std::filesystem::path candidate = std::filesystem::path(folder) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return std::nullopt;
}

std::vector<std::string> DesktopServers::MissingPrograms() {
  std::vector<std::string> missing;
  for (const std::string& program : PROGRAMS) {
    if (!FindProgram(program)) missing.push_back(program);
  }
  return missing;
}

DesktopServers::~DesktopServers() {
  Stop(pulse_);
  Stop(x_);
}

std::string DesktopServers::Start() {
  setenv("HOME", folder_.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  std::string failure = StartX();
  return failure.empty() ? StartPulseAudio() : failure;
}

// Xvfb picks a free display itself and writes its number once it accepts clients.
std::string DesktopServers::StartX() {
  x_ = std::make_unique<ChildProcess>(
      *FindProgram("Xvfb"),
      std::vector<std::string>{"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"},
      folder_);
  const std::optional<std::string> display = x_->ReadLine(Clock::now() + START_LIMIT);
  if (!display || display->empty()) return "Xvfb did not start";
  setenv("DISPLAY", (":" + *display).c_str(), 1);
  return {};
}

// A user-mode daemon without the default configuration: one socket, one null sink at
// the module's rate, so that the sink's monitor holds the mix sample for sample.
std::string DesktopServers::StartPulseAudio() {
  const std::string socket = folder_ + "/pulse-native";
  pulse_ = std::make_unique<ChildProcess>(
      *FindProgram("pulseaudio"),
      std::vector<std::string>{
          "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--log-level=error",
          "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
          std::string("--load=module-null-sink rate=44100 format=s16le channels=2 sink_name=") +
              SINK},
      folder_, ChildProcess::Output::Discard);
  setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
  const auto deadline = Clock::now() + START_LIMIT;
  while (!Run("pactl", {"info"})) {
    if (Clock::now() > deadline) return "PulseAudio did not start";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return {};
}

std::optional<std::string> DesktopServers::Run(const std::string& program,
                                               const std::vector<std::string>& arguments) const {
  const std::optional<std::string> path = FindProgram(program);
  if (!path) return std::nullopt;
  ChildProcess child(*path, arguments, folder_);
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  std::string output;
  while (const auto line = child.ReadLine(deadline)) output += *line + "\n";
  return child.Wait(deadline) == 0 ? std::optional(output) : std::nullopt;
}
