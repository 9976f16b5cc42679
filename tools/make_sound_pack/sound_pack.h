// Writes a playable sound pack: DIR/universe.dat and DIR/Sounds/ with every file the
// sound bank and the ship sounds name, as RIFF WAVE files, the same bytes on every run.
// Main thread of the tool or of a test.
#pragma once

#include <string>
#include <vector>

struct SoundPackOptions {
  // Speak the onboard phrases with espeak-ng; the pack then fails, naming the package,
  // when it is not installed. Off: a two-tone figure stands in for each phrase (tests
  // and benchmarks that need no voice).
  bool speech = true;
};

// Every file name of the pack's Sounds folder: the bank's, then the ship sounds'.
std::vector<std::string> SoundPackFileNames();

// The planet's rotation rate stored in universe.dat, in radians per second.
constexpr float PACK_ROTATION_RATE = 7.2921e-5f;

// One progress line per group of files on stdout. False (with a line on stderr) when a
// file cannot be written or the speaker is missing.
bool WriteSoundPack(const std::string& directory, const SoundPackOptions& options);
