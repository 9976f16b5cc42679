// What the link benchmarks share: the payload every one of them sends, the size of a
// batch when payloads per second are counted, and the clock. Main thread of link_bench.
#pragma once

#include <chrono>
#include <cstddef>

namespace link_bench {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPayloadSize = 20;
constexpr int kBatch = 10000;

}  // namespace link_bench
