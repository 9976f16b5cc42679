// The link's timer periods: the measured round trip and the retry schedules derived
// from it. Pure; one link's thread.
#pragma once

#include "platform/directplay/link_types.h"

namespace dpnet {

// A smoothed round trip: the first sample as it is, then 1/8 of each new one.
class RoundTrip {
 public:
  explicit RoundTrip(Clock::duration initial) : estimate_(initial) {}
  void Sample(Clock::duration sample);
  Clock::duration Estimate() const { return estimate_; }

 private:
  Clock::duration estimate_;
  bool measured_ = false;
};

// How long after sending a reliable frame for the `retries`-th time (0: its first
// send) it is sent again: 2.5 round trips plus the delayed-ack time, growing linearly
// for the second and third retries and doubling up to the eighth, never above the cap.
Clock::duration RetryDelay(Clock::duration roundTrip, int retries, const ReliableOptions& options);
// The connect retry period after `retries` retries: doubling from the first, capped.
Clock::duration ConnectRetryDelay(int retries, const ReliableOptions& options);
// The spacing of HARD_DISCONNECTs: half a round trip, between 10 and 500 ms.
Clock::duration HardDisconnectSpacing(Clock::duration roundTrip);

}  // namespace dpnet
