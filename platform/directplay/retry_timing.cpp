#include "platform/directplay/retry_timing.h"

#include <algorithm>

namespace dpnet {

namespace {
constexpr int kLastDoubling = 8;
}  // namespace

void RoundTrip::Sample(Clock::duration sample) {
  estimate_ = measured_ ? estimate_ + (sample - estimate_) / 8 : sample;
  measured_ = true;
}

Clock::duration RetryDelay(Clock::duration roundTrip, int retries, const ReliableOptions& options) {
  const Clock::duration base = roundTrip * 5 / 2 + options.delayedAck;
  // 1, 2, 3 times the base, then doubling from there.
  const int linear = std::clamp(retries, 0, 2) + 1;
  const int doublings = std::clamp(retries, 2, kLastDoubling) - 2;
  return std::min(base * linear * (1 << doublings), options.retryCap);
}

Clock::duration ConnectRetryDelay(int retries, const ReliableOptions& options) {
  const int doublings = std::clamp(retries, 0, 20);
  return std::min(options.connectRetryPeriod * (std::int64_t{1} << doublings), options.connectRetryCap);
}

Clock::duration HardDisconnectSpacing(Clock::duration roundTrip) {
  return std::clamp<Clock::duration>(roundTrip / 2, std::chrono::milliseconds(10),
                                     std::chrono::milliseconds(500));
}

}  // namespace dpnet
