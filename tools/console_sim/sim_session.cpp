#include "tools/console_sim/sim_session.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>

#include "link/configuration_request.h"
#include "link/packet_handlers.h"
#include "platform/directplay/directplay_host.h"
#include "platform/link/link_host.h"
#include "tools/console_sim/packet_text.h"
#include "tools/console_sim/typed_input.h"

namespace console_sim {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kForever = std::chrono::milliseconds(-1);
constexpr auto kPollPeriod = 100ms;  // how often the flight looks at the module
constexpr auto kGoodbyeWait = 2s;    // for the module to see TERMINATE before we go

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
  std::putchar('\n');
  std::fflush(stdout);
}

void Complain(const std::string& text) {
  std::fprintf(stderr, "console-sim: %s\n", text.c_str());
  std::fflush(stderr);
}

bool IsConfigurationRequest(const std::vector<std::uint8_t>& payload) {
  const EventPayload request = ConfigurationRequest();
  return payload.size() == request.size() && payload[0] == request[0];
}

// Player states go out as the Console Client sends them many times a second: a lost one
// is soon overtaken by the next. Everything else must arrive.
bool Guaranteed(const std::vector<std::uint8_t>& payload) {
  return payload.size() != PLAYER_STATE_PACKET_SIZE;
}

std::unique_ptr<SessionHost> MakeHost(const Options& options) {
  if (options.link == LinkKind::kTcp) {
    return std::make_unique<LinkHost>(options.port);
  }
  return std::make_unique<DirectPlayHost>(options.port);
}

void AcceptModule(SessionHost& host) {
  for (;;) {
    switch (host.Accept(kForever)) {
      case AcceptOutcome::kAccepted:
        return;
      case AcceptOutcome::kRefused:
        Complain("refused a module with another application or protocol version");
        break;
      default:
        Complain("a peer connected but did not send a valid CONNECT");
        break;
    }
  }
}

// Sends the flight's packets at their times, and typed packets as they come.
class FlightPlayer {
 public:
  FlightPlayer(SessionHost& host, const Scenario& scenario, bool quiet)
      : host_(host), scenario_(scenario), quiet_(quiet) {}

  int Play() {
    start_ = Clock::now();
    TypedInput input([this](const std::string& line) { OnTyped(line); });
    std::size_t next = 0;
    const Clock::time_point end = At(scenario_.endTime);
    for (;;) {
      ReportModuleData();
      if (host_.WaitForEnd(0ms)) {
        Complain("the module left the session before the scenario ended");
        return 1;
      }
      next = SendDue(next);
      if (next == scenario_.flight.size() && Clock::now() >= end && TypedQueueEmpty()) {
        break;
      }
      WaitUntil(next < scenario_.flight.size() ? At(scenario_.flight[next].time) : end);
    }
    host_.Terminate();
    host_.WaitForEnd(kGoodbyeWait);
    Say("Scenario finished; session ended.");
    return 0;
  }

 private:
  Clock::time_point At(double seconds) const {
    return start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  }

  double Elapsed() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

  void Send(const std::vector<std::uint8_t>& payload) {
    host_.SendData(payload, Guaranteed(payload));
    if (!quiet_) {
      Say("[%8.3f] %s", Elapsed(), DescribePacket(payload).c_str());
    }
  }

  // Sends the flight's packets from `next` on that are due, then the typed ones.
  std::size_t SendDue(std::size_t next) {
    const Clock::time_point now = Clock::now();
    for (; next < scenario_.flight.size() && At(scenario_.flight[next].time) <= now; ++next) {
      Send(scenario_.flight[next].payload);
    }
    std::unique_lock lock(mutex_);
    while (!typed_.empty() && typed_.begin()->first <= now) {
      std::vector<std::uint8_t> payload = std::move(typed_.begin()->second);
      typed_.erase(typed_.begin());
      lock.unlock();
      Send(payload);
      lock.lock();
    }
    return next;
  }

  void WaitUntil(Clock::time_point due) {
    std::unique_lock lock(mutex_);
    if (!typed_.empty() && typed_.begin()->first < due) {
      due = typed_.begin()->first;
    }
    due = std::min(due, Clock::now() + kPollPeriod);
    changed_.wait_until(lock, due, [&] { return typedArrived_; });
    typedArrived_ = false;
  }

  bool TypedQueueEmpty() {
    std::lock_guard hold(mutex_);
    return typed_.empty();
  }

  void OnTyped(const std::string& line) {
    std::string error;
    std::vector<ScheduledPacket> packets = ParseTypedLine(line, error);
    if (!error.empty()) {
      Complain("typed line not sent: " + error);
      return;
    }
    const Clock::time_point now = Clock::now();
    std::lock_guard hold(mutex_);
    for (ScheduledPacket& packet : packets) {
      typed_.emplace(now + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(packet.time)),
                     std::move(packet.payload));
    }
    typedArrived_ = true;
    changed_.notify_all();
  }

  void ReportModuleData() {
    while (std::optional<std::vector<std::uint8_t>> payload = host_.Receive(0ms)) {
      Say("[%8.3f] module sent: %s", Elapsed(), DescribePacket(*payload).c_str());
    }
  }

  SessionHost& host_;
  const Scenario& scenario_;
  const bool quiet_;
  Clock::time_point start_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::multimap<Clock::time_point, std::vector<std::uint8_t>> typed_;
  bool typedArrived_ = false;
};

}  // namespace

int RunSimulation(const Options& options, const Scenario& scenario) {
  std::unique_ptr<SessionHost> host;
  try {
    host = MakeHost(options);
  } catch (const std::system_error& error) {
    Complain("cannot listen on 127.0.0.1:" + std::to_string(options.port) + ": " + error.what());
    return 1;
  }
  Say("Listening on 127.0.0.1:%u; waiting for the module...", unsigned{host->Port()});
  AcceptModule(*host);
  Say("Module connected; waiting for its configuration request...");
  for (;;) {
    const std::optional<std::vector<std::uint8_t>> payload = host->Receive(kForever);
    if (!payload) {
      Complain("the module left before it asked for its configuration");
      return 1;
    }
    if (IsConfigurationRequest(*payload)) {
      break;
    }
    Say("module sent: %s", DescribePacket(*payload).c_str());
  }
  Say("Configuration requested; sending %zu packets.", scenario.configuration.size());
  for (const std::vector<std::uint8_t>& payload : scenario.configuration) {
    host->SendData(payload, Guaranteed(payload));
    if (!options.quiet) {
      Say("[  config] %s", DescribePacket(payload).c_str());
    }
  }
  return FlightPlayer(*host, scenario, options.quiet).Play();
}

}  // namespace console_sim
