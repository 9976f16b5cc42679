#include "bench/process/module_run.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <system_error>
#include <thread>

#include "platform/link/link_host.h"
#include "reactions/event_packet.h"
#include "tests/frontends/child_process.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::uint16_t kLinkPort = 2400;

// Tests of other builds may hold the port for a while.
std::unique_ptr<LinkHost> HostOnLinkPort() {
  const Clock::time_point deadline = Clock::now() + 120s;
  while (Clock::now() < deadline) {
    try {
      return std::make_unique<LinkHost>(kLinkPort);
    } catch (const std::system_error&) {
      std::this_thread::sleep_for(1s);
    }
  }
  std::fputs("module run: port 2400 stayed taken\n", stderr);
  return nullptr;
}

std::vector<std::uint8_t> Event(std::uint8_t code, float valueB) {
  EventPacket packet;
  packet.code = code;
  packet.valueB = valueB;
  const EventPayload payload = EncodeEventPacket(packet);
  return {payload.begin(), payload.end()};
}

bool Logged(ChildProcess& child, const std::string& wanted, Clock::time_point deadline) {
  while (const std::optional<std::string> line = child.ReadLine(deadline)) {
    if (*line == wanted) return true;
  }
  return false;
}

std::optional<std::size_t> ResidentOf(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  while (status >> key) {
    std::size_t kib = 0;
    if (key == "VmRSS:" && status >> kib) return kib * 1024;
    status.ignore(1 << 16, '\n');
  }
  return std::nullopt;
}

// The console's side up to "Ready!": accept, take the configuration request, answer.
bool PlayConsole(LinkHost& host) {
  if (host.Accept(30s) != AcceptOutcome::kAccepted || !host.Receive(10s)) return false;
  constexpr std::uint8_t kAssignSlot = 0;
  constexpr std::uint8_t kConfigurationComplete = 3;
  return host.SendData(Event(kAssignSlot, 1.0f)) && host.SendData(Event(kConfigurationComplete, 0.0f));
}

}  // namespace

std::optional<std::size_t> ResidentAfterReady(const std::string& soundmodule,
                                              const std::filesystem::path& folder) {
  const std::unique_ptr<LinkHost> host = HostOnLinkPort();
  if (!host) return std::nullopt;
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ChildProcess child(soundmodule, {"--link", "tcp", "--headless"}, folder.string());
  if (!PlayConsole(*host) || !Logged(child, "Ready!", Clock::now() + 60s)) {
    std::fprintf(stderr, "module run: no \"Ready!\" in %s\n", folder.c_str());
    return std::nullopt;
  }
  std::this_thread::sleep_for(1s);  // the mixer and the link settle into their running state
  const std::optional<std::size_t> resident = ResidentOf(child.Pid());
  host->Terminate();
  child.Wait(Clock::now() + 10s);
  return resident;
}
