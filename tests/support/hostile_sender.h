// Sends seeded random datagrams, some shaped like the link's frames, from a socket of its
// own to the given loopback ports, one every millisecond, on a thread of its own until it
// is destroyed. The same seed sends the same datagrams. Start is called once, from the
// thread that owns the object.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class HostileSender {
 public:
  explicit HostileSender(std::uint32_t seed) : seed_(seed) {}
  ~HostileSender();
  HostileSender(const HostileSender&) = delete;
  HostileSender& operator=(const HostileSender&) = delete;

  void Start(std::vector<std::uint16_t> ports);
  // Datagrams sent so far.
  int Sent() const { return sent_; }

 private:
  void Run(const std::vector<std::uint16_t>& ports);

  const std::uint32_t seed_;
  std::atomic<bool> stop_{false};
  std::atomic<int> sent_{0};
  std::thread thread_;
};
