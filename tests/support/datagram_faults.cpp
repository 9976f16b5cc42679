#include "tests/support/datagram_faults.h"

#include <utility>

DatagramFaults::DatagramFaults(FaultRates rates, std::uint32_t seed, std::chrono::milliseconds holdFor)
    : rates_(rates), state_(seed), holdFor_(holdFor) {}

// One uniform draw per datagram from a fixed generator (splitmix32), so that the faults
// depend on the seed alone and not on the standard library's distributions.
DatagramFaults::Fault DatagramFaults::Draw() {
  std::uint32_t z = (state_ += 0x9E3779B9u);
  z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
  z = (z ^ (z >> 13)) * 0xC2B2AE35u;
  z ^= z >> 16;
  const double u = z / 4294967296.0;
  if (u < rates_.drop) return Fault::kDrop;
  if (u < rates_.drop + rates_.duplicate) return Fault::kDuplicate;
  if (u < rates_.drop + rates_.duplicate + rates_.reorder) return Fault::kHold;
  return Fault::kNone;
}

std::vector<DatagramFaults::Datagram> DatagramFaults::Take(Datagram datagram, Clock::time_point now) {
  std::optional<Datagram> earlier = std::exchange(held_, std::nullopt);
  std::vector<Datagram> out;
  switch (silent_ ? Fault::kDrop : Draw()) {
    case Fault::kDrop:
      ++counts_.dropped;
      break;
    case Fault::kDuplicate:
      ++counts_.duplicated;
      out.push_back(datagram);
      out.push_back(std::move(datagram));
      break;
    case Fault::kHold:
      if (!earlier) {
        ++counts_.held;
        held_ = std::move(datagram);
        heldUntil_ = now + holdFor_;
        return out;
      }
      out.push_back(std::move(datagram));  // one is held already: this one overtakes it
      break;
    case Fault::kNone:
      out.push_back(std::move(datagram));
      break;
  }
  if (earlier) out.push_back(std::move(*earlier));
  return out;
}

std::vector<DatagramFaults::Datagram> DatagramFaults::Due(Clock::time_point now) {
  std::vector<Datagram> out;
  if (held_ && now >= heldUntil_) {
    out.push_back(std::move(*held_));
    held_.reset();
  }
  return out;
}

std::optional<DatagramFaults::Clock::time_point> DatagramFaults::NextDeadline() const {
  return held_ ? std::optional(heldUntil_) : std::nullopt;
}
