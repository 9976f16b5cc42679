// The DirectPlay 8 link on loopback beside bare UDP: one-way delay (the host's send to
// the module's handler call, against half a bare ping-pong) and payloads per second (the
// link's reliable payloads against datagrams from one sender to one reader).
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>
#include <vector>

#include "bench/link/link_bench.h"
#include "bench/support/link_connect.h"
#include "platform/directplay/directplay_client.h"
#include "platform/directplay/directplay_host.h"
#include "platform/link/loopback_socket.h"

namespace {

using namespace link_bench;
using namespace std::chrono_literals;

// The sender never runs more datagrams ahead of the reader than the link's window (64
// frames) allows, so the socket's receive buffer never overflows and drops one.
constexpr long kInFlight = 64;

// The module's client connected to the Console Client's stand-in, over UDP.
using DirectPlayPair = HostedPair<DirectPlayHost, DirectPlayClient>;

void DirectPlayDelay(benchmark::State& state) { MeasureDelay<DirectPlayPair>(state); }
BENCHMARK(DirectPlayDelay)->UseManualTime()->Unit(benchmark::kMicrosecond);

void DirectPlayPayloads(benchmark::State& state) { MeasurePayloads<DirectPlayPair>(state); }
BENCHMARK(DirectPlayPayloads)->Unit(benchmark::kMillisecond)->UseRealTime();

void BareUdpDelay(benchmark::State& state) {
  LoopbackUdpSocket near;
  LoopbackUdpSocket far;
  std::atomic<bool> stop{false};
  std::thread echo([&] {
    std::vector<std::uint8_t> buffer;
    while (!stop) {
      if (const auto from = far.Receive(buffer, 100ms)) far.SendTo(*from, buffer);
    }
  });
  const std::vector<std::uint8_t> payload(kPayloadSize, 1);
  std::vector<std::uint8_t> back;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    near.SendTo(far.Port(), payload);
    near.Receive(back, 5s);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count() / 2);
  }
  stop = true;
  echo.join();
}
BENCHMARK(BareUdpDelay)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BareUdpPayloads(benchmark::State& state) {
  LoopbackUdpSocket near;
  LoopbackUdpSocket far;
  std::atomic<long> received{0};
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    std::vector<std::uint8_t> buffer;
    while (!stop) {
      if (far.Receive(buffer, 100ms)) received.fetch_add(1, std::memory_order_release);
    }
  });
  const std::vector<std::uint8_t> payload(kPayloadSize, 1);
  long sent = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i, ++sent) {
      while (sent - received.load(std::memory_order_acquire) >= kInFlight) std::this_thread::yield();
      near.SendTo(far.Port(), payload);
    }
    while (received.load(std::memory_order_acquire) < sent) std::this_thread::yield();
  }
  state.SetItemsProcessed(sent);
  stop = true;
  reader.join();
}
BENCHMARK(BareUdpPayloads)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
