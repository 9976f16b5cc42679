// Whole 16-bit PCM WAVE files in memory, read and written by the tools (the sound pack
// writer and the flight picture). Any thread, one file per call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Clip {
  int rate = 22050;
  int channels = 1;
  std::vector<std::int16_t> samples;  // interleaved
};

// False when the file cannot be written.
bool WriteWave(const std::string& path, const Clip& clip);

// The file's samples; nothing when it cannot be read or is not 16-bit PCM.
std::optional<Clip> ReadWave(const std::string& path);
