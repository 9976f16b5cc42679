#include "tests/support/hostile_sender.h"

#include <chrono>
#include <random>

#include "platform/link/loopback_socket.h"

HostileSender::~HostileSender() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void HostileSender::Start(std::vector<std::uint16_t> ports) {
  thread_ = std::thread([this, ports = std::move(ports)] { Run(ports); });
}

void HostileSender::Run(const std::vector<std::uint16_t>& ports) {
  // First bytes that make a datagram look like enumeration, a command frame, a command
  // frame asking for a poll, or (any odd byte) a data frame.
  constexpr std::uint8_t kLeads[] = {0x00, 0x80, 0x88, 0x01};
  std::mt19937 random(seed_);
  LoopbackUdpSocket socket;
  while (!stop_) {
    for (const std::uint16_t port : ports) {
      std::vector<std::uint8_t> datagram(random() % 128);
      for (auto& byte : datagram) byte = static_cast<std::uint8_t>(random());
      const std::uint8_t lead = kLeads[random() % 4];
      if (!datagram.empty()) datagram[0] = lead == 0x01 ? static_cast<std::uint8_t>(datagram[0] | 0x01) : lead;
      socket.SendTo(port, datagram);
      ++sent_;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}
