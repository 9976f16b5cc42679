// Memory: the real soundmodule, headless with SDL's dummy audio driver, run against a
// host of our own on the link's port until "Ready!", then its resident size read from
// /proc. Once with the full sound pack, once with the same files cut to a few sample
// frames each: that empty run is the dialog's own baseline, with the same libraries,
// threads, mixer and sound objects. Usage: resident_size SOUNDMODULE
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "audio/ship_sound_files.h"
#include "audio/sound_bank_table.h"
#include "bench/process/module_run.h"
#include "tests/support/scratch_folder.h"
#include "tools/make_sound_pack/sound_pack.h"
#include "tools/wave_io/wave_io.h"

namespace {

namespace fs = std::filesystem;

// The files a ship of type 1 has loaded once it is ready.
std::vector<std::string> LoadedFiles() {
  std::vector<std::string> files;
  for (const SoundBankEntry& entry : SoundBankEntries()) files.emplace_back(entry.file);
  const ShipSoundFiles& ship = SHIP_SOUND_FILES[0];
  for (const char* file : {ship.cockpitAmbience, ship.engineLoop, ship.cockpitStartup}) files.emplace_back(file);
  return files;
}

std::optional<std::size_t> SampleBytes(const fs::path& sounds) {
  std::size_t total = 0;
  for (const std::string& file : LoadedFiles()) {
    const std::optional<Clip> clip = ReadWave((sounds / file).string());
    if (!clip) return std::nullopt;
    total += clip->samples.size() * sizeof(std::int16_t);
  }
  return total;
}

// The same pack with every file cut to its first few frames, enough for a device buffer.
bool WriteEmptyPack(const fs::path& full, const fs::path& empty) {
  fs::create_directories(empty / "Sounds");
  fs::copy_file(full / "universe.dat", empty / "universe.dat");
  for (const std::string& file : SoundPackFileNames()) {
    std::optional<Clip> clip = ReadWave((full / "Sounds" / file).string());
    if (!clip) return false;
    constexpr std::size_t kFrames = 8;
    clip->samples.resize(kFrames * static_cast<std::size_t>(clip->channels));
    if (!WriteWave((empty / "Sounds" / file).string(), *clip)) return false;
  }
  return true;
}

double Mib(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: resident_size SOUNDMODULE\n", stderr);
    return 2;
  }
  const std::string soundmodule = fs::absolute(argv[1]).string();  // the runs start elsewhere
  ScratchFolder scratch;
  const fs::path full = scratch.Path() / "full";
  const fs::path empty = scratch.Path() / "empty";
  if (!WriteSoundPack(full.string(), SoundPackOptions{.speech = false}) || !WriteEmptyPack(full, empty)) {
    std::fputs("resident size: cannot write the sound packs\n", stderr);
    return 1;
  }
  const std::optional<std::size_t> samples = SampleBytes(full / "Sounds");
  const std::optional<std::size_t> fullSize = ResidentAfterReady(soundmodule, full);
  const std::optional<std::size_t> emptySize = ResidentAfterReady(soundmodule, empty);
  if (!samples || !fullSize || !emptySize) return 1;
  std::printf("resident size after Ready!: %.2f MiB; empty dialog %.2f MiB; sample bytes %.2f MiB\n",
              Mib(*fullSize), Mib(*emptySize), Mib(*samples));
  std::printf("resident size beyond the empty dialog / sample bytes: %.2f (goal 1.25)\n",
              static_cast<double>(*fullSize - *emptySize) / static_cast<double>(*samples));
  return 0;
}
