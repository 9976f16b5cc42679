#include "tests/support/udp_relay.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

namespace {

using Clock = DatagramFaults::Clock;
constexpr std::chrono::milliseconds kStopCheck{50};

}  // namespace

UdpRelay::UdpRelay(RelayOptions options)
    : options_(std::move(options)),
      front_(options_.listenPort),
      faults_{{options_.toHost, options_.seed, options_.holdFor},
              {options_.toModule, options_.seed ^ 0x5A5A5A5Au, options_.holdFor}} {
  if (!options_.pcap.empty()) pcap_.emplace(options_.pcap);
  thread_ = std::thread([this] { Run(); });
}

UdpRelay::~UdpRelay() {
  stop_ = true;
  thread_.join();
}

void UdpRelay::SetSilent(bool silent) {
  std::lock_guard lock(faultsMutex_);
  faults_[1].SetSilent(silent);
}

std::array<FaultCounts, 2> UdpRelay::Counts() const {
  std::lock_guard lock(faultsMutex_);
  return {faults_[0].Counts(), faults_[1].Counts()};
}

void UdpRelay::Run() try {
  auto lastHeard = Clock::now();
  while (!stop_ && Clock::now() - lastHeard < options_.idleLimit) {
    pollfd ready[2] = {{front_.Fd(), POLLIN, 0}, {back_.Fd(), POLLIN, 0}};
    if (::poll(ready, 2, PollTimeoutMs()) > 0) {
      lastHeard = Clock::now();
      if (ready[0].revents & POLLIN) Relay(front_, true);
      if (ready[1].revents & POLLIN) Relay(back_, false);
    }
    for (const bool towardHost : {true, false}) {
      std::unique_lock lock(faultsMutex_);
      const auto due = faults_[towardHost ? 0 : 1].Due(Clock::now());
      lock.unlock();
      Forward(due, towardHost);
    }
  }
} catch (const std::exception& error) {
  std::fprintf(stderr, "relay stopped: %s\n", error.what());
}

void UdpRelay::Relay(LoopbackUdpSocket& from, bool towardHost) {
  std::vector<std::uint8_t> datagram;
  const std::optional<std::uint16_t> sender = from.Receive(datagram, std::chrono::milliseconds(0));
  if (!sender) return;
  if (towardHost) {
    std::uint16_t none = 0;
    modulePort_.compare_exchange_strong(none, *sender);
    if (*sender != modulePort_) return;  // only the module is relayed
  } else if (*sender != options_.hostPort) {
    return;
  }
  if (pcap_) {
    const std::uint16_t module = modulePort_;
    pcap_->Write(std::chrono::system_clock::now(), towardHost ? module : ListenPort(),
                 towardHost ? ListenPort() : module, datagram);
  }
  std::unique_lock lock(faultsMutex_);
  const auto out = faults_[towardHost ? 0 : 1].Take(std::move(datagram), Clock::now());
  lock.unlock();
  Forward(out, towardHost);
}

// A datagram the system refuses is lost, as on a real network.
void UdpRelay::Forward(const std::vector<DatagramFaults::Datagram>& datagrams, bool towardHost) {
  for (const DatagramFaults::Datagram& datagram : datagrams) {
    if (towardHost) {
      back_.SendTo(options_.hostPort, datagram);
    } else {
      front_.SendTo(modulePort_, datagram);
    }
  }
}

int UdpRelay::PollTimeoutMs() const {
  auto wait = kStopCheck;
  std::lock_guard lock(faultsMutex_);
  for (const DatagramFaults& way : faults_) {
    if (const auto deadline = way.NextDeadline()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
      wait = std::clamp(left, std::chrono::milliseconds(0), wait);
    }
  }
  return static_cast<int>(wait.count());
}
