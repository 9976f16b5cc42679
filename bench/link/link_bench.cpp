// The TCP link on loopback beside bare sockets doing the same work, in one run:
// one-way delay (the host's send to the module's handler call, against half a bare
// ping-pong), the same delay from a host that is a bare socket (the module's side
// alone), and frames per second; the DirectPlay 8 link beside bare UDP in udp_bench.cpp.
// The ratios of both are printed after the table.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "bench/link/link_bench.h"
#include "bench/support/figure_reporter.h"
#include "bench/support/link_connect.h"
#include "link/direct_play.h"
#include "platform/link/frame.h"
#include "platform/link/link_host.h"
#include "platform/link/loopback_socket.h"
#include "platform/link/tcp_link_client.h"

namespace {

using namespace link_bench;
using namespace std::chrono_literals;

// The module connected to the host the Console Client's stand-in uses.
using LinkPair = HostedPair<LinkHost, TcpLinkClient>;

// The module connected to a host that is a bare socket written from the caller's
// thread: the module's own share of the link's delay.
struct BareHostPair {
  BareHostPair() {
    StartConnect(module.client, listener.Port());
    host = listener.Accept(5s);
    std::vector<std::uint8_t> connect(link_wire::kHeaderSize + link_wire::kConnectBodySize);
    host->Read(connect, 5s);
    const std::uint8_t accepted[link_wire::kConnectReplyBodySize] = {};
    host->Write(link_wire::EncodeFrame(link_wire::FrameType::kConnectReply, accepted));
    module.WaitForConnect();
  }
  LoopbackListener listener;
  ModuleEnd<TcpLinkClient> module;
  std::unique_ptr<LoopbackSocket> host;
};

// Two bare sockets and a thread on the far side that answers or drains.
struct BarePair {
  BarePair() {
    near = LoopbackSocket::Connect(listener.Port());
    far = listener.Accept(5s);
  }
  LoopbackListener listener;
  std::unique_ptr<LoopbackSocket> near;
  std::unique_ptr<LoopbackSocket> far;
};

void LinkDelay(benchmark::State& state) { MeasureDelay<LinkPair>(state); }
BENCHMARK(LinkDelay)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BareHostDelay(benchmark::State& state) {
  BareHostPair pair;
  const std::vector<std::uint8_t> frame =
      link_wire::EncodeFrame(link_wire::FrameType::kData, std::vector<std::uint8_t>(kPayloadSize, 1));
  long sent = 0;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    pair.host->Write(frame);
    state.SetIterationTime(pair.module.DelaySince(start, ++sent));
  }
}
BENCHMARK(BareHostDelay)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BareDelay(benchmark::State& state) {
  BarePair pair;
  const std::vector<std::uint8_t> frame =
      link_wire::EncodeFrame(link_wire::FrameType::kData, std::vector<std::uint8_t>(kPayloadSize, 1));
  std::atomic<bool> stop{false};
  std::thread echo([&] {
    std::vector<std::uint8_t> buffer(frame.size());
    while (pair.far->Read(buffer, 1s) && !stop) {
      pair.far->Write(buffer);
    }
  });
  std::vector<std::uint8_t> back(frame.size());
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    pair.near->Write(frame);
    pair.near->Read(back, 5s);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count() / 2);
  }
  stop = true;
  pair.near.reset();
  echo.join();
}
BENCHMARK(BareDelay)->UseManualTime()->Unit(benchmark::kMicrosecond);

void LinkFrames(benchmark::State& state) { MeasurePayloads<LinkPair>(state); }
BENCHMARK(LinkFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

void BareFrames(benchmark::State& state) {
  BarePair pair;
  const std::vector<std::uint8_t> frame =
      link_wire::EncodeFrame(link_wire::FrameType::kData, std::vector<std::uint8_t>(kPayloadSize, 1));
  std::vector<std::uint8_t> batch;
  for (int i = 0; i < kBatch; ++i) {
    batch.insert(batch.end(), frame.begin(), frame.end());
  }
  long sent = 0;
  for (auto _ : state) {
    std::thread drain([&] {
      std::vector<std::uint8_t> buffer(batch.size());
      pair.far->Read(buffer, 5s);
    });
    for (const std::uint8_t* at = batch.data(); at < batch.data() + batch.size(); at += frame.size()) {
      pair.near->Write(std::span<const std::uint8_t>(at, frame.size()));  // one send per frame
    }
    drain.join();
    sent += kBatch;
  }
  state.SetItemsProcessed(sent);
}
BENCHMARK(BareFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrintRatios(const FigureReporter& reporter) {
  std::printf("one-way delay, link / bare socket: %.2f (goal 2)\n",
              reporter.Ratio("LinkDelay/manual_time", "BareDelay/manual_time"));
  std::printf("one-way delay, bare host to the module's handler / bare socket: %.2f\n",
              reporter.Ratio("BareHostDelay/manual_time", "BareDelay/manual_time"));
  std::printf("frames per second, link / bare socket: %.2f (goal 0.5)\n",
              reporter.Ratio("LinkFrames/real_time", "BareFrames/real_time"));
  std::printf("one-way delay, DirectPlay 8 link / bare UDP: %.2f (goal 2)\n",
              reporter.Ratio("DirectPlayDelay/manual_time", "BareUdpDelay/manual_time"));
  std::printf("payloads per second, DirectPlay 8 link / bare UDP: %.2f (goal 0.5)\n",
              reporter.Ratio("DirectPlayPayloads/real_time", "BareUdpPayloads/real_time"));
}

}  // namespace

int main(int argc, char** argv) {
  FigureReporter reporter;
  if (!RunBenchmarks(argc, argv, reporter)) return 2;
  PrintRatios(reporter);
  return 0;
}
