// The loudness of a recorded mix over time: the RMS of all channels in decibels below
// full scale, per short window. Pure apart from reading the file; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Digital silence and anything quieter is drawn at this level.
constexpr double SILENCE_DB = -90.0;

struct Envelope {
  double windowSeconds = 0.0;
  std::vector<double> decibels;  // one per window, SILENCE_DB at the least
  double Duration() const { return windowSeconds * static_cast<double>(decibels.size()); }
};

// Interleaved 16-bit frames; a last partial window counts as a window of its own.
Envelope EnvelopeOf(const std::vector<std::int16_t>& samples, int channels, int rate,
                    double windowSeconds);

// The envelope of a 16-bit PCM WAVE file; nothing, with *error set, when it cannot be
// read or holds another format.
std::optional<Envelope> ReadEnvelope(const std::string& path, double windowSeconds,
                                     std::string* error);
