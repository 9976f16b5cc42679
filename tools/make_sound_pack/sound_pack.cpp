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
#include "tools/make_sound_pack/sound_roles.h"
#include "tools/make_sound_pack/speech.h"
#include "tools/wave_io/wave_io.h"

namespace {

constexpr std::size_t ROTATION_RATE_OFFSET = 1017;
constexpr float SPEECH_PEAK = 0.7f;

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

// The speaker's file, faded at both ends and levelled like the other one-shots.
bool WriteSpoken(const std::string& text, const std::string& path) {
  switch (SpeakToFile(text, path)) {
    case SpeechResult::Spoken: break;
    case SpeechResult::NoSpeaker:
      std::fprintf(stderr,
                   "make-sound-pack: espeak-ng is not installed; it speaks the onboard voice. "
                   "Install the Debian package espeak-ng (scripts/setup.sh does).\n");
      return false;
    case SpeechResult::Failed:
      std::fprintf(stderr, "make-sound-pack: espeak-ng could not speak \"%s\"\n", text.c_str());
      return false;
  }
  const std::optional<Clip> spoken = ReadWave(path);
  if (!spoken || spoken->channels != 1) {
    std::fprintf(stderr, "make-sound-pack: espeak-ng wrote an unexpected file %s\n", path.c_str());
    return false;
  }
  return WriteWave(path, OneShotClip(FromPcm(spoken->samples), spoken->rate, SPEECH_PEAK));
}

bool WriteSound(const std::string& name, const std::filesystem::path& path,
                const SoundPackOptions& options) {
  if (const auto text = SpokenText(name); text && options.speech) {
    return WriteSpoken(*text, path.string());
  }
  if (WriteWave(path.string(), Synthesize(name))) return true;
  std::fprintf(stderr, "make-sound-pack: cannot write %s\n", path.c_str());
  return false;
}

bool WriteGroup(SoundGroup group, const std::filesystem::path& sounds,
                const SoundPackOptions& options) {
  int written = 0;
  for (const std::string& name : SoundPackFileNames()) {
    if (GroupOf(name) != group) continue;
    if (!WriteSound(name, sounds / name, options)) return false;
    ++written;
  }
  const std::string_view noun = GroupName(group);
  std::printf("make-sound-pack: %d %.*s\n", written, static_cast<int>(noun.size()), noun.data());
  std::fflush(stdout);
  return true;
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
  for (const SoundGroup group : SOUND_GROUPS) {
    if (!WriteGroup(group, sounds, options)) return false;
  }
  std::printf("make-sound-pack: wrote %s and %s/\n", (root / "universe.dat").c_str(),
              sounds.c_str());
  return true;
}
