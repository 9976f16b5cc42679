// A UDP relay between the module and a host on loopback, with seeded faults both ways: it
// listens where the module expects the host, forwards what the first sender (the module)
// sends to the host's real port and the host's answers back. It can play a host that goes
// silent, and writes every datagram it receives, as its sender sent it and before any
// fault, to a pcap file with the ports the module sees (its own and the listening port).
// The relay runs on a thread of its own and stops when destroyed or when nothing came for
// its idle limit. Its methods may be called from any thread.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/link/loopback_socket.h"
#include "tests/support/datagram_faults.h"
#include "tests/support/pcap_writer.h"

struct RelayOptions {
  std::uint16_t hostPort = 0;      // where the host really is
  std::uint16_t listenPort = 2400;  // where the module sends (0: a free port)
  FaultRates toHost;
  FaultRates toModule;
  std::uint32_t seed = 1;  // tests print it when they fail
  std::chrono::milliseconds holdFor{30};
  std::chrono::milliseconds idleLimit{120000};
  std::filesystem::path pcap;  // empty: nothing written
};

class UdpRelay {
 public:
  // Binds the listening port (throws std::system_error when it cannot be had) and starts.
  explicit UdpRelay(RelayOptions options);
  ~UdpRelay();
  UdpRelay(const UdpRelay&) = delete;
  UdpRelay& operator=(const UdpRelay&) = delete;

  std::uint16_t ListenPort() const { return front_.Port(); }
  // The module's port once its first datagram came; 0 before.
  std::uint16_t ModulePort() const { return modulePort_; }
  // Silent: everything from the host is dropped from now on, as if the host went quiet.
  void SetSilent(bool silent);
  // What the faults did so far: [0] on the way to the host, [1] on the way to the module
  // (the silenced datagrams among the dropped ones).
  std::array<FaultCounts, 2> Counts() const;

 private:
  void Run();
  // Receives one datagram from `from` (one is waiting) and passes it through its faults.
  void Relay(LoopbackUdpSocket& from, bool towardHost);
  void Forward(const std::vector<DatagramFaults::Datagram>& datagrams, bool towardHost);
  int PollTimeoutMs() const;

  const RelayOptions options_;
  LoopbackUdpSocket front_;  // the module's side
  LoopbackUdpSocket back_;   // the host's side
  std::optional<PcapWriter> pcap_;  // relay thread only
  DatagramFaults faults_[2];  // [0] toward the host, [1] toward the module
  mutable std::mutex faultsMutex_;
  std::atomic<std::uint16_t> modulePort_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
