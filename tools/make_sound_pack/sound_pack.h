// Writes a playable sound pack: DIR/universe.dat and DIR/Sounds/ with every file the
// sound bank and the ship sounds name, as RIFF WAVE files. Main thread of the tool or
// of a test.
#pragma once

#include <string>
#include <vector>

#include "tools/make_sound_pack/synth.h"

struct SoundPackOptions {
  // Speak the onboard phrases with espeak-ng when it is installed; else tone figures.
  bool speech = true;
};

// Every file name of the pack's Sounds folder: the bank's, then the ship sounds'.
std::vector<std::string> SoundPackFileNames();

// The planet's rotation rate stored in universe.dat, in radians per second.
constexpr float PACK_ROTATION_RATE = 7.2921e-5f;

// False (with a line on stderr) when a file cannot be written.
bool WriteSoundPack(const std::string& directory, const SoundPackOptions& options);

// Writes one 16-bit PCM WAVE file.
bool WriteWave(const std::string& path, const Clip& clip);
