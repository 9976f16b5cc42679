// Mixing: the processor time the real mixer takes for one second of audio (44100
// frames pulled in 256-frame periods, as the audio device pulls them) with 0, 8, 32
// and 64 looping voices playing at once. Time of the whole process, so that any
// thread of the mixer counts.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "app/session_state.h"
#include "audio/sound.h"
#include "audio/sound_manager.h"
#include "bench/support/figure_reporter.h"
#include "bench/support/mixer_stage.h"
#include "platform/audio/loopback_mixer.h"
#include "platform/audio/offline_output.h"

namespace {

constexpr int kPeriodFrames = 256;
constexpr std::size_t kMostVoices = 64;
// The module's own loops: rain, wind, airflow, the passing ship, rumble, mining, waves,
// and a ship's cabin and engine.
constexpr std::array kLoopFiles{"c2prec1.wav", "c2prec2.wav", "c2prec3.wav", "c2prec4.wav", "c5wind3.wav",
                                "GEARAERO.wav", "doppler.wav", "rumble1.wav", "mining.wav", "waveloop.wav",
                                "CABIN FANS.wav", "fighter_on_space1.wav"};

OfflineOutput* output = nullptr;
std::vector<Sound*> voices;

bool CreateVoices() {
  constexpr DWORD kFlags = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY;
  for (std::size_t i = 0; i < kMostVoices; ++i) {
    const std::string file = std::string("Sounds\\") + kLoopFiles[i % kLoopFiles.size()];
    Sound* sound = nullptr;
    if (Failed(session.soundManager.load()->CreateSound(&sound, file.c_str(), kFlags, GUID_NULL, 1))) {
      std::fprintf(stderr, "mixing bench: cannot load %s\n", file.c_str());
      return false;
    }
    voices.push_back(sound);
  }
  return true;
}

// The first count voices loop, a little apart in level; the others are stopped.
void Play(std::size_t count) {
  for (std::size_t i = 0; i < kMostVoices; ++i) {
    Sound* voice = voices[i];
    if (i < count) {
      voice->Play(0, DSBPLAY_LOOPING, -100 * static_cast<LONG>(i % 10), -1, 0);
    } else {
      voice->Stop();
    }
  }
}

// Louder than the mixer's dither, which is one step either way.
bool Audible(const std::vector<std::int16_t>& frames) {
  return std::any_of(frames.begin(), frames.end(), [](std::int16_t sample) { return std::abs(sample) > 1; });
}

void Mix(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  Play(count);
  if (count > 0 && !Audible(output->Render(kPeriodFrames))) state.SkipWithError("the voices are not heard");
  for (auto _ : state) {
    for (int done = 0; done < MIX_RATE; done += kPeriodFrames) {
      benchmark::DoNotOptimize(output->Render(kPeriodFrames));
    }
  }
}
BENCHMARK(Mix)->Arg(0)->Arg(8)->Arg(32)->Arg(64)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void PrintCoreShares(const FigureReporter& reporter) {
  for (const int count : {0, 8, 32, 64}) {
    const double ms = reporter.CpuTime("Mix/" + std::to_string(count) + "/process_time");
    std::printf("mixing %d looping voices: %.2f ms of processor time per second of audio, %.2f%% of one core%s\n",
                count, ms, ms / 10.0, count == 32 ? " (goal 2%)" : "");
  }
}

}  // namespace

int main(int argc, char** argv) {
  output = &UseOfflineSoundDevice();
  MixerStage stage;
  if (!stage.Ready() || !CreateVoices()) return 1;
  FigureReporter reporter;
  if (!RunBenchmarks(argc, argv, reporter)) return 2;
  PrintCoreShares(reporter);
  return 0;
}
