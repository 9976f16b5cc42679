// What the link benchmarks share: the payload every one of them sends, the size of a
// batch when payloads per second are counted, the module's end of a link, which counts
// what its handler is given, a module connected to a host of its link, and the two
// measures taken of every link. Main thread of link_bench; the handler runs on the
// client's own threads.
#pragma once

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <thread>
#include <vector>

#include "bench/support/link_connect.h"
#include "link/direct_play.h"

namespace link_bench {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kPayloadSize = 20;
constexpr int kBatch = 10000;

// The module's client of either link, counting what its handler is given.
template <typename Client>
struct ModuleEnd {
  static HRESULT Handle(void* context, DWORD id, void*) {
    auto* end = static_cast<ModuleEnd*>(context);
    if (id == DPN_MSGID_RECEIVE) {
      end->lastCall.store(Clock::now().time_since_epoch().count(), std::memory_order_release);
      end->received.fetch_add(1, std::memory_order_release);
    } else if (id == DPN_MSGID_CONNECT_COMPLETE) {
      end->connected = true;
    }
    return DPN_OK;
  }

  ModuleEnd() { client.Initialize(this, Handle, 0); }

  void WaitForConnect() const {
    while (!connected) {
      std::this_thread::yield();
    }
  }

  void WaitForCount(long count) const {
    while (received.load(std::memory_order_acquire) < count) {
      std::this_thread::yield();
    }
  }

  // The host's send at start to the handler's call for the count-th payload, in seconds.
  double DelaySince(Clock::time_point start, long count) const {
    WaitForCount(count);
    const Clock::time_point call{Clock::duration(lastCall.load(std::memory_order_acquire))};
    return std::chrono::duration<double>(call - start).count();
  }

  Client client;
  std::atomic<bool> connected{false};
  std::atomic<long> received{0};
  std::atomic<Clock::rep> lastCall{0};
};

// The module's client connected to a host of the same link.
template <typename Host, typename Client>
struct HostedPair {
  HostedPair() {
    ConnectToHost(module.client, host);
    module.WaitForConnect();
  }
  Host host;
  ModuleEnd<Client> module;
};

// One-way delay: the host's send to the module's handler call, one payload at a time.
template <typename Pair>
void MeasureDelay(benchmark::State& state) {
  Pair pair;
  const std::vector<std::uint8_t> payload(kPayloadSize, 1);
  long sent = 0;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    pair.host.SendData(payload);
    state.SetIterationTime(pair.module.DelaySince(start, ++sent));
  }
}

// Payloads per second from the host to the module's handler, sent in batches.
template <typename Pair>
void MeasurePayloads(benchmark::State& state) {
  Pair pair;
  const std::vector<std::uint8_t> payload(kPayloadSize, 1);
  long sent = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      pair.host.SendData(payload);
    }
    sent += kBatch;
    pair.module.WaitForCount(sent);
  }
  state.SetItemsProcessed(sent);
}

}  // namespace link_bench
