// Reading and writing the pack's 16-bit PCM WAVE files. Main thread of the tool or of a
// test.
#pragma once

#include <optional>
#include <string>

#include "tools/make_sound_pack/synth.h"

// False when the file cannot be written.
bool WriteWave(const std::string& path, const Clip& clip);

// The file's samples; nothing when it cannot be read or is not 16-bit PCM.
std::optional<Clip> ReadWave(const std::string& path);
