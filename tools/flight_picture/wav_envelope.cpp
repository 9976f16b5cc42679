#include "tools/flight_picture/wav_envelope.h"

#include <algorithm>
#include <cmath>

#include "tools/wave_io/wave_io.h"

namespace {

double Decibels(double sumOfSquares, std::size_t count) {
  if (count == 0 || sumOfSquares <= 0.0) return SILENCE_DB;
  const double rms = std::sqrt(sumOfSquares / static_cast<double>(count)) / 32768.0;
  return std::max(SILENCE_DB, 20.0 * std::log10(rms));
}

}  // namespace

Envelope EnvelopeOf(const std::vector<std::int16_t>& samples, int channels, int rate,
                    double windowSeconds) {
  Envelope envelope{windowSeconds, {}};
  const auto window = std::max<std::size_t>(
      1, static_cast<std::size_t>(windowSeconds * rate) * static_cast<std::size_t>(channels));
  for (std::size_t start = 0; start < samples.size(); start += window) {
    const std::size_t end = std::min(samples.size(), start + window);
    double squares = 0.0;
    for (std::size_t i = start; i < end; ++i) {
      const double sample = samples[i];
      squares += sample * sample;
    }
    envelope.decibels.push_back(Decibels(squares, end - start));
  }
  return envelope;
}

std::optional<Envelope> ReadEnvelope(const std::string& path, double windowSeconds,
                                     std::string* error) {
  const std::optional<Clip> wave = ReadWave(path);
  if (!wave || wave->channels == 0 || wave->rate == 0) {
    *error = "cannot read " + path + " as a 16-bit PCM WAVE file";
    return std::nullopt;
  }
  return EnvelopeOf(wave->samples, wave->channels, wave->rate, windowSeconds);
}
