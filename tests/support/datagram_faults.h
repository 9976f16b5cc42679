// Seeded faults on one direction of a relay: each datagram that comes in is passed,
// dropped, passed twice, or held back and sent after the next one that comes (or when its
// short hold ends). At most one datagram is held, so nothing queues. While silent, every
// datagram is dropped. The same seed and the same calls give the same output. One thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

struct FaultRates {
  double drop = 0;
  double duplicate = 0;
  double reorder = 0;
};

struct FaultCounts {
  int dropped = 0;
  int duplicated = 0;
  int held = 0;
};

class DatagramFaults {
 public:
  using Clock = std::chrono::steady_clock;
  using Datagram = std::vector<std::uint8_t>;

  DatagramFaults(FaultRates rates, std::uint32_t seed, std::chrono::milliseconds holdFor);

  // What to forward now, in order, for one datagram that came in at `now`.
  std::vector<Datagram> Take(Datagram datagram, Clock::time_point now);
  // The held datagram once its hold has ended by `now`; empty otherwise.
  std::vector<Datagram> Due(Clock::time_point now);
  // When Due has something to give; nullopt while nothing is held.
  std::optional<Clock::time_point> NextDeadline() const;
  // Silent: every datagram from now on is dropped (counted, without a draw).
  void SetSilent(bool silent) { silent_ = silent; }
  const FaultCounts& Counts() const { return counts_; }

 private:
  enum class Fault { kNone, kDrop, kDuplicate, kHold };
  Fault Draw();

  FaultRates rates_;
  std::uint32_t state_;  // the seeded generator's state
  std::chrono::milliseconds holdFor_;
  std::optional<Datagram> held_;
  Clock::time_point heldUntil_;
  FaultCounts counts_;
  bool silent_ = false;
};
