// A private desktop for one test: an X server (Xvfb) on a free display and a PulseAudio
// server with one null sink, both on sockets under a folder of the test's own, started
// with bounded waits and stopped at the end. The environment then points programs
// started by the test at them. Test thread.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/frontends/child_process.h"

// The program's path from PATH; nothing when it is not installed.
std::optional<std::string> FindProgram(const std::string& name);

class DesktopServers {
 public:
  static constexpr const char* SINK = "desktop_test";

  // folder holds the servers' sockets and stands in for the home folder.
  explicit DesktopServers(std::string folder) : folder_(std::move(folder)) {}
  ~DesktopServers();
  DesktopServers(const DesktopServers&) = delete;
  DesktopServers& operator=(const DesktopServers&) = delete;

  // The programs this needs that are not installed, by name.
  static std::vector<std::string> MissingPrograms();
  // Starts both servers and sets DISPLAY, PULSE_SERVER, HOME and XDG_RUNTIME_DIR; an
  // empty string, or what failed.
  std::string Start();

  // Runs a program of the desktop (xdotool, pactl) to its end: its stdout, or nothing
  // when it fails or takes longer than a few seconds.
  std::optional<std::string> Run(const std::string& program,
                                 const std::vector<std::string>& arguments) const;

 private:
  std::string StartX();
  std::string StartPulseAudio();

  std::string folder_;
  std::unique_ptr<ChildProcess> x_;
  std::unique_ptr<ChildProcess> pulse_;
};
