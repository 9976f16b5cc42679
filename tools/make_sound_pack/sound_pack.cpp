#include "tools/make_sound_pack/sound_pack.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "audio/ship_sound_files.h"
#include "audio/sound_bank_table.h"
#include "tools/make_sound_pack/sound_recipes.h"
#include "tools/make_sound_pack/speech.h"

namespace {

constexpr std::size_t ROTATION_RATE_OFFSET = 1017;

void Put(std::ofstream& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

bool WriteUniverse(const std::filesystem::path& path) {
  std::array<char, ROTATION_RATE_OFFSET + sizeof(float)> bytes{};
  std::uint32_t bits = 0;
  std::memcpy(&bits, &PACK_ROTATION_RATE, sizeof bits);
  for (std::size_t i = 0; i < sizeof bits; ++i) {
    bytes[ROTATION_RATE_OFFSET + i] = static_cast<char>((bits >> (8 * i)) & 0xFFu);
  }
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), bytes.size());
  return static_cast<bool>(out);
}

bool WriteSound(const std::string& name, const std::filesystem::path& path,
                const SoundPackOptions& options) {
  if (const auto text = SpokenText(name); text && options.speech) {
    if (SpeakToFile(*text, path.string())) return true;
  }
  return WriteWave(path.string(), Synthesize(name));
}

}  // namespace

std::vector<std::string> SoundPackFileNames() {
  std::vector<std::string> names;
  for (const SoundBankEntry& entry : SoundBankEntries()) names.emplace_back(entry.file);
  for (const ShipSoundFiles& ship : SHIP_SOUND_FILES) {
    names.emplace_back(ship.cockpitAmbience);
    names.emplace_back(ship.engineLoop);
    names.emplace_back(ship.cockpitStartup);
  }
  return names;
}

bool WriteWave(const std::string& path, const Clip& clip) {
  const auto dataBytes = static_cast<std::uint32_t>(clip.samples.size() * 2);
  const auto channels = static_cast<std::uint32_t>(clip.channels);
  const auto rate = static_cast<std::uint32_t>(clip.rate);
  std::ofstream out(path, std::ios::binary);
  out.write("RIFF", 4);
  Put(out, 36 + dataBytes, 4);
  out.write("WAVEfmt ", 8);
  Put(out, 16, 4);
  Put(out, 1, 2);
  Put(out, channels, 2);
  Put(out, rate, 4);
  Put(out, rate * channels * 2, 4);
  Put(out, channels * 2, 2);
  Put(out, 16, 2);
  out.write("data", 4);
  Put(out, dataBytes, 4);
  for (const std::int16_t sample : clip.samples) Put(out, static_cast<std::uint16_t>(sample), 2);
  return static_cast<bool>(out);
}

bool WriteSoundPack(const std::string& directory, const SoundPackOptions& options) {
  const std::filesystem::path root(directory);
  const std::filesystem::path sounds = root / SOUND_FOLDER;
  std::error_code error;
  std::filesystem::create_directories(sounds, error);
  if (error) {
    std::fprintf(stderr, "make-sound-pack: cannot create %s: %s\n", sounds.c_str(),
                 error.message().c_str());
    return false;
  }
  if (!WriteUniverse(root / "universe.dat")) {
    std::fprintf(stderr, "make-sound-pack: cannot write universe.dat\n");
    return false;
  }
  for (const std::string& name : SoundPackFileNames()) {
    if (!WriteSound(name, sounds / name, options)) {
      std::fprintf(stderr, "make-sound-pack: cannot write %s\n", name.c_str());
      return false;
    }
  }
  return true;
}
