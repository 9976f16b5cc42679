// Loading the sound bank (97 files read and mixed into device buffers) beside a plain
// read of the same files, and the ratio of the two; beside them the plain read with
// one more copy of the data, the least a mixer keeping its own copy adds.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/session_state.h"
#include "audio/sound.h"
#include "audio/sound_bank.h"
#include "audio/sound_bank_table.h"
#include "audio/sound_manager.h"
#include "bench/support/figure_reporter.h"
#include "platform/audio/offline_output.h"
#include "tools/make_sound_pack/sound_pack.h"

namespace {

void ReleaseBank() {
  for (const SoundBankEntry& entry : SoundBankEntries()) {
    Sound** handle = entry.handle(session.bank);
    delete *handle;
    *handle = nullptr;
  }
}

// The device is opened once: opening it is a start-up step of its own, timed apart.
void BM_LoadSoundBank(benchmark::State& state) {
  UseOfflineSoundDevice();
  SoundManager manager;
  manager.Init(nullptr, DSSCL_NORMAL);
  session.soundManager = &manager;
  for (auto _ : state) {
    if (!LoadSoundBank(nullptr)) state.SkipWithError("the bank did not load");
    state.PauseTiming();
    ReleaseBank();
    state.ResumeTiming();
  }
  session.soundManager = nullptr;
}

void BM_OpenSoundDevice(benchmark::State& state) {
  UseOfflineSoundDevice();
  for (auto _ : state) {
    SoundManager manager;
    if (Failed(manager.Init(nullptr, DSSCL_NORMAL))) state.SkipWithError("no device");
  }
}

// Reads every file of the bank whole; with copies, each file's bytes are then copied
// that many times into memory of their own that lives as long as the bank, as a mixer
// that keeps its own copy of the samples does.
void ReadBankFiles(benchmark::State& state, int copies) {
  for (auto _ : state) {
    std::vector<std::unique_ptr<char[]>> kept;
    std::size_t total = 0;
    for (const SoundBankEntry& entry : SoundBankEntries()) {
      const std::string path = std::string(SOUND_FOLDER) + "/" + entry.file;
      std::vector<char> bytes(std::filesystem::file_size(path));
      std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<long>(bytes.size()));
      for (int i = 0; i < copies; ++i) {
        kept.emplace_back(new char[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), kept.back().get());
      }
      total += bytes.size();
    }
    benchmark::DoNotOptimize(total);
    benchmark::DoNotOptimize(kept.data());
  }
}

void BM_ReadBankFiles(benchmark::State& state) { ReadBankFiles(state, 0); }
void BM_ReadAndCopyBankFiles(benchmark::State& state) { ReadBankFiles(state, 1); }

BENCHMARK(BM_LoadSoundBank)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSoundDevice)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBankFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndCopyBankFiles)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  const auto folder = std::filesystem::temp_directory_path() / "sound-bank-bench";
  if (!WriteSoundPack(folder.string(), SoundPackOptions{.speech = false})) return 1;
  std::filesystem::current_path(folder);
  FigureReporter reporter;
  const bool ran = RunBenchmarks(argc, argv, reporter);
  std::filesystem::current_path(folder.parent_path());
  std::filesystem::remove_all(folder);
  if (!ran) return 2;
  const double load = reporter.Figure("BM_LoadSoundBank");
  const double read = reporter.Figure("BM_ReadBankFiles");
  std::printf("bank load %.2f ms, plain read %.2f ms, ratio %.2f (goal 1.5)\n", load, read,
              reporter.Ratio("BM_LoadSoundBank", "BM_ReadBankFiles"));
  std::printf("plain read with one more copy of the samples / plain read: %.2f\n",
              reporter.Ratio("BM_ReadAndCopyBankFiles", "BM_ReadBankFiles"));
  return 0;
}
