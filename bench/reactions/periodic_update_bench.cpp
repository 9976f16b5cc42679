// PeriodicUpdate: one 250 ms tick of the dialog thread with all 256 players in flight,
// the Doppler loop following the nearest of them and the rain loops running, on the
// sound bank loaded on the real mixer.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "app/session_state.h"
#include "bench/support/full_world_main.h"
#include "reactions/event_packet.h"
#include "reactions/periodic_update.h"

namespace {

// Steady rain, so the rain loops take part in every tick.
void StartRain() {
  EventPacket packet;
  packet.code = 14;
  packet.valueC = 8.0f;
  HandleEventPacket(EncodeEventPacket(packet));
}

void Tick(benchmark::State& state) {
  HWND window = session.dialogWindow;
  for (auto _ : state) {
    PeriodicUpdate(window);
  }
}
BENCHMARK(Tick)->Unit(benchmark::kMicrosecond);

void PrintPerTick(const FigureReporter& reporter) {
  std::printf("periodic update: %.1f us per tick with 256 players in flight (goal 50)\n",
              reporter.Figure("Tick"));
}

}  // namespace

int main(int argc, char** argv) { return RunInFullWorld(argc, argv, PrintPerTick, StartRain); }
